#include "gui/dialogs/WarningBox.h"

#include "core/catalogue/KorvaneWorkflow.h"
#include "res/Strings.h"
#include "res/Text.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace korvane::dialogs {

void ShowWarning(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(), text,
                    QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool AskYesNo(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Question, QCoreApplication::applicationName(), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    box.setTextFormat(Qt::PlainText);
    return box.exec() == QMessageBox::Yes;
}

QString WithReason(const QString& text, const std::string& reason)
{
    return reason.empty() ? text : text + QStringLiteral("\n\n") + QString::fromStdString(reason);
}

QString FailureMessage(const QString& text, const korvane::Status& failure)
{
    if (failure.is(KorvaneWorkflow::Refusal::NotKorvaneFolder))
        return WithReason(strings::Text(strings::kNotKorvaneFolder), failure.reason());
    if (text.isEmpty())
        return QString::fromStdString(failure.reason());
    return WithReason(text, failure.reason());
}

} // namespace korvane::dialogs
