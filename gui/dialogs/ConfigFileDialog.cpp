#include "gui/dialogs/ConfigFileDialog.h"

#include "res/Strings.h"

namespace korvane::dialogs {

ConfigFileDialog::ConfigFileDialog(QWidget* parent, AcceptMode mode, FileMode fileMode)
    : QFileDialog(parent)
{
    setAcceptMode(mode);
    setFileMode(fileMode);
    setNameFilter(QString::fromUtf8(strings::kConfigFileFilter));
    setDefaultSuffix(QString::fromUtf8(strings::kConfigFileSuffix));
}

QString ConfigFileDialog::chosenFile()
{
    if (exec() != QDialog::Accepted || selectedFiles().isEmpty())
        return {};
    return selectedFiles().constFirst();
}

QString ConfigFileDialog::fileToSave(QWidget* parent)
{
    return ConfigFileDialog(parent, AcceptSave, AnyFile).chosenFile();
}

QString ConfigFileDialog::fileToLoad(QWidget* parent)
{
    return ConfigFileDialog(parent, AcceptOpen, ExistingFile).chosenFile();
}

} // namespace korvane::dialogs
