#pragma once

class QLabel;
class QString;
class QWidget;

namespace korvane::widgets {

// Makes a label name its control: its & shortcut moves the focus there, and a screen reader
// calls the control by the label's words (without the shortcut's & and the closing colon),
// also where the toolkit would take the title of the surrounding group instead, or nothing; the
// field of an editable combo box goes by the same name.
void LabelFor(QLabel* label, QWidget* control);

// A caption as a control's accessible name: "&Tribes Directory:" -> "Tribes Directory".
QString AccessibleNameOf(const QString& caption);

} // namespace korvane::widgets
