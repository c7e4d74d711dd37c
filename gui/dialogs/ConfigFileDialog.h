#pragma once

#include <QFileDialog>
#include <QString>

class QWidget;

namespace korvane::dialogs {

// The standard file dialog of the two configuration commands: configuration files (*.pfg) or
// all files, and "pfg" added to a name typed without a suffix.
class ConfigFileDialog : public QFileDialog
{
public:
    // The file to save a configuration to; an existing file is chosen only after the dialog's own
    // confirmation. Empty when the user cancelled.
    static QString fileToSave(QWidget* parent);
    // An existing configuration file to load. Empty when the user cancelled.
    static QString fileToLoad(QWidget* parent);

private:
    ConfigFileDialog(QWidget* parent, AcceptMode mode, FileMode fileMode);
    // Runs the dialog; the file chosen, empty when the user cancelled.
    QString chosenFile();
};

} // namespace korvane::dialogs
