#include "gui/WarningBox.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace korvane {

void ShowWarning(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(), text,
                    QMessageBox::Ok, parent);
    box.exec();
}

QString WithReason(const QString& text, const std::string& reason)
{
    return reason.empty() ? text : text + QStringLiteral("\n\n") + QString::fromStdString(reason);
}

} // namespace korvane
