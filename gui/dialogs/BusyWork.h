#pragma once

#include <chrono>
#include <functional>

class QString;
class QWidget;

namespace korvane::dialogs {

// How long work runs before the window shows a progress dialog for it.
inline constexpr std::chrono::milliseconds kProgressAfter{1000};

// Runs work on a thread of its own while the window waits for it: a busy cursor at once, and a
// progress dialog with the label once it has run kProgressAfter (without Cancel: the work cannot
// stop halfway). The user's input waits meanwhile; the window's other events go on, so it draws
// itself. Returns once work has returned.
void RunWhileBusy(QWidget* window, const QString& label, const std::function<void()>& work);

} // namespace korvane::dialogs
