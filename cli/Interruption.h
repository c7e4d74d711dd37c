#pragma once

#include <csignal>
#include <QString>
#include <QtGlobal>

namespace korvane {

// SIGINT, SIGTERM and SIGHUP (where the system has it) while a command that checks for them runs.
// The handler only notes the signal; the command sees it at its next check, stops its transfer,
// lets the objects that own its temporary files remove them, and fails with a message. A second
// signal of the same kind has the system's default effect, so a command that does not stop can
// still be ended. One object at a time; the previous handling returns when it goes.
class Interruption
{
public:
    Interruption();
    ~Interruption();
    Interruption(const Interruption&) = delete;
    Interruption& operator=(const Interruption&) = delete;

    bool Requested() const { return s_nSignal != 0; }
    // The signal's name ("SIGINT"), empty while none arrived.
    QString SignalName() const;

private:
    static void OnSignal(int signalNumber);

    // Which signal arrived, 0 for none. A signal handler can reach nothing but state of this
    // kind, which is why it is not a member of an object.
    static volatile std::sig_atomic_t s_nSignal;

#ifdef Q_OS_WIN
    using Handler = void (*)(int);
    Handler m_previous[2] = {};
#else
    struct sigaction m_previous[3] = {};
#endif
};

} // namespace korvane
