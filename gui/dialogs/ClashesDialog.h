#pragma once

#include <QDialog>

namespace korvane::mainwindow {

class InUseFunctions;
} // namespace korvane::mainwindow

namespace korvane::dialogs {

// View > Clashes...: every function that two or more plug-ins in use define, each with the
// plug-ins that define it, the file and the line of each one's definition; the scripts that
// could not be read; and Copy, which puts all of it on the clipboard as text to post.
class ClashesDialog : public QDialog
{
    Q_OBJECT

public:
    enum Column
    {
        kFunctionColumn,
        kFileColumn,
        kLineColumn
    };

    explicit ClashesDialog(const mainwindow::InUseFunctions& functions, QWidget* parent = nullptr);
};

} // namespace korvane::dialogs
