#pragma once

#include "core/platform/Status.h"

#include <QString>
#include <string>

class QWidget;

namespace korvane::dialogs {

// Message boxes show their text as plain text, whatever names from folders, files or servers
// it holds: read as rich text, a name such as <img src="/dev/zero"> would have the box read that
// file without end.

// A message the user must acknowledge before going on: the application's name as caption, the
// warning icon and an OK button. Returns once the box is closed.
void ShowWarning(QWidget* parent, const QString& text);

// A question with Yes and No, No the default; true for Yes.
bool AskYesNo(QWidget* parent, const QString& text);

// A failure message: the command's own text, then the reason on a paragraph of its own.
QString WithReason(const QString& text, const std::string& reason);

// The message for a command's failure: text and the reason (the reason alone without a text), or
// the refusal of a folder that is not a Korvane folder, which no command's text explains.
QString FailureMessage(const QString& text, const korvane::Status& failure);

} // namespace korvane::dialogs
