#include "gui/dialogs/ConfigFileDialog.h"

#include "res/Strings.h"

#include <QFileDialog>

namespace korvane::dialogs::configfiledialog {

namespace {

QString Run(QWidget* parent, QFileDialog::AcceptMode mode, QFileDialog::FileMode fileMode)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(fileMode);
    dialog.setNameFilter(QString::fromUtf8(strings::kConfigFileFilter));
    dialog.setDefaultSuffix(QString::fromUtf8(strings::kConfigFileSuffix));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString GetSaveFileName(QWidget* parent)
{
    return Run(parent, QFileDialog::AcceptSave, QFileDialog::AnyFile);
}

QString GetOpenFileName(QWidget* parent)
{
    return Run(parent, QFileDialog::AcceptOpen, QFileDialog::ExistingFile);
}

} // namespace korvane::dialogs::configfiledialog
