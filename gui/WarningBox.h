#pragma once

#include <QString>
#include <string>

class QWidget;

namespace korvane {

// A message the user must acknowledge before going on: the application's name as caption, the
// warning icon and an OK button. Returns once the box is closed.
void ShowWarning(QWidget* parent, const QString& text);

// A failure message: the command's own text, then the reason on a paragraph of its own.
QString WithReason(const QString& text, const std::string& reason);

} // namespace korvane
