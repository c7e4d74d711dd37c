#include "gui/dialogs/WarningBox.h"

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

} // namespace korvane::dialogs
