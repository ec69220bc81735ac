// Gridvane installed and used on the desktops people use, each headless and with a
// StatusNotifierItem tray: X11 (Xvfb and openbox), GNOME's compositor (mutter) with its
// Xwayland, and native Wayland (weston). A loopback server holds the page until the test lets it
// go; stand-ins for wall and xdg-open keep what they are given.
#include "desktop_session.h"
#include "fakes/fakes.h"
#include "fakes/loopback_server.h"
#include "notification_service.h"

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
        return stack.indexOf(QString::number(id.toULong(), 16).prepend("0x"));
    };
    return place(window) > place(other) && place(other) >= 0
        && D::run("xprop", { "-id", window, "_NET_WM_STATE" }).contains("_NET_WM_STATE_ABOVE");
}

// Whether the client's Wayland protocol log shows the window of that title on an output: its
// toplevel leads to its surface, which the compositor then says it entered.
bool mapped(const QString& log, const QString& title)
{
    const qsizetype titled = log.indexOf(".set_title(\"" + title + "\")");
    const QString toplevel = log.left(titled).section(' ', -1).section('.', 0, 0);
    const QRegularExpression made("(xdg_surface@\\d+)\\.get_toplevel\\(new id " + toplevel + "\\)");
    const QString xdgSurface = titled < 0 ? "" : made.match(log.left(titled)).captured(1);
    const QRegularExpression surface(
        "get_xdg_surface\\(new id " + xdgSurface + ", (wl_surface@\\d+)\\)");
    QString wlSurface;
    for (const auto& match : surface.globalMatch(log.left(titled)))
        wlSurface = match.captured(1);
    return wlSurface != "" && log.indexOf(wlSurface + ".enter(", titled) > 0;
}

class DesktopTest : public QObject
{
    Q_OBJECT

    QTemporaryDir installed;

private Q_SLOTS:
    void initTestCase()
    {
        // One component keeps a real install's manifest. What a desktop reads must be valid.
        const QStringList install { "--install", BUILD_DIR, "--prefix", installed.path(),
            "--component", "Unspecified" };
        QCOMPARE(QProcess::execute(CMAKE_COMMAND, install), 0);
        const QString menuEntry = installed.filePath("share/applications/gridvane.desktop");
        QCOMPARE(QProcess::execute("desktop-file-validate", { menuEntry }), 0);
        QVERIFY(readFile(menuEntry).contains(
            "\nExec=" + installed.filePath("bin/gridvane").toUtf8() + '\n'));
        const QString metadata = "share/metainfo/org.example.gridvane.metainfo.xml";
        QCOMPARE(QProcess::execute(
                     "appstreamcli", { "validate", "--no-net", installed.filePath(metadata) }),
            0);
        for (const char* name :
            { "XDG_CONFIG_HOME", "BROWSER", "DEFAULT_BROWSER", "SESSION_MANAGER", "WAYLAND_DEBUG" })
            qunsetenv(name);
    }

