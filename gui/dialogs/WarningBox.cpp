#include "gui/dialogs/WarningBox.h"

#include "core/catalogue/KorvaneWorkflow.h"
#include "res/Strings.h"
#include "res/Text.h"

#include <QCoreApplication>

namespace korvane::dialogs {

WarningBox::WarningBox(Icon icon, const QString& text, StandardButtons buttons, QWidget* parent)
    : QMessageBox(icon, QCoreApplication::applicationName(), text, buttons, parent)
{
    setTextFormat(Qt::PlainText);
}

void WarningBox::warn(QWidget* parent, const QString& text)
{
    WarningBox(Warning, text, Ok, parent).exec();
}

bool WarningBox::askYesNo(QWidget* parent, const QString& text)
{
    WarningBox box(Question, text, Yes | No, parent);
    box.setDefaultButton(No);
    return box.exec() == Yes;
}

QString WarningBox::withReason(const QString& text, const std::string& reason)
{
    return reason.empty() ? text : text + QStringLiteral("\n\n") + QString::fromStdString(reason);
}

QString WarningBox::failureMessage(const QString& text, const korvane::Status& failure)
{
    if (failure.is(KorvaneWorkflow::Refusal::NotKorvaneFolder))
        return withReason(strings::Text(strings::kNotKorvaneFolder), failure.reason());
    if (text.isEmpty())
        return QString::fromStdString(failure.reason());
    return withReason(text, failure.reason());
}

} // namespace korvane::dialogs
