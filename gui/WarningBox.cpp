#include "gui/WarningBox.h"

#include <QCoreApplication>
#include <QMessageBox>

void ShowWarning(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(), text,
                    QMessageBox::Ok, parent);
    box.exec();
}
