#include "gui/mainwindow/TwinMarks.h"

#include <QListWidgetItem>
#include <QPainter>
#include <QStyle>
#include <QTextDocument>
#include <QTreeWidgetItem>
#include <QWidget>
#include <utility>

namespace korvane::mainwindow {

namespace {

// As plain text: a tool tip that looks like rich text is read as such.
QString PlainToolTip(const QString& text)
{
    return text.isEmpty() ? text : Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}

} // namespace

TwinMarks::TwinMarks(const QWidget* view, int side, QIcon categoryIcon)
    : m_view(view), m_side(side), m_categoryIcon(std::move(categoryIcon))
{}

QIcon TwinMarks::withWarning(const QIcon& icon)
{
    auto [found, isNew] = m_withWarning.try_emplace(icon.cacheKey());
    if (!isNew)
        return found->second;
    const int sign = m_side * 5 / 8;
    if (m_warning.isNull())
        m_warning = m_view->style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(sign);
    QIcon& marked = found->second;
    for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Selected}) {
        QPixmap picture(m_side, m_side);
        picture.fill(Qt::transparent);
        {
            QPainter painter(&picture);
            painter.drawPixmap(0, 0, icon.pixmap(m_side, mode));
            painter.drawPixmap(m_side - sign, m_side - sign, m_warning);
        }
        marked.addPixmap(picture, mode);
    }
    return marked;
}

void TwinMarks::show(int slot, const QString& mark, const QString& note, const QIcon& icon,
                     QTreeWidgetItem* item, QListWidgetItem* entry)
{
    const QIcon shown = mark.isEmpty() ? icon : withWarning(icon);
    if (mark.isEmpty())
        m_marked.erase(slot);
    else
        m_marked.insert(slot);
    const QString description =
        mark.isEmpty() || note.isEmpty() ? mark + note : mark + u'\n' + note;
    const QString tip = PlainToolTip(description);
    item->setIcon(0, shown);
    item->setToolTip(0, tip);
    item->setData(0, Qt::AccessibleDescriptionRole, description);
    if (entry) {
        entry->setIcon(shown);
        entry->setToolTip(tip);
        entry->setData(Qt::AccessibleDescriptionRole, description);
    }
}

void TwinMarks::showCategories(CategoryMarks marked,
                               const std::map<std::string, QTreeWidgetItem*>& categories)
{
    if (marked == m_markedCategories)
        return;
    const QIcon markedIcon = withWarning(m_categoryIcon);
    const auto markOf = [](const CategoryMarks& marks, const QTreeWidgetItem* category) {
        const auto found = marks.find(category);
        return found == marks.end() ? QString() : found->second;
    };
    for (const auto& [text, category] : categories) {
        const QString mark = markOf(marked, category);
        if (mark == markOf(m_markedCategories, category))
            continue;
        category->setIcon(0, mark.isEmpty() ? m_categoryIcon : markedIcon);
        category->setToolTip(0, PlainToolTip(mark));
        category->setData(0, Qt::AccessibleDescriptionRole, mark);
    }
    m_markedCategories = std::move(marked);
}

void TwinMarks::clear()
{
    m_marked.clear();
    m_markedCategories.clear();
    m_withWarning.clear();
}

} // namespace korvane::mainwindow
