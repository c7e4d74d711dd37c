#pragma once

#include <QComboBox>

namespace korvane::widgets {

// An editable combo box that a screen reader calls by its label (ControlLabel), as every other
// control: on Linux, Qt's own accessible combo box gives its current text as its name, so a
// screen reader would announce "Weapon" and never "Category". Its text is its value, and its
// menu opens as the accessible action asks.
class NamedComboBox : public QComboBox
{
public:
    explicit NamedComboBox(QWidget* parent);
};

} // namespace korvane::widgets