    void alertReachesTheUser_data()
    {
        QTest::addColumn<int>("desktop");
        QTest::addColumn<bool>("notifications");
        QTest::newRow("X11: the notification brings the box forward, Yes opens the page, wall "
                      "broadcasts, Exit ends all")
            << int(D::X11) << true;
        QTest::newRow("GNOME's compositor, through Xwayland by itself: the box comes up and stays "
                      "above the window being typed into, without a notification service")
            << int(D::Mutter) << false;
        QTest::newRow("native Wayland: the box is mapped and the notification sent")
            << int(D::Weston) << true;
    }
    void alertReachesTheUser()
    {
        QFETCH(int, desktop);
        QFETCH(bool, notifications);
        DesktopSession session;
        QVERIFY2(session.start(D::Kind(desktop)), "the desktop did not start");
        const bool x = desktop != D::Weston;

        QTemporaryDir home; // the user's, with the stand-ins in its bin folder
        const auto at = [&](const QString& file) { return home.filePath(file); };
        qputenv("HOME", home.path().toLocal8Bit());
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", at("bin").toLocal8Bit() + ':' + path);
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
        QVERIFY2(D::waitFor([&] { return dbus(host) != ""; }), "the tray's watcher did not start");
        NotificationService service;
        QVERIFY(!notifications || service.start());

        LoopbackServer server;
        server.on("/outages.html", { .held = true });
        // The office's places, through the real Apprise: a loopback web hook and mail server.
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
                + "?from=gridvane@example.org&to=office@example.org&format=text\n"));
        const QStringList settings { server.url("/outages.html"), "30 seconds", "on", "B7" };
        const QString message = "Power off at 3 pm in Springfield; save your work $(touch x) `id`";
        QVERIFY(writeFile(at(".config/gridvane/Settings.ini"), encodeRecords(settings)));
        QVERIFY(writeFile(at(".config/gridvane/NetSend.ini"), encodeUtf16Le(message)));
        QProcess gridvane;
        if (!x)
            gridvane.setProcessEnvironment([] {
                auto env = QProcessEnvironment::systemEnvironment();
                env.insert("QT_QPA_PLATFORM", "wayland");
                env.insert("WAYLAND_DEBUG", "client");
                return env;
            }());
        gridvane.start(installed.filePath("bin/gridvane"), {});

        // Saved codes: it starts hidden, with its item in the tray. Activate, the tray's click,
        // shows the window and checks at once.
        const QStringList items { "--dest=" + watcher, "/StatusNotifierWatcher",
            "org.freedesktop.DBus.Properties.Get", "string:" + watcher,
            "string:RegisteredStatusNotifierItems" };
        QString item;
        QVERIFY2(D::waitFor([&] { return (item = dbus(items).section('"', 1, 1)) != ""; }),
            "the program's item did not show in the tray");
        QVERIFY2(!x || D::visibleWindows(mainTitle).isEmpty(), "the window showed at start-up");
        QVERIFY(dbus({ "--dest=" + item, "/StatusNotifierItem",
                    "org.kde.StatusNotifierItem.Activate", "int32:0", "int32:0" })
            != "");
        QVERIFY2(D::waitFor([&] { return server.held.size() == 1; }), "no check after the click");

        // The user types in another program's window when the page lists B7.
        QProcess typing;
        QString typed, box;
        if (x) {
            typing.setProcessEnvironment([] {
                auto env = QProcessEnvironment::systemEnvironment();
                env.insert("QT_QPA_PLATFORM", "xcb");
                return env;
            }());
            typing.start(QCoreApplication::applicationDirPath() + "/typing_window", {});
            QVERIFY(
                D::waitFor([&] { return (typed = D::visibleWindows("^Typing$").value(0)) != ""; }));
            D::run("xdotool", { "windowactivate", "--sync", typed, "type", "Dear all," });
        }
        LoopbackServer::answer(server.held[0],
            htmlPage("<h2>Communities Affected by Rotating Outages</h2><p>Groups: A1, B7</p>"));
        if (x) {
            QVERIFY2(
                D::waitFor([&] { return (box = D::visibleWindows(alertTitle).value(0)) != ""; }),
                "no alert box");
            QVERIFY2(above(box, typed), "the alert box is not above the window being typed into");
            D::run("xdotool", { "windowactivate", "--sync", typed, "type", " the power" });
            QVERIFY2(above(box, typed), "the alert box went below the window being typed into");
        } else {
            QString log;
            QVERIFY2(D::waitFor([&] {
                return mapped(log += gridvane.readAllStandardError(), "Gridvane Alert!");
            }),
                "the alert box was not mapped");
        }

        if (notifications) {
            QVERIFY2(D::waitFor([&] { return service.notified.size() == 1; }), "no notification");
            const NotificationService::Notification& sent = service.notified[0];
            QCOMPARE(sent.appName + ' ' + sent.icon + ' ' + sent.summary,
                "Gridvane gridvane Gridvane Alert!");
            QVERIFY(sent.body.contains("Group B7 is on the Stage 2 alarm list!"));
            QCOMPARE(sent.hints.value("urgency").toInt(), 2);
            QCOMPARE(sent.hints.value("desktop-entry").toString(), "gridvane");
            QVERIFY(sent.actions.contains("default") && sent.timeout == 0);
        }
        if (desktop == D::X11) {
            // Choosing the notification brings the box forward, with the service's token.
            const QString token = "gridvane-test_TIME0";
            Q_EMIT service.ActivationToken(1, token);
            Q_EMIT service.ActionInvoked(1, "default");
            QVERIFY2(D::waitFor([&] { return D::run("xdotool", { "getactivewindow" }) == box; }),
                "the notification did not bring the box forward");
            QVERIFY(D::run("xprop", { "-id", box, "_NET_STARTUP_ID" }).contains(token));
            // Return is Yes: the page opens, wall gets the message, wrapped, the notification goes.
            const auto opened = [&] { return QFile::exists(at("bin/xdg-open.got")); };
            QVERIFY2(press(alertTitle, "Return", opened), "Yes did not open the page");
            QVERIFY2(D::waitFor([&] { return QFile::exists(at("bin/wall.got")); }), "no broadcast");
            QCOMPARE(readFile(at("bin/xdg-open.got")), "1 " + settings[0].toUtf8() + '\n');
            const QByteArray wrapped
                = "Power off at 3 pm in Springfield;\nsave your work $(touch x) `id`";
            QCOMPARE(readFile(at("bin/wall.got")), "0\n" + wrapped);
            const auto delivered = [&] {
                const QStringList mails = QDir(at("mail/new")).entryList(QDir::Files);
                return QString("%1 web hook, %2 mail")
                    .arg(std::count_if(server.requests.cbegin(), server.requests.cend(),
                        [&](auto& r) {
                            return r.contains(QByteArray(wrapped).replace("\n", "\\n"));
                        }))
                    .arg(mails.size() == 1
                                && readFile(at("mail/new/" + mails[0]))
                                       .replace("=\n", "")
                                       .contains(wrapped)
                            ? 1
                            : mails.size() * 10);
            };
            QTRY_COMPARE(delivered(), "1 web hook, 1 mail");
            QVERIFY2(D::waitFor([&] { return service.closed == QList<uint> { 1 }; }),
                "answering the box left the notification");
        }

        // Exit (a termination request without a keyboard) ends the program and all it started.
        const auto ended = [&] { return gridvane.state() == QProcess::NotRunning; };
        if (desktop == D::X11)
            QVERIFY2(press(mainTitle, "alt+x", ended), "Alt+X did not end the program");
        gridvane.terminate();
        QVERIFY(D::waitFor(ended));
        QCOMPARE(gridvane.exitStatus(), QProcess::NormalExit);
        typing.terminate(), tray.terminate(), mail.terminate();
        typing.waitForFinished(), tray.waitForFinished(), mail.waitForFinished();
        const QStringList strays { "HOME=/", "sh", "-c", "grep -lsxz \"$0\" /proc/[0-9]*/environ",
            "HOME=" + home.path() };
        QVERIFY2(D::waitFor([&] { return D::run("env", strays) == ""; }), "a child outlived it");
        qputenv("PATH", path);
    }
};

QTEST_GUILESS_MAIN(DesktopTest)
#include "test_desktop.moc"
