#pragma once

#include <QLabel>
#include <QString>

class QWidget;

namespace korvane::widgets {

// A word-wrapped label that shows its text as plain text, whatever it holds (names from the
// folders, a server or a script), named for tests and screen readers.
class PlainLabel : public QLabel
{
public:
    PlainLabel(const QString& text, const char* objectName, QWidget* parent);
};

} // namespace korvane::widgets
