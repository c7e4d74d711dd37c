#pragma once

#include <QLabel>
#include <QString>

class QWidget;

namespace korvane::widgets {

// A label that names its control: its & shortcut moves the focus there, and a screen reader
// calls the control by the label's words (without the shortcut's & and the closing colon), also
// where the toolkit would take the title of the surrounding group instead, or nothing; the field
// of an editable combo box goes by the same name.
class ControlLabel : public QLabel
{
public:
    ControlLabel(const QString& caption, QWidget* parent);

    // The control the label names, from now on.
    void setControl(QWidget* control);

    // A caption as a control's accessible name: "&Tribes Directory:" -> "Tribes Directory".
    static QString accessibleNameOf(const QString& caption);
};

} // namespace korvane::widgets
