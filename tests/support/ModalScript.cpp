#include "support/ModalScript.h"

#include "gui/dialogs/FolderBrowserDialog.h"

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

namespace korvane {

namespace {

constexpr int kPollMs = 10;
constexpr int kUnexpectedAfterPolls = 300; // 3 s

QWidget* ActiveWindow()
{
    if (QWidget* popup = QApplication::activePopupWidget())
        return popup;
    return QApplication::activeModalWidget();
}

} // namespace

QPushButton* PushButton(const QWidget* window, const QString& button)
{
    for (auto* candidate : window->findChildren<QPushButton*>()) {
        if (candidate->objectName() == button || candidate->text() == button)
            return candidate;
    }
    return nullptr;
}

ModalScript::ModalScript()
{
    // The file dialogs of Windows are not Qt's widgets, which a script answers: the program
    // shows Qt's own while a script runs.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    connect(&m_timer, &QTimer::timeout, this, &ModalScript::Poll);
    m_timer.start(kPollMs);
}

ModalScript& ModalScript::Expect(std::function<bool(QWidget*)> accepts, Step step)
{
    m_steps.push_back({std::move(accepts), std::move(step)});
    return *this;
}

ModalScript& ModalScript::Then(const char* className, Step step)
{
    // The program's own classes may be named without their namespaces.
    const QByteArray suffix = QByteArray("::") + className;
    return Expect(
        [className, suffix](QWidget* active) {
            for (const QMetaObject* meta = active->metaObject(); meta; meta = meta->superClass()) {
                const QByteArray name = meta->className();
                if (name == className || name.endsWith(suffix))
                    return true;
            }
            return false;
        },
        std::move(step));
}

ModalScript& ModalScript::AnswerMessage()
{
    return Then("QMessageBox", [this](QWidget* active) {
        auto* box = static_cast<QMessageBox*>(active);
        QCOMPARE(box->windowTitle(), QCoreApplication::applicationName());
        QCOMPARE(box->icon(), QMessageBox::Warning);
        QCOMPARE(box->textFormat(), Qt::PlainText);
        m_messages << box->text();
        box->button(QMessageBox::Ok)->click();
    });
}

ModalScript& ModalScript::AnswerQuestion(QMessageBox::StandardButton answer)
{
    return Then("QMessageBox", [this, answer](QWidget* active) {
        auto* box = static_cast<QMessageBox*>(active);
        QCOMPARE(box->defaultButton(), box->button(QMessageBox::No));
        QCOMPARE(box->textFormat(), Qt::PlainText);
        m_messages << box->text();
        box->button(answer)->click();
    });
}

ModalScript& ModalScript::Press(const QString& button)
{
    return Expect([button](QWidget* active) { return PushButton(active, button) != nullptr; },
                  [button](QWidget* active) { PushButton(active, button)->click(); });
}

ModalScript& ModalScript::Browse(const QString& folder)
{
    return Then("FolderBrowserDialog", [folder](QWidget* active) {
        auto* browser = static_cast<dialogs::FolderBrowserDialog*>(active);
        QVERIFY(browser->SelectFolder(folder));
        QVERIFY(browser->IsOkEnabled());
        QTest::keyClick(browser, Qt::Key_Return);
    });
}

bool ModalScript::eventFilter(QObject* watched, QEvent* event)
{
    // A window shown again after its step (the same popup menu) is there for the next step.
    if (watched == m_answered && event->type() == QEvent::Hide)
        m_answered = nullptr;
    return false;
}

void ModalScript::Poll()
{
    QWidget* active = ActiveWindow();
    if (m_answered) {
        if (active == m_answered)
            return;
        m_answered = nullptr;
    }
    if (!active || m_running) {
        m_idlePolls = 0;
        return;
    }
    if (m_steps.empty() || !m_steps.front().accepts(active)) {
        if (++m_idlePolls < kUnexpectedAfterPolls)
            return;
        qWarning("closing an unexpected %s", active->metaObject()->className());
        ++m_unexpected;
        if (auto* dialog = qobject_cast<QDialog*>(active))
            dialog->reject();
        else
            active->close();
        m_idlePolls = 0;
        return;
    }
    Step step = std::move(m_steps.front().step);
    m_steps.pop_front();
    m_idlePolls = 0;
    m_answered = active;
    active->installEventFilter(this);
    m_running = true;
    // Run outside this timer's slot: a step that opens another modal window waits in it, and
    // this timer must go on answering meanwhile.
    QMetaObject::invokeMethod(
        this,
        [this, step = std::move(step), window = QPointer<QWidget>(active)] {
            m_running = false;
            if (window)
                step(window);
        },
        Qt::QueuedConnection);
}

} // namespace korvane
