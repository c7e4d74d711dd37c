#pragma once

#include <QLineEdit>

namespace korvane::widgets {

// The window's filter field. Esc empties it (the window empties it on Esc anywhere else too)
// and Enter is taken by it; the platform's Find key (Ctrl+F) moves the focus here from anywhere
// in the window.
class FilterField : public QLineEdit
{
public:
    explicit FilterField(QWidget* window);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace korvane::widgets
