#pragma once

#include <QString>

class QWidget;

// The standard file dialogs of the two configuration commands: configuration files (*.pfg) or
// all files, and "pfg" added to a name typed without a suffix.
namespace korvane::dialogs::configfiledialog {

// The file to save a configuration to; an existing file is chosen only after the dialog's own
// confirmation. Empty when the user cancelled.
QString GetSaveFileName(QWidget* parent);

// An existing configuration file to load. Empty when the user cancelled.
QString GetOpenFileName(QWidget* parent);

} // namespace korvane::dialogs::configfiledialog
