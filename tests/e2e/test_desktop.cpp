// Gridvane installed and used on the desktops people use, each headless, with a
// StatusNotifierItem tray on a session bus of the test's own: X11 (Xvfb and openbox), GNOME's
// compositor (mutter) with its Xwayland, and native Wayland (weston). A loopback server holds
// the page until the test lets it go; stand-ins for wall and xdg-open keep what they get.
#include "desktop_session.h"
#include "fakes/fakes.h"
#include "fakes/loopback_server.h"

#include <QTcpServer>

using namespace gridvane;
using namespace gridvane::testing;
using D = DesktopSession;

const QString mainTitle = "^Gridvane \\(Southern Cal Edison\\) version 1\\.06$";
const QString alertTitle = "^Gridvane Alert!$";

// A D-Bus call's reply as dbus-send prints it; nothing for an error.
QString dbus(const QStringList& call)
{
    return D::run("dbus-send", QStringList { "--session", "--print-reply" } + call);
}

// Raises a signal of the notification service as the user's click would.
void notificationSignal(const QString& name, const QString& arguments)
{
    D::run("gdbus",
        { "call", "--session", "--dest", "org.freedesktop.Notifications", "--object-path",
            "/org/freedesktop/Notifications", "--method", "org.freedesktop.DBus.Mock.EmitSignal",
            "org.freedesktop.Notifications", name, "us", arguments });
}

// Sends keys to a window until the result shows: a busy desktop may drop keys sent too early.
template <typename Done> bool press(const QString& title, const char* keys, Done done)
{
    for (int i = 0; i < 4 && !done(); ++i) {
        QString window;
        D::waitFor([&] { return (window = D::visibleWindows(title).value(0)) != ""; });
        D::run("xdotool", { "windowactivate", "--sync", window, "key", keys });
        D::waitFor(done, 8000);
    }
    return done();
}

// Whether the first window is stacked above the second and marked to stay above.
bool above(const QString& window, const QString& other)
{
    const QStringList stack = D::run("xprop", { "-root", "_NET_CLIENT_LIST_STACKING" })
                                  .section('#', 1)
                                  .remove(' ')
                                  .split(',');
    const auto place = [&](const QString& id) {
        return stack.indexOf("0x" + QString::number(id.toULong(), 16));
    };
    return place(window) > place(other) && place(other) >= 0
        && D::run("xprop", { "-id", window, "_NET_WM_STATE" }).contains("_NET_WM_STATE_ABOVE");
}

class DesktopTest : public QObject
{
    Q_OBJECT

    QTemporaryDir installed;

private Q_SLOTS:
    void initTestCase()
    {
        // One component keeps a real install's manifest. What a desktop reads must be valid.
        QCOMPARE(QProcess::execute(CMAKE_COMMAND,
                     { "--install", BUILD_DIR, "--prefix", installed.path(), "--component",
                         "Unspecified" }),
            0);
        const QString menuEntry = installed.filePath("share/applications/gridvane.desktop");
        QCOMPARE(QProcess::execute("desktop-file-validate", { menuEntry }), 0);
        QVERIFY(
            readFile(menuEntry).contains("\nExec=" + installed.filePath("bin/gridvane").toUtf8()));
        const QString metadata = "share/metainfo/org.example.gridvane.metainfo.xml";
        QCOMPARE(QProcess::execute(
                     "appstreamcli", { "validate", "--no-net", installed.filePath(metadata) }),
            0);
        for (const char* name :
            { "XDG_CONFIG_HOME", "BROWSER", "SESSION_MANAGER", "WAYLAND_DEBUG" })
            qunsetenv(name);
    }

