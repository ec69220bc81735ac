#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QUuid>
#include <csignal>
#include <unistd.h>

namespace gridvane::testing {

// A private D-Bus session bus for this process and the programs it starts, so that none of
// them launches a bus of its own. Every process started while it exists carries its mark in
// its environment: strays() finds those still running, and the destructor ends them and the bus.
// Create it after helpers meant to outlive it (such as the X session) and before the
// application object, whose D-Bus connection reads the address on first use.
class SessionBus
{
public:
    SessionBus()
        : m_mark("GRIDVANE_TEST_RUN=" + QUuid::createUuid().toByteArray(QUuid::WithoutBraces))
    {
        qputenv("GRIDVANE_TEST_RUN", m_mark.mid(m_mark.indexOf('=') + 1));
        m_daemon.start(QStringLiteral("dbus-daemon"),
            { QStringLiteral("--session"), QStringLiteral("--nofork"),
                QStringLiteral("--print-address=1") });
        while (!address.contains('\n') && m_daemon.waitForReadyRead(10000))
            address += m_daemon.readAllStandardOutput();
        address = address.trimmed();
        if (!address.isEmpty())
            qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    }
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;
    ~SessionBus()
    {
        for (const qint64 pid : strays())
            ::kill(pid_t(pid), SIGKILL);
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(3000))
            m_daemon.kill();
        m_daemon.waitForFinished(3000);
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        qunsetenv("GRIDVANE_TEST_RUN");
    }

    bool isRunning() const { return !address.isEmpty(); }

    // Processes started since the bus, other than the bus and this process, that still run.
    QList<qint64> strays() const
    {
        QList<qint64> found;
        for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            const qint64 pid = entry.toLongLong();
            if (pid <= 0 || pid == ::getpid() || pid == m_daemon.processId())
                continue;
            QFile environment(QStringLiteral("/proc/%1/environ").arg(pid));
            if (environment.open(QIODevice::ReadOnly)
                && environment.readAll().split('\0').contains(m_mark))
                found.append(pid);
        }
        return found;
    }

    QByteArray address;

private:
    QByteArray m_mark;
    QProcess m_daemon;
};

} // namespace gridvane::testing
