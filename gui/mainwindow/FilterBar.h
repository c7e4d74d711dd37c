#pragma once

#include <QWidget>

class QLabel;

namespace korvane::widgets {

class FilterField;
} // namespace korvane::widgets

namespace korvane::mainwindow {

// The row above the tree that filters the catalogue: the filter field and, while a filter is set,
// how many plug-ins it leaves in view. The field empties itself on Esc; the window empties it
// with clear() when Esc reaches the window elsewhere.
class FilterBar : public QWidget
{
    Q_OBJECT

public:
    explicit FilterBar(QWidget* window);

    // What to filter by: blanks around a word, as pasted, find what the word finds.
    QString text() const;
    void clear();
    // The field, which takes the bar's place in the window's tab order.
    QWidget* field() const;
    // How many of all the plug-ins the filter leaves in view; nothing while no filter is set,
    // when the line under the lists gives the number.
    void showCount(int shown, int all);

signals:
    // The field's text changed; text is what text() returns.
    void filterChanged(const QString& text);

private:
    widgets::FilterField* m_field;
    QLabel* m_count;
};

} // namespace korvane::mainwindow