    void alertReachesTheUser_data()
    {
        QTest::addColumn<D::Kind>("desktop");
        QTest::addColumn<bool>("notifications"); // a notification service on the bus
        QTest::newRow("X11: the notification brings the box forward, Yes opens the page and "
                      "broadcasts, Exit ends all")
            << D::X11 << true;
        QTest::newRow("GNOME's compositor, through Xwayland by itself: the box comes up and stays "
                      "above the window being typed into, with no notification service")
            << D::Mutter << false;
        QTest::newRow("native Wayland: the box is mapped and the notification sent")
            << D::Weston << true;
    }
    void alertReachesTheUser()
    {
        QFETCH(D::Kind, desktop);
        QFETCH(bool, notifications);
        DesktopSession session;
        QVERIFY2(session.start(desktop), "the desktop did not start");
        QTemporaryDir home; // the user's, with the stand-ins in its bin folder
        const auto at = [&](const QString& file) { return home.filePath(file); };
        const QByteArray path = qgetenv("PATH");
        qputenv("HOME", home.path().toLocal8Bit());
        qputenv("PATH", at("bin").toLocal8Bit() + ':' + path);
        // Stand-ins that write their argument count and arguments, wall its standard input too.
        QVERIFY(writeFile(at("bin/wall"),
            "#!/bin/sh\necho $# \"$@\" >\"$0.part\"\n"
            "[ \"$0\" = \"${0%wall}\" ] || cat >>\"$0.part\"\n"
            "mv \"$0.part\" \"$0.got\"\n"));
        QVERIFY(QFile::setPermissions(at("bin/wall"), QFile::ReadOwner | QFile::ExeOwner)
            && QFile::link(at("bin/wall"), at("bin/xdg-open")));
        // The tray, a watcher with a host registered once it answers, and python3-dbusmock's
        // notification service, which logs the calls it gets.
        QProcess tray, service;
        tray.start("status-notifier-watcher", {});
        const QString watcher = "org.kde.StatusNotifierWatcher";
        QVERIFY2(D::waitFor([&] {
            return dbus({ "--dest=" + watcher, "/StatusNotifierWatcher",
                       watcher + ".RegisterStatusNotifierHost", "string:test" })
                != "";
        }),
            "the tray's watcher did not start");
        const QString notified = at("notified");
        if (notifications)
            service.start("/usr/bin/python3",
                { "-m", "dbusmock", "--template", "notification_daemon", "-l", notified });
        QVERIFY(!notifications || D::waitFor([&] { return QFile::exists(notified); }));

        // The page, held back, and the office's places for the broadcast through the real
        // Apprise: a web hook and a mail server on loopback.
        LoopbackServer server;
        server.on("/outages.html", { .held = true });
        server.on("/office", htmlPage(""));
        QTcpServer free;
        QVERIFY(free.listen(QHostAddress::LocalHost));
        const QString smtp = QString::number(free.serverPort());
        free.close();
        QProcess mail;
        mail.start("/usr/bin/python3",
            { "-m", "aiosmtpd", "-n", "-l", "127.0.0.1:" + smtp, "-c", "aiosmtpd.handlers.Mailbox",
                at("mail") });
        QVERIFY(writeFile(at(".config/gridvane/broadcast.yml"),
            "urls:\n  - " + server.url("/office").replace("http", "json").toUtf8()
                + "\n  - mailto://127.0.0.1:" + smtp.toUtf8()
                + "?from=g@example.org&to=o@example.org&format=text\n"));
        const QStringList settings { server.url("/outages.html"), "30 seconds", "on", "B7" };
        const QString message = "Power off at 3 pm in Springfield; save your work $(touch x) `id`";
        QVERIFY(writeFile(at(".config/gridvane/Settings.ini"), encodeRecords(settings)));
        QVERIFY(writeFile(at(".config/gridvane/NetSend.ini"), encodeUtf16Le(message)));
        QProcess gridvane;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (desktop == D::Weston) {
            environment.insert("QT_QPA_PLATFORM", "wayland");
            environment.insert("WAYLAND_DEBUG", "client");
        }
        gridvane.setProcessEnvironment(environment);
        gridvane.start(installed.filePath("bin/gridvane"), {});

        // Saved codes: it starts hidden, with its item in the tray and its name in the item's
        // tip. Activate, the tray's click, toggles the window, which then shows, and checks.
        const QStringList items { "--dest=" + watcher, "/StatusNotifierWatcher",
            "org.freedesktop.DBus.Properties.Get", "string:" + watcher,
            "string:RegisteredStatusNotifierItems" };
        QString item;
        QVERIFY2(D::waitFor([&] { return (item = dbus(items).section('"', 1, 1)) != ""; }),
            "the program's item did not show in the tray");
        const QString sni = "org.kde.StatusNotifierItem";
        QVERIFY(dbus({ "--dest=" + item, "/StatusNotifierItem",
                         "org.freedesktop.DBus.Properties.Get", "string:" + sni, "string:ToolTip" })
                    .contains("\"Gridvane\""));
        QVERIFY(dbus({ "--dest=" + item, "/StatusNotifierItem", sni + ".Activate", "int32:0",
                    "int32:0" })
            != "");
        QVERIFY2(D::waitFor([&] { return server.held.size() == 1; }), "no check after the click");
        QVERIFY(desktop == D::Weston
            || D::waitFor([] { return D::visibleWindows(mainTitle).size() == 1; }));

        // The user types in another program's window when the page lists B7.
        QProcess typing;
        QString typed, box;
        if (desktop != D::Weston) {
            typing.start(
                QCoreApplication::applicationDirPath() + "/typing_window", { "-platform", "xcb" });
            QVERIFY(
                D::waitFor([&] { return (typed = D::visibleWindows("^Typing$").value(0)) != ""; }));
            D::run("xdotool", { "windowactivate", "--sync", typed, "type", "Dear all," });
        }
        LoopbackServer::answer(server.held[0],
            htmlPage("<h2>Communities Affected by Rotating Outages</h2><p>Groups: A1, B7</p>"));
        if (desktop == D::Weston) {
            // The client's Wayland protocol log: a surface enters an output once the box has its
            // title.
            QByteArray log;
            const auto mapped = [&] {
                const qsizetype titled = (log += gridvane.readAllStandardError())
                                             .indexOf(".set_title(\"Gridvane Alert!\")");
                return titled > 0 && log.indexOf(".enter(wl_output", titled) > 0;
            };
            QVERIFY2(D::waitFor(mapped), "the alert box was not mapped");
        } else {
            QVERIFY2(
                D::waitFor([&] { return (box = D::visibleWindows(alertTitle).value(0)) != ""; }),
                "no alert box");
            QVERIFY2(above(box, typed), "the alert box is not above the window being typed into");
            D::run("xdotool", { "windowactivate", "--sync", typed, "type", " the power" });
            QVERIFY2(above(box, typed), "the alert box went below the window being typed into");
        }
        if (notifications) {
            QVERIFY2(D::waitFor([&] { return readFile(notified).contains("Notify"); }),
                "no notification");
            const QString sent = QString(readFile(notified)).section(" Notify ", 1);
            QVERIFY2(sent.startsWith("\"Gridvane\" 0 \"gridvane\" \"Gridvane Alert!\" \"Attention! "
                                     "Attention!\nGroup B7 is on the Stage 2 alarm list!")
                    && sent.contains("[\"default\"") && sent.contains("\"urgency\": 2")
                    && sent.contains("\"desktop-entry\": \"gridvane\"") && sent.contains("} 0\n"),
                qPrintable(sent));
        }
        if (desktop == D::X11) {
            // Choosing the notification brings the box forward, with the service's token.
            notificationSignal("ActivationToken", "[<uint32 1>, <'test_TIME0'>]");
            notificationSignal("ActionInvoked", "[<uint32 1>, <'default'>]");
            QVERIFY2(D::waitFor([&] { return D::run("xdotool", { "getactivewindow" }) == box; }),
                "the notification did not bring the box forward");
            QVERIFY(D::run("xprop", { "-id", box, "_NET_STARTUP_ID" }).contains("test_TIME0"));
            // Return is Yes: the page opens, wall gets the message wrapped, the notification goes.
            const auto opened = [&] { return QFile::exists(at("bin/xdg-open.got")); };
            QVERIFY2(press(alertTitle, "Return", opened), "Yes did not open the page");
            QVERIFY2(D::waitFor([&] { return QFile::exists(at("bin/wall.got")); }), "no broadcast");
            QCOMPARE(readFile(at("bin/xdg-open.got")), "1 " + settings[0].toUtf8() + '\n');
            const QByteArray wrapped
                = "Power off at 3 pm in Springfield;\nsave your work $(touch x) `id`";
            QCOMPARE(readFile(at("bin/wall.got")), "0\n" + wrapped);
            const auto delivered = [&] {
                const QStringList mails = QDir(at("mail/new")).entryList(QDir::Files);
                const QByteArray json = "\"title\": \"Gridvane Alert!\", \"message\": \""
                    + QByteArray(wrapped).replace("\n", "\\n") + '"';
                return QString("%1 web hook, %2 mail")
                    .arg(std::count_if(server.requests.cbegin(), server.requests.cend(),
                        [&](const QByteArray& request) { return request.contains(json); }))
                    .arg(mails.size()
                        * readFile(at("mail/new/" + mails.value(0))).contains(wrapped));
            };
            QTRY_COMPARE_WITH_TIMEOUT(delivered(), "1 web hook, 1 mail", 10000);
            QVERIFY2(D::waitFor([&] { return readFile(notified).contains("CloseNotification 1"); }),
                "answering the box left the notification");
        }

        // Exit, or a termination request, ends the program and all it started.
        const auto ended = [&] { return gridvane.state() == QProcess::NotRunning; };
        QVERIFY2(desktop != D::X11 || press(mainTitle, "alt+x", ended), "Alt+X did not end it");
        gridvane.terminate();
        QVERIFY(D::waitFor(ended));
        QCOMPARE(gridvane.exitStatus(), QProcess::NormalExit);
        for (QProcess* process : { &typing, &tray, &service, &mail })
            process->terminate(), process->waitForFinished();
        const QStringList strays { "HOME=/", "sh", "-c", "grep -lsxz \"$0\" /proc/[0-9]*/environ",
            "HOME=" + home.path() };
        QVERIFY2(D::waitFor([&] { return D::run("env", strays) == ""; }), "a child outlived it");
        qputenv("PATH", path);
    }
};

QTEST_GUILESS_MAIN(DesktopTest)
#include "test_desktop.moc"
