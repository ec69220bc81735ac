#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <vector>

namespace gridvane::testing {

// A virtual X display of the test's own, optionally with a window manager and a
// notification-area host, started before the test's application and stopped after it.
class XSession
{
public:
    XSession() = default;
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;
    ~XSession() { stop(); }

    // Starts Xvfb and, when asked, openbox and trayer; sets DISPLAY for this process and
    // its children. Says on standard error what went wrong when it could not.
    bool start(bool desktop)
    {
        const QString error = startSession(desktop);
        if (!error.isEmpty())
            std::fprintf(stderr, "%s\n", qPrintable(error));
        return error.isEmpty();
    }

    QString startSession(bool desktop)
    {
        auto* xvfb = spawn(QStringLiteral("Xvfb"),
            { QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                QStringLiteral("tcp") });
        if (!xvfb)
            return QStringLiteral("Xvfb is not installed");
        QByteArray number;
        QElapsedTimer clock;
        clock.start();
        while (!number.contains('\n') && clock.elapsed() < 20000) {
            xvfb->waitForReadyRead(200);
            number += xvfb->readAllStandardOutput();
            if (xvfb->state() == QProcess::NotRunning)
                return QStringLiteral("Xvfb ended: ")
                    + QString::fromLocal8Bit(xvfb->readAllStandardError());
        }
        if (!number.contains('\n'))
            return QStringLiteral("Xvfb did not report its display");
        display = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
        qputenv("DISPLAY", display.toLatin1());
        qunsetenv("WAYLAND_DISPLAY");

        if (desktop) {
            if (!spawn(QStringLiteral("openbox"), { QStringLiteral("--sm-disable") }))
                return QStringLiteral("openbox is not installed");
            if (!waitFor([] {
                    return !run(QStringLiteral("wmctrl"), { QStringLiteral("-m") }).isEmpty();
                }))
                return QStringLiteral("the window manager did not start");
            if (!spawn(QStringLiteral("trayer"),
                    { QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                        QStringLiteral("right"), QStringLiteral("--widthtype"),
                        QStringLiteral("request"), QStringLiteral("--height"), QStringLiteral("32"),
                        QStringLiteral("--SetDockType"), QStringLiteral("true") }))
                return QStringLiteral("trayer is not installed");
            if (!waitFor([this] { return !trayHost().isEmpty(); }))
                return QStringLiteral("the notification area did not start");
        }
        return {};
    }

    void stop()
    {
        for (auto it = m_processes.rbegin(); it != m_processes.rend(); ++it) {
            (*it)->terminate();
            if (!(*it)->waitForFinished(3000)) {
                (*it)->kill();
                (*it)->waitForFinished(3000);
            }
        }
        m_processes.clear();
    }

    // Output of a command run to its end (argument list, never a shell).
    static QString run(const QString& program, const QStringList& arguments)
    {
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished(10000))
            return {};
        return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    }

    // Window ids, newest last, that xdotool's search finds. xdotool ends with an X error when
    // a window goes away while it looks at it, and says nothing else; it is asked again then,
    // so a window closing elsewhere never makes the answer look empty.
    static QStringList search(const QStringList& arguments)
    {
        for (int attempt = 0; attempt < 10; ++attempt) {
            QProcess xdotool;
            xdotool.start(
                QStringLiteral("xdotool"), QStringList { QStringLiteral("search") } + arguments);
            if (xdotool.waitForFinished(10000) && xdotool.readAllStandardError().isEmpty()) {
                const QString out
                    = QString::fromLocal8Bit(xdotool.readAllStandardOutput()).trimmed();
                return out.isEmpty() ? QStringList() : out.split(QLatin1Char('\n'));
            }
            pause(50);
        }
        return {};
    }

    // Window ids, newest last, of visible windows whose title matches the pattern.
    static QStringList visibleWindows(const QString& titlePattern)
    {
        return search({ QStringLiteral("--onlyvisible"), QStringLiteral("--name"), titlePattern });
    }

    // The notification-area host's windows: its frame and the panel that holds the icons.
    QStringList trayHost() const
    {
        return search({ QStringLiteral("--class"), QStringLiteral("trayer") });
    }

    // The window of the icon whose class matches, embedded in the tray host's panel.
    QString trayIcon(const QString& windowClass) const
    {
        const QRegularExpression line(QStringLiteral("^\\s*(0x[0-9a-f]+) .*\\(\"[^\"]*\" \"")
                + QRegularExpression::escape(windowClass) + QStringLiteral("\"\\)"),
            QRegularExpression::MultilineOption | QRegularExpression::CaseInsensitiveOption);
        for (const QString& host : trayHost()) {
            const auto match = line.match(run(QStringLiteral("xwininfo"),
                { QStringLiteral("-tree"), QStringLiteral("-id"), host }));
            if (match.hasMatch())
                return match.captured(1);
        }
        return {};
    }

    template <typename Condition> static bool waitFor(Condition condition, int milliseconds = 10000)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < milliseconds) {
            if (condition())
                return true;
            pause(50);
        }
        return condition();
    }

    // Lets the test's own servers answer while it waits.
    static void pause(int milliseconds)
    {
        if (QCoreApplication::instance()) {
            QEventLoop loop;
            QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
            loop.exec();
        } else {
            QThread::msleep(milliseconds);
        }
    }

    QString display;

private:
    QProcess* spawn(const QString& program, const QStringList& arguments)
    {
        if (QStandardPaths::findExecutable(program).isEmpty())
            return nullptr;
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::SeparateChannels);
        process->start(program, arguments);
        if (!process->waitForStarted(10000))
            return nullptr;
        m_processes.push_back(std::move(process));
        return m_processes.back().get();
    }

    std::vector<std::unique_ptr<QProcess>> m_processes;
};

} // namespace gridvane::testing
