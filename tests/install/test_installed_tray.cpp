// The installed program in a StatusNotifierItem tray, the kind KDE Plasma, GNOME's
// AppIndicator extension and XFCE show, reached through D-Bus alone: a private session bus
// with a watcher and a registered host, and the program installed into a temporary DESTDIR.
#include "e2e/x_session.h"
#include "fakes/files.h"
#include "fakes/loopback_server.h"
#include "fakes/session_bus.h"
#include "settings/file_formats.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QTemporaryDir>
#include <QTest>

using namespace gridvane;
using namespace gridvane::testing;

namespace {
SessionBus* bus = nullptr;

const QString watcherName = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString itemInterface = QStringLiteral("org.kde.StatusNotifierItem");
const QString itemPath = QStringLiteral("/StatusNotifierItem");

QDBusMessage call(const QString& service, const QString& path, const QString& interface,
    const QString& method, const QVariantList& arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    return QDBusConnection::sessionBus().call(message);
}

QVariant readProperty(
    const QString& service, const QString& path, const QString& interface, const QString& name)
{
    return call(service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"), { interface, name })
        .arguments()
        .value(0)
        .value<QDBusVariant>()
        .variant();
}

// The title of the item's tooltip (icon name, icon pixmaps, title, text).
QString tooltipTitle(const QString& item)
{
    const auto tip = readProperty(item, itemPath, itemInterface, QStringLiteral("ToolTip"))
                         .value<QDBusArgument>();
    QString icon, title;
    tip.beginStructure();
    tip >> icon;
    tip.asVariant(); // the icon's pixmaps
    tip >> title;
    tip.endStructure();
    return title;
}
} // namespace

class InstalledTrayTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void activateShowsWindowAndChecks()
    {
        QTemporaryDir root;
        QProcess install;
        QProcessEnvironment installEnv = QProcessEnvironment::systemEnvironment();
        installEnv.insert(QStringLiteral("DESTDIR"), root.path());
        install.setProcessEnvironment(installEnv);
        // One component, so the build's install_manifest.txt of a real install stays.
        install.start(QStringLiteral(CMAKE_COMMAND),
            { QStringLiteral("--install"), QStringLiteral(BUILD_DIR), QStringLiteral("--prefix"),
                QStringLiteral("/usr"), QStringLiteral("--component"),
                QStringLiteral("Unspecified") });
        QVERIFY(install.waitForFinished(60000) && install.exitCode() == 0);

        QProcess watcher;
        watcher.start(QStringLiteral("status-notifier-watcher"), {});
        QVERIFY2(watcher.waitForStarted(), "status-notifier-watcher is not installed");
        // The watcher owns its name a moment before it answers on its object.
        const QString host = QStringLiteral("org.kde.StatusNotifierHost-%1").arg(getpid());
        QVERIFY(QDBusConnection::sessionBus().registerService(host));
        QVERIFY(XSession::waitFor([&] {
            return call(watcherName, watcherPath, watcherName,
                       QStringLiteral("RegisterStatusNotifierHost"), { host })
                       .type()
                == QDBusMessage::ReplyMessage;
        }));

        LoopbackServer server;
        server.on("/outages.html",
            htmlPage("<html><body><h2>Communities Affected by Rotating Outages</h2>"
                     "<p>Groups: A1, C12</p></body></html>"));
        QVERIFY(writeFile(root.filePath(QStringLiteral("config/gridvane/Settings.ini")),
            encodeRecords({ server.url(QStringLiteral("/outages.html")),
                QStringLiteral("30 minutes"), QStringLiteral("off"), QStringLiteral("B7") })));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), root.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), root.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        QProcess gridvane;
        gridvane.setProcessEnvironment(env);
        gridvane.setProcessChannelMode(QProcess::ForwardedChannels);
        gridvane.start(root.filePath(QStringLiteral("usr/bin/gridvane")), {});
        QVERIFY(gridvane.waitForStarted());

        // Saved codes: it starts hidden, its item registered with the watcher.
        QString item;
        QVERIFY(XSession::waitFor([&] {
            item = readProperty(watcherName, watcherPath, watcherName,
                QStringLiteral("RegisteredStatusNotifierItems"))
                       .toStringList()
                       .value(0);
            return !item.isEmpty();
        }));
        QCOMPARE(tooltipTitle(item), QStringLiteral("Gridvane"));
        const QString mainTitle = QStringLiteral("^Gridvane \\(Southern Cal Edison\\)");
        QVERIFY(XSession::visibleWindows(mainTitle).isEmpty());

        // Activate is the tray's click: the window shows and the first check goes out at once.
        QCOMPARE(call(item, itemPath, itemInterface, QStringLiteral("Activate"), { 0, 0 }).type(),
            QDBusMessage::ReplyMessage);
        QVERIFY(XSession::waitFor([&] { return !XSession::visibleWindows(mainTitle).isEmpty(); }));
        QVERIFY(XSession::waitFor([&] { return server.lastRequestWas("/outages.html"); }));
        QVERIFY(XSession::waitFor(
            [&] { return tooltipTitle(item).startsWith(QStringLiteral("Last checked ")); }));

        // The menu entry's StartupWMClass is the window's class, so desktops match them.
        const QString windowClass = XSession::run(QStringLiteral("xprop"),
            { QStringLiteral("-id"), XSession::visibleWindows(mainTitle).last(),
                QStringLiteral("WM_CLASS") })
                                        .section(QLatin1Char('"'), 3, 3);
        QVERIFY(readFile(root.filePath(QStringLiteral("usr/share/applications/gridvane.desktop")))
                    .contains("\nStartupWMClass=" + windowClass.toUtf8() + '\n'));

        gridvane.terminate();
        QVERIFY(gridvane.waitForFinished());
        watcher.terminate();
        QVERIFY(watcher.waitForFinished());
        QCOMPARE(bus->strays(), QList<qint64>());
    }
};

int main(int argc, char** argv)
{
    XSession xsession;
    if (!xsession.start(false))
        return 1;
    SessionBus sessionBus;
    if (!sessionBus.isRunning())
        return 1;
    bus = &sessionBus;
    QCoreApplication app(argc, argv);
    InstalledTrayTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_installed_tray.moc"
