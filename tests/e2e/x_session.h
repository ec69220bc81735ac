#pragma once

#include <QProcess>
#include <QTest>
#include <list>

namespace gridvane::testing {

// A virtual X display of the test's own, ended with it.
class XSession
{
public:
    ~XSession()
    {
        for (QProcess& process : m_processes)
            process.terminate(), process.waitForFinished(3000);
    }

    // Starts Xvfb and openbox, and names the display in DISPLAY for this process's children.
    bool start()
    {
        QProcess& xvfb = m_processes.emplace_back();
        xvfb.start("Xvfb", { "-displayfd", "1", "-nolisten", "tcp" });
        while (!xvfb.canReadLine() && xvfb.waitForReadyRead(20000)) { }
        qputenv("DISPLAY", ':' + xvfb.readLine().trimmed());
        qunsetenv("WAYLAND_DISPLAY");
        m_processes.emplace_back().start("openbox", { "--sm-disable" });
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
    std::list<QProcess> m_processes;
};

} // namespace gridvane::testing
