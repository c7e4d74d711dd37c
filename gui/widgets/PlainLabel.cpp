#include "gui/widgets/PlainLabel.h"

#include <QLabel>

namespace korvane::widgets {

QLabel* PlainLabel(const QString& text, const char* objectName, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

} // namespace korvane::widgets
