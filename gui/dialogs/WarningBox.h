#pragma once

#include "core/platform/Status.h"

#include <QMessageBox>
#include <QString>
#include <string>

class QWidget;

namespace korvane::dialogs {

// The window's message boxes: the application's name as caption, and the text shown as plain
// text, whatever names from folders, files or servers it holds: read as rich text, a name such
// as <img src="/dev/zero"> would have the box read that file without end.
class WarningBox : public QMessageBox
{
public:
    // A message the user must acknowledge before going on: the warning icon and an OK button.
    // Returns once the box is closed.
    static void warn(QWidget* parent, const QString& text);
    // A question with Yes and No, No the default; true for Yes.
    static bool askYesNo(QWidget* parent, const QString& text);

    // A failure message: the command's own text, then the reason on a paragraph of its own.
    static QString withReason(const QString& text, const std::string& reason);
    // The message for a command's failure: text and the reason (the reason alone without a
    // text), or the refusal of a folder that is not a Korvane folder, which no command's text
    // explains.
    static QString failureMessage(const QString& text, const korvane::Status& failure);

private:
    WarningBox(Icon icon, const QString& text, StandardButtons buttons, QWidget* parent);
};

} // namespace korvane::dialogs
