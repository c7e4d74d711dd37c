#pragma once

#include <chrono>
#include <functional>
#include <QProgressDialog>

class QString;
class QWidget;

namespace korvane::dialogs {

// Work the window waits for, run on a thread of its own: a busy cursor at once, and this
// progress dialog with the label once it has run kProgressAfter (without Cancel: the work cannot
// stop halfway). The user's input waits meanwhile; the window's other events go on, so it draws
// itself.
class BusyWork : public QProgressDialog
{
public:
    // How long work runs before the dialog shows.
    static constexpr std::chrono::milliseconds kProgressAfter{1000};

    BusyWork(const QString& label, QWidget* window);

    // Runs work; returns once it has returned.
    void run(const std::function<void()>& work);
};

} // namespace korvane::dialogs
