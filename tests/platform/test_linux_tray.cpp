#include "platform/linux/linux_tray.h"
#include "shell/ui/program_icon.h"

#include <QPointer>
#include <QSystemTrayIcon>
#include <QTest>

using namespace gridvane;

class TestLinuxTray : public QObject
{
    Q_OBJECT

    static QSystemTrayIcon* iconOf(LinuxTray& tray)
    {
        const auto icons = tray.findChildren<QSystemTrayIcon*>();
        return icons.size() == 1 ? icons.first() : nullptr;
    }

private Q_SLOTS:
    void showsTheIconWithItsTipUntilTheTrayGoes()
    {
        auto tray = std::make_unique<LinuxTray>(programIcon(), QStringLiteral("Gridvane"));
        QPointer<QSystemTrayIcon> icon = iconOf(*tray);
        QVERIFY(icon && icon->isVisible() && !icon->icon().isNull());
        QCOMPARE(icon->toolTip(), QStringLiteral("Gridvane"));
        QCOMPARE(tray->tip(), QStringLiteral("Gridvane"));

        tray->setTip(QStringLiteral("Last checked 12/6/2026 2:30:15 PM"));
        QCOMPARE(icon->toolTip(), QStringLiteral("Last checked 12/6/2026 2:30:15 PM"));
        QCOMPARE(tray->tip(), QStringLiteral("Last checked 12/6/2026 2:30:15 PM"));

        tray.reset();
        QVERIFY(icon.isNull());
    }

    void reportsOnlyPrimaryClicksOncePerAction()
    {
        LinuxTray tray(programIcon(), QStringLiteral("Gridvane"));
        int events = 0;
        tray.setMouseEventHandler([&events] { ++events; });
        QSystemTrayIcon* icon = iconOf(tray);
        QVERIFY(icon);

        // A double click arrives as Trigger then DoubleClick; it must count once.
        for (auto reason :
            { QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick, QSystemTrayIcon::Context,
                QSystemTrayIcon::MiddleClick, QSystemTrayIcon::Unknown, QSystemTrayIcon::Trigger })
            Q_EMIT icon->activated(reason);
        QCOMPARE(events, 2);
    }
};

QTEST_MAIN(TestLinuxTray)
#include "test_linux_tray.moc"
