#pragma once

// The program itself, started by the desktop benchmarks with a configuration folder of their
// own, and what /proc says about it.
#include "desktop_session.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <cstdio>

namespace gridvane::testing {

// A virtual desktop with an XEmbed tray for the program to dock in, ended with it.
struct TrayDesktop
{
    DesktopSession session;
    QProcess trayer; // ended before the session's display

    ~TrayDesktop() { trayer.terminate(), trayer.waitForFinished(3000); }

    bool start()
    {
        const auto trayerShown = [] {
            return DesktopSession::run("xdotool", { "search", "--class", "trayer" }) != "";
        };
        if (session.start(DesktopSession::X11)) {
            trayer.start("trayer", { "--edge", "top", "--widthtype", "request" });
            if (DesktopSession::waitFor(trayerShown))
                return true;
        }
        std::fprintf(stderr, "Xvfb, openbox or trayer did not start\n");
        return false;
    }
};

// CPU time of all of a process's threads so far, in milliseconds, to the nanosecond the
// scheduler counts (the clock ticks of /proc/<pid>/stat are too coarse for an idle program).
inline double cpuMilliseconds(qint64 pid)
{
    double total = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks.filePath(task + QStringLiteral("/schedstat")));
        if (stat.open(QIODevice::ReadOnly))
            total += stat.readAll().split(' ').value(0).toDouble() / 1e6;
    }
    return total;
}

// The program from the build, or the one $GRIDVANE names, to compare two builds in one run.
inline QProcess* launch(const QString& configHome)
{
    auto* process = new QProcess;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("SESSION_MANAGER"));
    // The benchmarks' loopback servers are reached directly, whatever proxy this machine uses.
    for (const char* proxy :
        { "http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY" })
        env.remove(QString::fromLatin1(proxy));
    process->setProcessEnvironment(env);
    process->start(qEnvironmentVariable("GRIDVANE", QStringLiteral(GRIDVANE_PATH)), {});
    process->waitForStarted();
    return process;
}

inline void end(QProcess* process)
{
    process->terminate();
    if (!process->waitForFinished(10000))
        process->kill();
    process->waitForFinished();
    delete process;
}

// A field of /proc/<pid>/status, such as "VmRSS", without its name ("36432 kB").
inline QByteArray statusField(qint64 pid, const QByteArray& name)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(name + ':'))
            return line.mid(name.size() + 1).simplified();
    }
    return {};
}

} // namespace gridvane::testing
