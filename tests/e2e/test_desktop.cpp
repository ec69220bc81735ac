// Gridvane as a user meets it: a copy of the program on a virtual desktop with a window
// manager and a notification area, driven from outside with xdotool and wmctrl.
#include "fakes/files.h"
#include "fakes/loopback_server.h"
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

const QString mainTitle = QStringLiteral("^Gridvane \\(Southern Cal Edison\\) version 1\\.06$");
const QString alertTitle = QStringLiteral("^Gridvane Alert!$");
const QString aboutTitle = QStringLiteral("^About Gridvane$");

QString xdotool(const QStringList& arguments)
{
    return XSession::run(QStringLiteral("xdotool"), arguments);
}

bool saveScreenshot(const QString& window, const QString& name)
{
    QDir().mkpath(QStringLiteral(SCREENSHOT_DIR));
    XSession::pause(300); // let the window finish painting
    const QPixmap shot
        = QGuiApplication::primaryScreen()->grabWindow(window.toULongLong(nullptr, 0));
    return !shot.isNull() && shot.save(QStringLiteral(SCREENSHOT_DIR "/") + name);
}

// The newest shown window whose title matches, or no id while none is shown.
QString newestWindow(const QString& titlePattern)
{
    const QStringList windows = XSession::visibleWindows(titlePattern);
    return windows.isEmpty() ? QString() : windows.last();
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
        QVERIFY(gridvane.waitForStarted());

        // Saved codes: it starts hidden, with its icon in the tray.
        QString icon;
        QVERIFY(XSession::waitFor(
            [&] { return !(icon = session->trayIcon(QStringLiteral("gridvane"))).isEmpty(); }));
        QVERIFY(XSession::visibleWindows(mainTitle).isEmpty());

        // A click on the icon shows the window and starts checking at once: the page lists B7.
        const auto mainShown = [] { return !XSession::visibleWindows(mainTitle).isEmpty(); };
        QVERIFY(attempt([&] { click(icon); }, mainShown));
        QStringList alert;
        QVERIFY(XSession::waitFor(
            [&] { return !(alert = XSession::visibleWindows(alertTitle)).isEmpty(); }));
        const QByteArray savedWhileOpen = readFile(config + QStringLiteral("/Settings.ini"));
        QVERIFY(attempt([&] { keyTo(alert.last(), QStringLiteral("Return")); },
            [] { return XSession::visibleWindows(alertTitle).isEmpty(); }));

        QVERIFY(XSession::waitFor([&] { return !standIns.openedUrls().isEmpty(); }));
        QCOMPARE(standIns.openedUrls(), url.toLocal8Bit() + '\n');
        QVERIFY(XSession::waitFor([&] { return !standIns.wallInput().isEmpty(); }));
        QCOMPARE(
            standIns.wallInput().trimmed(), QByteArray("Blackout soon; save your work $(touch x)"));
        QVERIFY(!QFile::exists(home.filePath(QStringLiteral("x"))));
        QCOMPARE(savedWhileOpen,
            encodeRecords(
                { url, QStringLiteral("30 seconds"), QStringLiteral("on"), QStringLiteral("B7") }));
        QCOMPARE(readFile(config + QStringLiteral("/NetSend.ini")),
            encodeUtf16Le(QStringLiteral("Blackout soon; save your work $(touch x)")));

        QString window;
        QVERIFY(XSession::waitFor([&] { return !(window = newestWindow(mainTitle)).isEmpty(); }));
        QVERIFY(saveScreenshot(window, QStringLiteral("main-window.png")));

        // Help > About through the menu bar ("&Help" shares its access key with "&Hide").
        QStringList about;
        QVERIFY(attempt(
            [&] {
                keyTo(window, QStringLiteral("Escape"));
                keyTo(window, QStringLiteral("alt+f"));
                XSession::pause(300);
                xdotool({ QStringLiteral("key"), QStringLiteral("Right"), QStringLiteral("Right"),
                    QStringLiteral("a") });
            },
            [&] { return !(about = XSession::visibleWindows(aboutTitle)).isEmpty(); }));
        QVERIFY(saveScreenshot(about.last(), QStringLiteral("about-window.png")));
        XSession::run(
            QStringLiteral("wmctrl"), { QStringLiteral("-c"), QStringLiteral("About Gridvane") });
        QVERIFY(XSession::waitFor([] { return XSession::visibleWindows(aboutTitle).isEmpty(); }));

        // A close request through the window manager only hides the window and saves.
        QFile::remove(config + QStringLiteral("/Settings.ini"));
        XSession::run(QStringLiteral("wmctrl"),
            { QStringLiteral("-c"), QStringLiteral("Gridvane (Southern Cal Edison)") });
        QVERIFY(XSession::waitFor([] { return XSession::visibleWindows(mainTitle).isEmpty(); }));
        QVERIFY(XSession::waitFor(
            [&] { return QFile::exists(config + QStringLiteral("/Settings.ini")); }));
        QCOMPARE(gridvane.state(), QProcess::Running);

        // Back through the tray, then Exit ends the program and takes the icon away.
        QVERIFY(attempt([&] { click(session->trayIcon(QStringLiteral("gridvane"))); }, mainShown));
        QVERIFY(attempt([&] { keyTo(newestWindow(mainTitle), QStringLiteral("alt+x")); },
            [&] { return gridvane.state() == QProcess::NotRunning; }));
        QCOMPARE(gridvane.exitStatus(), QProcess::NormalExit);
        QVERIFY(XSession::waitFor(
            [] { return session->trayIcon(QStringLiteral("gridvane")).isEmpty(); }));
    }
};

int main(int argc, char** argv)
{
    XSession xsession;
    if (!xsession.start(true))
        return 1;
    session = &xsession;
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    DesktopTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_desktop.moc"
