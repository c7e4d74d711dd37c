#include "gui/LabelFor.h"

#include <QLabel>
#include <QRegularExpression>

namespace korvane {

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
    control->setAccessibleName(AccessibleNameOf(label->text()));
}

} // namespace korvane
