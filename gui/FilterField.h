#pragma once

#include <QLineEdit>

namespace korvane {

// The window's filter field. Esc empties it and Enter is taken by it, so neither reaches the
// window, which closes on both; the platform's Find key (Ctrl+F) moves the focus here from
// anywhere in the window.
class FilterField : public QLineEdit
{
public:
    explicit FilterField(QWidget* window);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace korvane
