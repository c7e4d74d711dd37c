#include "gui/dialogs/BusyWork.h"

#include "gui/widgets/WaitCursor.h"

#include <memory>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace korvane::dialogs {

BusyWork::BusyWork(const QString& label, QWidget* window)
    : QProgressDialog(label, QString(), 0, 0, window)
{
    setObjectName(QStringLiteral("busy"));
    setWindowModality(Qt::WindowModal);
    setCancelButton(nullptr);
    setAutoClose(false);
    setAutoReset(false);
}

void BusyWork::run(const std::function<void()>& work)
{
    const widgets::WaitCursor busy;
    QTimer showLater;
    showLater.setSingleShot(true);
    connect(&showLater, &QTimer::timeout, this, &QProgressDialog::show);

    QEventLoop waiting;
    const std::unique_ptr<QThread> worker(QThread::create(work));
    connect(worker.get(), &QThread::finished, &waiting, &QEventLoop::quit);
    worker->start();
    showLater.start(kProgressAfter);
    waiting.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
}

} // namespace korvane::dialogs
