// Gridvane as a user meets it: a copy of the program on a virtual desktop with a window
// manager and a notification area, driven from outside with xdotool and wmctrl.
#include "fakes/files.h"
#include "fakes/loopback_server.h"
#include "fakes/session_bus.h"
#include "settings/file_formats.h"
#include "stand_ins.h"
#include "x_session.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTest>

using namespace gridvane;
using namespace gridvane::testing;

namespace {
XSession* session = nullptr;
SessionBus* bus = nullptr;

const QString mainTitle = QStringLiteral("^Gridvane \\(Southern Cal Edison\\) version 1\\.06$");
const QString alertTitle = QStringLiteral("^Gridvane Alert!$");
const QString aboutTitle = QStringLiteral("^About Gridvane$");

QString xdotool(const QStringList& arguments)
{
    return XSession::run(QStringLiteral("xdotool"), arguments);
}

// The newest visible window whose title matches, or an empty text.
QString newestWindow(const QString& title)
{
    const QStringList windows = XSession::visibleWindows(title);
    return windows.isEmpty() ? QString() : windows.last();
}

bool saveScreenshot(const QString& window, const QString& name)
{
    QDir().mkpath(QStringLiteral(SCREENSHOT_DIR));
    XSession::pause(300); // let the window finish painting
    const QPixmap shot
        = QGuiApplication::primaryScreen()->grabWindow(window.toULongLong(nullptr, 0));
    return !shot.isNull() && shot.save(QStringLiteral(SCREENSHOT_DIR "/") + name);
}

void click(const QString& window)
{
    xdotool({ QStringLiteral("mousemove"), QStringLiteral("--window"), window, QStringLiteral("8"),
        QStringLiteral("8"), QStringLiteral("click"), QStringLiteral("1") });
}

void keyTo(const QString& window, const QString& keys)
{
    xdotool({ QStringLiteral("windowactivate"), QStringLiteral("--sync"), window });
    xdotool({ QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys });
}

// Does what a user would do again when the desktop missed it (a busy machine can drop a
// click or a key sent before a window is ready), until the expected result shows.
template <typename Action, typename Condition> bool attempt(Action action, Condition condition)
{
    for (int i = 0; i < 4; ++i) {
        action();
        if (XSession::waitFor(condition, 8000))
            return true;
    }
    return false;
}
} // namespace

class DesktopTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fromTrayToAlertToExit()
    {
        LoopbackServer server;
        server.on("/outages.html",
            htmlPage("<html><body><h2>Communities Affected by Rotating Outages</h2>"
                     "<p>Groups: A1, B7, C12</p></body></html>"));
        const QString url = server.url(QStringLiteral("/outages.html"));

        QTemporaryDir home;
        const QString config = home.filePath(QStringLiteral("config/gridvane"));
        QDir().mkpath(config);
        {
            QFile settings(config + QStringLiteral("/Settings.ini"));
            QVERIFY(settings.open(QIODevice::WriteOnly));
            settings.write(encodeRecords(
                { url, QStringLiteral("30 seconds"), QStringLiteral("on"), QStringLiteral("B7") }));
            QFile message(config + QStringLiteral("/NetSend.ini"));
            QVERIFY(message.open(QIODevice::WriteOnly));
            message.write(
                encodeUtf16Le(QStringLiteral("Blackout soon; save your work $(touch x)")));
        }
        const QString program = home.filePath(QStringLiteral("bin/gridvane"));
        QDir().mkpath(home.filePath(QStringLiteral("bin")));
        QVERIFY(QFile::copy(QStringLiteral(GRIDVANE_PATH), program));

        StandIns standIns;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PATH"), QString::fromLocal8Bit(standIns.searchPath()));
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.remove(QStringLiteral("BROWSER"));
        env.remove(QStringLiteral("DEFAULT_BROWSER"));
        env.remove(QStringLiteral("SESSION_MANAGER"));
        QProcess gridvane;
        gridvane.setProcessEnvironment(env);
        gridvane.setProcessChannelMode(QProcess::ForwardedChannels);
        gridvane.start(program, {});
        QVERIFY2(gridvane.waitForStarted(10000), "the program did not start");

        // Saved codes: it starts hidden, with its icon in the tray.
        QString icon;
        QVERIFY2(XSession::waitFor([&] {
            return !(icon = session->trayIcon(QStringLiteral("gridvane"))).isEmpty();
        }),
            "the tray icon did not appear");
        QVERIFY2(XSession::visibleWindows(mainTitle).isEmpty(), "the window showed at start-up");

        // A click on the icon shows the window and starts checking at once: the page lists B7.
        QString window;
        const auto mainShown = [&] { return !(window = newestWindow(mainTitle)).isEmpty(); };
        QVERIFY2(attempt([&] { click(icon); }, mainShown), "a tray click did not show the window");
        QString alert;
        QVERIFY2(XSession::waitFor([&] { return !(alert = newestWindow(alertTitle)).isEmpty(); }),
            "the alert box did not show");
        const QByteArray savedWhileOpen = readFile(config + QStringLiteral("/Settings.ini"));
        QVERIFY2(attempt([&] { keyTo(alert, QStringLiteral("Return")); },
                     [] { return XSession::visibleWindows(alertTitle).isEmpty(); }),
            "Return did not close the alert box");

        QVERIFY2(XSession::waitFor([&] { return !standIns.openedUrls().isEmpty(); }),
            "Yes did not open the page");
        QCOMPARE(standIns.openedUrls(), url.toLocal8Bit() + '\n');
        QVERIFY2(XSession::waitFor([&] { return !standIns.wallInput().isEmpty(); }),
            "the alert did not broadcast the message");
        QCOMPARE(
            standIns.wallInput().trimmed(), QByteArray("Blackout soon; save your work $(touch x)"));
        QVERIFY(!QFile::exists(home.filePath(QStringLiteral("x"))));
        QCOMPARE(savedWhileOpen,
            encodeRecords(
                { url, QStringLiteral("30 seconds"), QStringLiteral("on"), QStringLiteral("B7") }));
        QCOMPARE(readFile(config + QStringLiteral("/NetSend.ini")),
            encodeUtf16Le(QStringLiteral("Blackout soon; save your work $(touch x)")));

        QVERIFY2(XSession::waitFor(mainShown), "the window did not stay shown after the alert");
        QVERIFY(saveScreenshot(window, QStringLiteral("main-window.png")));

        // Help > About through the menu bar ("&Help" shares its access key with "&Hide").
        QString about;
        QVERIFY2(attempt(
                     [&] {
                         keyTo(window, QStringLiteral("Escape"));
                         keyTo(window, QStringLiteral("alt+f"));
                         XSession::pause(300);
                         xdotool({ QStringLiteral("key"), QStringLiteral("Right"),
                             QStringLiteral("Right"), QStringLiteral("a") });
                     },
                     [&] { return !(about = newestWindow(aboutTitle)).isEmpty(); }),
            "Help > About did not open the About window");
        QVERIFY(saveScreenshot(about, QStringLiteral("about-window.png")));
        XSession::run(
            QStringLiteral("wmctrl"), { QStringLiteral("-c"), QStringLiteral("About Gridvane") });
        QVERIFY2(XSession::waitFor([] { return XSession::visibleWindows(aboutTitle).isEmpty(); }),
            "a close request did not close the About window");

        // A close request through the window manager only hides the window and saves.
        QFile::remove(config + QStringLiteral("/Settings.ini"));
        XSession::run(QStringLiteral("wmctrl"),
            { QStringLiteral("-c"), QStringLiteral("Gridvane (Southern Cal Edison)") });
        QVERIFY2(XSession::waitFor([] { return XSession::visibleWindows(mainTitle).isEmpty(); }),
            "a close request did not hide the window");
        QVERIFY2(XSession::waitFor(
                     [&] { return QFile::exists(config + QStringLiteral("/Settings.ini")); }),
            "a close request did not save the settings");
        QCOMPARE(gridvane.state(), QProcess::Running);

        // Back through the tray, then Exit ends the program and takes the icon away.
        QVERIFY2(attempt([&] { click(session->trayIcon(QStringLiteral("gridvane"))); }, mainShown),
            "a tray click did not show the hidden window again");
        QVERIFY2(attempt([&] { keyTo(window, QStringLiteral("alt+x")); },
                     [&] { return gridvane.state() == QProcess::NotRunning; }),
            "Alt+X did not end the program");
        QCOMPARE(gridvane.exitStatus(), QProcess::NormalExit);
        QVERIFY2(XSession::waitFor(
                     [] { return session->trayIcon(QStringLiteral("gridvane")).isEmpty(); }),
            "the tray icon stayed after Exit");
        QVERIFY2(XSession::waitFor([] { return bus->strays().isEmpty(); }),
            "a process the program started outlived it");
    }
};

int main(int argc, char** argv)
{
    XSession xsession;
    if (!xsession.start(true))
        return 1;
    session = &xsession;
    // The program's own session bus, so that it never launches one that outlives the test.
    SessionBus sessionBus;
    if (!sessionBus.isRunning())
        return 1;
    bus = &sessionBus;
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    DesktopTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_desktop.moc"
