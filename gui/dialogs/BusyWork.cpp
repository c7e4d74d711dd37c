#include "gui/dialogs/BusyWork.h"

#include <memory>
#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

namespace korvane::dialogs {

namespace {

struct BusyCursor
{
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace

void RunWhileBusy(QWidget* window, const QString& label, const std::function<void()>& work)
{
    const BusyCursor busy;
    QProgressDialog progress(label, QString(), 0, 0, window);
    progress.setObjectName(QStringLiteral("busy"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setCancelButton(nullptr);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    QTimer showLater;
    showLater.setSingleShot(true);
    QObject::connect(&showLater, &QTimer::timeout, &progress, &QProgressDialog::show);

    QEventLoop waiting;
    const std::unique_ptr<QThread> worker(QThread::create(work));
    QObject::connect(worker.get(), &QThread::finished, &waiting, &QEventLoop::quit);
    worker->start();
    showLater.start(kProgressAfter);
    waiting.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
}

} // namespace korvane::dialogs
