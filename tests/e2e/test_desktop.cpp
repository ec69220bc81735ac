// Gridvane installed and used on a virtual desktop with a StatusNotifierItem tray (KDE, GNOME,
// XFCE), a loopback server and stand-ins for wall and xdg-open that keep what they are given.
#include "fakes/fakes.h"
#include "fakes/loopback_server.h"
#include "x_session.h"

using namespace gridvane;
using namespace gridvane::testing;
using X = XSession;

const QString mainTitle = "^Gridvane \\(Southern Cal Edison\\) version 1\\.06$";

// A D-Bus call's reply as dbus-send prints it; nothing for an error.
QString dbus(const QStringList& call)
{
    return X::run("dbus-send", QStringList { "--session", "--print-reply" } + call);
}

// Sends keys to a window until the result shows: a busy desktop may drop keys sent too early.
template <typename Done> bool press(const QString& title, const char* keys, Done done)
{
    for (int i = 0; i < 4 && !done(); ++i) {
        QString window;
        X::waitFor([&] { return (window = X::visibleWindows(title).value(0)) != ""; });
        X::run("xdotool", { "windowactivate", "--sync", window, "key", keys });
        X::waitFor(done, 8000);
    }
    return done();
}

class DesktopTest : public QObject
{
    Q_OBJECT

    X session;

private Q_SLOTS:
    void initTestCase() { QVERIFY2(session.start(), "the virtual desktop did not start"); }

    void fromTrayToAlertToExit()
    {
        QTemporaryDir home; // the user's, with the program installed in it
        const auto at = [&](const QString& file) { return home.filePath(file); };
        qputenv("HOME", home.path().toLocal8Bit());
        qputenv("PATH", at("bin").toLocal8Bit() + ':' + qgetenv("PATH"));
        for (const char* name : { "XDG_CONFIG_HOME", "QT_QPA_PLATFORM", "BROWSER",
                 "DEFAULT_BROWSER", "SESSION_MANAGER" })
            qunsetenv(name);
        // One component keeps a real install's manifest. What a desktop reads must be valid.
        const QStringList install { "--install", BUILD_DIR, "--prefix", at("usr"), "--component" };
        QCOMPARE(QProcess::execute(CMAKE_COMMAND, install + QStringList { "Unspecified" }), 0);
        const QString menuEntry = at("usr/share/applications/gridvane.desktop");
        QCOMPARE(QProcess::execute("desktop-file-validate", { menuEntry }), 0);
        QVERIFY(readFile(menuEntry).contains("\nExec=" + at("usr/bin/gridvane").toUtf8() + '\n'));
        const QString metadata = at("usr/share/metainfo/org.example.gridvane.metainfo.xml");
        QCOMPARE(QProcess::execute("appstreamcli", { "validate", "--no-net", metadata }), 0);

        // Stand-ins that write their argument count and arguments, wall its standard input too.
        QVERIFY(writeFile(at("bin/wall"),
            "#!/bin/sh\necho $# \"$@\" >\"$0.part\"\n"
            "[ \"$0\" = \"${0%wall}\" ] || cat >>\"$0.part\"\nmv \"$0.part\" \"$0.got\"\n"));
        QVERIFY(QFile::setPermissions(at("bin/wall"), QFile::ReadOwner | QFile::ExeOwner)
            && QFile::link(at("bin/wall"), at("bin/xdg-open")));
        // The tray: a watcher, with a host registered once it answers.
        QProcess tray;
        tray.start("status-notifier-watcher", {});
        const QString watcher = "org.kde.StatusNotifierWatcher";
        const QStringList host { "--dest=" + watcher, "/StatusNotifierWatcher",
            watcher + ".RegisterStatusNotifierHost", "string:org.kde.StatusNotifierHost-test" };
        QVERIFY2(X::waitFor([&] { return dbus(host) != ""; }), "the tray's watcher did not start");

        LoopbackServer server;
        server.on("/outages.html",
            htmlPage("<h2>Communities Affected by Rotating Outages</h2><p>Groups: A1, B7</p>"));
        const QStringList settings { server.url("/outages.html"), "30 seconds", "on", "B7" };
        const QString message = "Power off at 3 pm in Springfield; save your work $(touch x) `id`";
        QVERIFY(writeFile(at(".config/gridvane/Settings.ini"), encodeRecords(settings)));
        QVERIFY(writeFile(at(".config/gridvane/NetSend.ini"), encodeUtf16Le(message)));
        QProcess gridvane;
        gridvane.start(at("usr/bin/gridvane"), {});

        // Saved codes: it starts hidden, with its item in the tray.
        const QString get = "org.freedesktop.DBus.Properties.Get";
        const QStringList items { "--dest=" + watcher, "/StatusNotifierWatcher", get,
            "string:" + watcher, "string:RegisteredStatusNotifierItems" };
        QString item;
        QVERIFY2(X::waitFor([&] { return (item = dbus(items).section('"', 1, 1)) != ""; }),
            "the program's item did not show in the tray");
        const QStringList activate { "--dest=" + item, "/StatusNotifierItem",
            "org.kde.StatusNotifierItem.Activate", "int32:0", "int32:0" };
        const auto shown = [] { return !X::visibleWindows(mainTitle).isEmpty(); };
        QVERIFY2(!shown(), "the window showed at start-up");

        // Activate, the tray's click, shows the window and checks at once: the page lists B7.
        // Return in the alert box is Yes: the page opens and wall gets the message, wrapped.
        QVERIFY2(dbus(activate) != "" && X::waitFor(shown), "a tray click did not show the window");
        const auto opened = [&] { return QFile::exists(at("bin/xdg-open.got")); };
        QVERIFY2(press("^Gridvane Alert!$", "Return", opened), "Yes did not open the page");
        QVERIFY2(X::waitFor([&] { return QFile::exists(at("bin/wall.got")); }), "no broadcast");
        QCOMPARE(readFile(at("bin/xdg-open.got")), "1 " + settings[0].toUtf8() + '\n');
        QCOMPARE(readFile(at("bin/wall.got")),
            "0\nPower off at 3 pm in Springfield;\nsave your work $(touch x) `id`");

        // Exit ends the program and all it started (all with its HOME).
        const auto ended = [&] { return gridvane.state() == QProcess::NotRunning; };
        QVERIFY2(press(mainTitle, "alt+x", ended), "Alt+X did not end the program");
        QCOMPARE(gridvane.exitStatus(), QProcess::NormalExit);
        tray.terminate();
        const QStringList strays { "HOME=/", "sh", "-c", "grep -lsxz \"$0\" /proc/[0-9]*/environ",
            "HOME=" + home.path() };
        QVERIFY2(X::waitFor([&] { return X::run("env", strays) == ""; }), "a child outlived it");
    }
};

QTEST_GUILESS_MAIN(DesktopTest)
#include "test_desktop.moc"
