#include "cli/Interruption.h"

#include <iterator>

namespace korvane {

namespace {

#ifdef Q_OS_WIN
constexpr int kSignals[] = {SIGINT, SIGTERM};
#else
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
#endif

} // namespace

volatile std::sig_atomic_t Interruption::s_nSignal = 0;

Interruption::Interruption()
{
    s_nSignal = 0;
    for (size_t i = 0; i < std::size(kSignals); ++i) {
#ifdef Q_OS_WIN
        m_previous[i] = std::signal(kSignals[i], &Interruption::OnSignal);
#else
        struct sigaction action = {};
        action.sa_handler = &Interruption::OnSignal;
        sigemptyset(&action.sa_mask);
        // Calls under way go on; the command checks between them.
        action.sa_flags = SA_RESTART | SA_RESETHAND;
        sigaction(kSignals[i], &action, &m_previous[i]);
#endif
    }
}

Interruption::~Interruption()
{
    for (size_t i = 0; i < std::size(kSignals); ++i) {
#ifdef Q_OS_WIN
        std::signal(kSignals[i], m_previous[i]);
#else
        sigaction(kSignals[i], &m_previous[i], nullptr);
#endif
    }
}

void Interruption::OnSignal(int signalNumber)
{
    s_nSignal = signalNumber;
}

QString Interruption::SignalName() const
{
    switch (s_nSignal) {
    case SIGINT:
        return QStringLiteral("SIGINT");
    case SIGTERM:
        return QStringLiteral("SIGTERM");
#ifndef Q_OS_WIN
    case SIGHUP:
        return QStringLiteral("SIGHUP");
#endif
    default:
        return {};
    }
}

} // namespace korvane
