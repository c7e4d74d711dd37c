#pragma once

#include <deque>
#include <functional>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

class QPushButton;

namespace korvane {

inline QString S(const char* text)
{
    return QString::fromUtf8(text);
}

// The window's push button of that object name or caption, or null.
QPushButton* PushButton(const QWidget* window, const QString& button);

// Answers the dialogs, message boxes and popup menus a test expects while the code under test
// waits in their event loops. Each step names the kind of window it expects and gets that window
// once it is the active one (a popup menu, else the active modal window); it must close it or
// open another one. Between two steps a window may be active for a moment without being the one
// the next step waits for (a dialog whose message box has just closed), so a step runs only on
// its own kind. A window that comes up when no step is left is closed after a while and counts
// against Finished(), so a test never hangs on it and never passes over it.
class ModalScript : public QObject
{
public:
    using Step = std::function<void(QWidget* active)>;

    ModalScript();

    // className: the window's class or one of its bases (QMessageBox, QMenu, COptionsDlg...).
    ModalScript& Then(const char* className, Step step);
    // Records the message box's text and presses its OK button.
    ModalScript& AnswerMessage();
    // Records the question's text and answers it; No must be its default answer.
    ModalScript& AnswerQuestion(QMessageBox::StandardButton answer);
    // Presses the push button of that object name or caption in the first active dialog that
    // has one.
    ModalScript& Press(const QString& button);
    // Moves the folder browser onto the folder and takes it with Enter.
    ModalScript& Browse(const QString& folder);

    // Every step has run and no other window came up.
    bool Finished() const { return m_steps.empty() && !m_running && m_unexpected == 0; }
    const QStringList& Messages() const { return m_messages; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Poll();

    QTimer m_timer;
    struct Expected
    {
        std::function<bool(QWidget*)> accepts;
        Step step;
    };
    ModalScript& Expect(std::function<bool(QWidget*)> accepts, Step step);

    std::deque<Expected> m_steps;
    QPointer<QWidget> m_answered; // the window the last step was given, until it goes or hides
    bool m_running = false;
    int m_idlePolls = 0;
    QStringList m_messages;
    int m_unexpected = 0;
};

} // namespace korvane
