#include "gui/widgets/LabelFor.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>

namespace korvane::widgets {

QString AccessibleNameOf(const QString& caption)
{
    QString name = caption;
    // "&&" is a literal ampersand; a single & marks the shortcut.
    static const QRegularExpression shortcutMark(QStringLiteral("&(.)"));
    name.replace(shortcutMark, QStringLiteral("\\1"));
    name = name.trimmed();
    if (name.endsWith(u':'))
        name.chop(1);
    return name;
}

void LabelFor(QLabel* label, QWidget* control)
{
    label->setBuddy(control);
    const QString name = AccessibleNameOf(label->text());
    control->setAccessibleName(name);
    // An editable box's field is what the keyboard edits: it goes by the box's name.
    if (auto* box = qobject_cast<QComboBox*>(control); box && box->lineEdit())
        box->lineEdit()->setAccessibleName(name);
}

} // namespace korvane::widgets
