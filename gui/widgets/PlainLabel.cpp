#include "gui/widgets/PlainLabel.h"

namespace korvane::widgets {

PlainLabel::PlainLabel(const QString& text, const char* objectName, QWidget* parent)
    : QLabel(text, parent)
{
    setObjectName(QString::fromLatin1(objectName));
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
}

} // namespace korvane::widgets
