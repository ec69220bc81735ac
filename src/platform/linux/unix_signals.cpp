#include "unix_signals.h"

#include <QSocketNotifier>
#include <sys/socket.h>
#include <unistd.h>

namespace gridvane {

namespace {

// A signal arrives at any moment; its handler only writes a byte that the event loop reads
// later, the one thing that is safe to do inside a signal handler.
int signalSockets[2] = { -1, -1 };

extern "C" void onTerminationSignal(int)
{
    const char byte = 1;
    const ssize_t written = ::write(signalSockets[0], &byte, 1);
    (void)written;
}

} // namespace

UnixSignals::UnixSignals(QObject* parent)
    : Termination(parent)
{
    if (signalSockets[0] >= 0
        || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalSockets) != 0)
        return;
    m_notifier = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(signalSockets[1], bytes, sizeof bytes) > 0) { }
        Q_EMIT requested();
    });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, &m_previousTerm);
    ::sigaction(SIGINT, &action, &m_previousInt);
}

UnixSignals::~UnixSignals()
{
    if (!m_notifier)
        return;
    ::sigaction(SIGTERM, &m_previousTerm, nullptr);
    ::sigaction(SIGINT, &m_previousInt, nullptr);
    delete m_notifier;
    ::close(signalSockets[0]);
    ::close(signalSockets[1]);
    signalSockets[0] = signalSockets[1] = -1;
}

} // namespace gridvane
