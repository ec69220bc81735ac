#include "platform/linux/linux_tray.h"

#include <QPixmap>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTest>

using namespace gridvane;

class TestLinuxTray : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsTheIconWithItsTipFromConstruction();
    void reportsOnlyPrimaryClicksOncePerAction();
    void iconLeavesWithTheTray();

private:
    static QIcon programIcon()
    {
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::yellow);
        return QIcon(pixmap);
    }
    static QSystemTrayIcon* iconOf(LinuxTray& tray)
    {
        const auto icons = tray.findChildren<QSystemTrayIcon*>();
        return icons.size() == 1 ? icons.first() : nullptr;
    }
};

void TestLinuxTray::showsTheIconWithItsTipFromConstruction()
{
    LinuxTray tray(programIcon());
    QSystemTrayIcon* icon = iconOf(tray);
    QVERIFY(icon);
    QVERIFY(icon->isVisible());
    QVERIFY(!icon->icon().isNull());
    QCOMPARE(icon->toolTip(), QStringLiteral("Gridvane"));
    QCOMPARE(tray.tip(), QStringLiteral("Gridvane"));

    tray.setTip(QStringLiteral("Last checked 12/6/2026 2:30:15 PM"));

    QCOMPARE(icon->toolTip(), QStringLiteral("Last checked 12/6/2026 2:30:15 PM"));
    QCOMPARE(tray.tip(), QStringLiteral("Last checked 12/6/2026 2:30:15 PM"));
}

void TestLinuxTray::reportsOnlyPrimaryClicksOncePerAction()
{
    LinuxTray tray(programIcon());
    int events = 0;
    tray.setMouseEventHandler([&events] { ++events; });
    QSystemTrayIcon* icon = iconOf(tray);

    // A double click arrives as Trigger then DoubleClick; it must count once.
    for (auto reason : { QSystemTrayIcon::DoubleClick, QSystemTrayIcon::Context,
             QSystemTrayIcon::MiddleClick, QSystemTrayIcon::Unknown })
        Q_EMIT icon->activated(reason);
    QCOMPARE(events, 0);

    Q_EMIT icon->activated(QSystemTrayIcon::Trigger);
    QCOMPARE(events, 1);
    Q_EMIT icon->activated(QSystemTrayIcon::Trigger);
    QCOMPARE(events, 2);
}

void TestLinuxTray::iconLeavesWithTheTray()
{
    auto tray = std::make_unique<LinuxTray>(programIcon());
    QPointer<QSystemTrayIcon> icon = iconOf(*tray);
    QVERIFY(icon);

    tray.reset();

    QVERIFY(icon.isNull());
}

QTEST_MAIN(TestLinuxTray)
#include "test_linux_tray.moc"
