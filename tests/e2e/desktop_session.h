#pragma once

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <list>

namespace gridvane::testing {

// A desktop of the test's own, ended with it: Xvfb with openbox, GNOME's compositor (mutter)
// with its own Xwayland, or weston, all headless. It names its displays in DISPLAY,
// WAYLAND_DISPLAY and XAUTHORITY for this process's children, as a desktop session would.
class DesktopSession
{
public:
    enum Kind { X11, Mutter, Weston };

    ~DesktopSession()
    {
        for (QProcess& process : m_processes)
            process.terminate(), process.waitForFinished(3000);
    }

    bool start(Kind kind)
    {
        for (const char* name : { "DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "QT_QPA_PLATFORM" })
            qunsetenv(name);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
        QProcess& server = m_processes.emplace_back();
        if (kind == Weston) {
            qputenv("WAYLAND_DISPLAY", "gridvane-test");
            server.start("weston",
                { "--backend=headless-backend.so", "--socket=gridvane-test", "--idle-time=0",
                    "--no-config" });
            return waitFor([this] { return QFile::exists(m_runtime.filePath("gridvane-test")); });
        }
        if (kind == Mutter) {
            // It names its X display on standard error and keeps it for Xwayland's clients.
            server.setProcessChannelMode(QProcess::MergedChannels);
            server.start("mutter",
                { "--headless", "--wayland", "--virtual-monitor", "1024x768", "--wayland-display",
                    "gridvane-test" });
            qputenv("WAYLAND_DISPLAY", "gridvane-test");
            QByteArray log;
            waitFor([&] { return (log += server.readAll()).contains("Using public X11 display"); });
            qputenv("DISPLAY", log.mid(log.indexOf("display :") + 8).split(',').value(0));
            const auto authority = [this] {
                return QDir(m_runtime.path(), ".mutter-Xwaylandauth.*", QDir::NoSort,
                    QDir::Hidden | QDir::Files)
                    .entryList()
                    .value(0);
            };
            waitFor([&] { return authority() != ""; });
            qputenv("XAUTHORITY", QFile::encodeName(m_runtime.filePath(authority())));
        } else {
            // A server that resets when its last client goes refuses the next one meanwhile.
            server.start("Xvfb", { "-displayfd", "1", "-nolisten", "tcp", "-noreset" });
            while (!server.canReadLine() && server.waitForReadyRead(20000)) { }
            qputenv("DISPLAY", ':' + server.readLine().trimmed());
            m_processes.emplace_back().start("openbox", { "--sm-disable" });
        }
        return waitFor([] { return run("wmctrl", { "-m" }) != ""; });
    }

    // Output of a command run to its end (argument list, never a shell).
    static QString run(const QString& program, const QStringList& arguments)
    {
        QProcess process;
        process.start(program, arguments);
        process.waitForFinished(10000);
        return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    }

    // Visible windows by title, newest last; asked again after an X error (a window went away).
    static QStringList visibleWindows(const QString& title)
    {
        for (int attempt = 0; attempt < 10; ++attempt, QTest::qWait(50)) {
            QProcess xdotool;
            xdotool.start("xdotool", { "search", "--onlyvisible", "--name", title });
            if (xdotool.waitForFinished(10000) && xdotool.readAllStandardError().isEmpty())
                return QString(xdotool.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        }
        return {};
    }

    template <typename Condition> static bool waitFor(Condition condition, int milliseconds = 10000)
    {
        return QTest::qWaitFor(condition, milliseconds);
    }

private:
    QTemporaryDir m_runtime;
    std::list<QProcess> m_processes;
};

} // namespace gridvane::testing
