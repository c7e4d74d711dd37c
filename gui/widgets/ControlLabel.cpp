#include "gui/widgets/ControlLabel.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpression>

namespace korvane::widgets {

ControlLabel::ControlLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {}

void ControlLabel::setControl(QWidget* control)
{
    setBuddy(control);
    const QString name = accessibleNameOf(text());
    control->setAccessibleName(name);
    // An editable box's field is what the keyboard edits: it goes by the box's name.
    if (auto* box = qobject_cast<QComboBox*>(control); box && box->lineEdit())
        box->lineEdit()->setAccessibleName(name);
}

QString ControlLabel::accessibleNameOf(const QString& caption)
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

} // namespace korvane::widgets
