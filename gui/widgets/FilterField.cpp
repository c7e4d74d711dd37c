#include "gui/widgets/FilterField.h"

#include "res/Strings.h"
#include "res/Text.h"

#include <QKeyEvent>
#include <QShortcut>
#include <QToolButton>

namespace korvane::widgets {

FilterField::FilterField(QWidget* window) : QLineEdit(window)
{
    setObjectName(QStringLiteral("filter"));
    setPlaceholderText(strings::Text(strings::kFilterPlaceholder));
    setAccessibleName(placeholderText());
    setClearButtonEnabled(true);
    // The button the field adds for it has neither text nor name of its own.
    for (QToolButton* clear : findChildren<QToolButton*>()) {
        clear->setAccessibleName(strings::Text(strings::kFilterClear));
        clear->setToolTip(clear->accessibleName());
    }
    auto* find = new QShortcut(QKeySequence::Find, window);
    connect(find, &QShortcut::activated, this, [this] {
        setFocus(Qt::ShortcutFocusReason);
        selectAll();
    });
}

void FilterField::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        clear();
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        QLineEdit::keyPressEvent(event);
        event->accept();
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

} // namespace korvane::widgets
