#pragma once

#include <QString>

class QWidget;

// A message the user must acknowledge before going on: the application's name as caption, the
// warning icon and an OK button. Returns once the box is closed.
void ShowWarning(QWidget* parent, const QString& text);
