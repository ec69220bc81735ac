#include "fakes/fakes.h"
#include "monitor/texts.h"

#include <QFile>
#include <QTest>

using namespace gridvane;
using namespace gridvane::testing;

namespace {
// A started-up model with one code, recording what it asks of the window's host.
struct Program : Harness
{
    Program()
    {
        ready();
        QObject::connect(&form.events, &ModelEvents::frontRequested,
            [this] { hostCalls << QStringLiteral("front"); });
        QObject::connect(&form.events, &ModelEvents::unloaded, [this] {
            hostCalls << QStringLiteral("unloaded");
            trayRemoved = tray.removed;
        });
        form.txtGroup[0].setText(QStringLiteral("A1"));
    }
    // Whether a save rewrote Settings.ini since the last call.
    bool saved()
    {
        const bool exists = QFile::exists(settingsPath());
        QFile::remove(settingsPath());
        return exists;
    }
    QStringList hostCalls;
    bool trayRemoved = false;
};
} // namespace

class VisibilityAndExitTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void hideAndTrayClicksFlipTheWindowTheCaptionAndTheCaret()
    {
        Program p;
        p.form.AddStatus(QStringLiteral("line"), False);
        p.form.txtStatus.setSelStart(0);
        p.form.cmdHide_Click();
        QVERIFY(!p.form.visible());
        QCOMPARE(p.form.mnuShow.Caption(), QStringLiteral("&Show"));
        QCOMPARE(p.form.txtStatus.SelStart(), p.form.txtStatus.Text().size());
        p.tray.click();
        QVERIFY(p.form.visible());
        QCOMPARE(p.form.mnuShow.Caption(), QStringLiteral("&Hide"));
        p.tray.click();
        QVERIFY(!p.form.visible());
        QCOMPARE(p.hostCalls, QStringList { QStringLiteral("front") });
    }

    void trayClickCarriesOutThePendingStartOnce()
    {
        Program p;
        p.form.txtStatus.setText(QString());
        p.form.setVisible(false);
        p.form.blnAutoStart = True;
        p.form.Timer1.setEnabled(true);
        p.tray.click();
        QVERIFY(p.form.visible() && !p.form.blnAutoStart);
        QCOMPARE(
            logLines(p.form), (QStringList { texts::startedChecking, texts::accessingWebsite }));
        p.browser.busy = false;
        p.form.Timer1_Timer();
        QCOMPARE(logLines(p.form).count(texts::startedChecking), 1);
    }

    void withoutANotificationAreaTheWindowIsMinimisedNotHidden()
    {
        Program p;
        p.tray.available = false;
        p.form.cmdHide_Click();
        QVERIFY(p.form.visible() && p.form.minimized());
        QCOMPARE(p.form.mnuShow.Caption(), QStringLiteral("&Show"));
        p.form.windowRestored();
        QVERIFY(!p.form.minimized());
        QCOMPARE(p.form.mnuShow.Caption(), QStringLiteral("&Hide"));

        // A notification area that goes away brings a hidden window back on the next tick.
        p.tray.available = true;
        p.form.cmdHide_Click();
        p.tray.available = false;
        p.form.Timer1_Timer();
        QVERIFY(p.form.visible());
        QCOMPARE(p.form.mnuShow.Caption(), QStringLiteral("&Hide"));
    }

    void closeRequestsAreRefusedAndFlipTheWindowUntilExitUnloadsIt()
    {
        Program p;
        p.form.cmdStart_Click();
        p.saved();
        QVERIFY(!p.form.requestClose());
        QVERIFY(p.saved() && !p.form.visible() && p.form.blnChecking && p.form.Timer1.Enabled());
        QVERIFY(!p.form.requestClose());
        QVERIFY(p.saved() && p.form.visible() && p.form.loaded());
        QVERIFY(p.hostCalls.isEmpty());

        p.browser.calls.clear();
        p.form.mnuExit_Click();
        QCOMPARE(p.browser.calls, QStringList { QStringLiteral("Stop") });
        QVERIFY(p.saved() && p.form.blnExiting && !p.form.loaded() && !p.form.Timer1.Enabled());
        QCOMPARE(p.hostCalls, QStringList { QStringLiteral("unloaded") });
        QVERIFY(p.trayRemoved); // the icon leaves with the window
        QVERIFY(p.form.requestClose()); // a request after the unload changes nothing
        QVERIFY(!p.saved());
        QCOMPARE(p.hostCalls.size(), 1);
    }

    void endOfSessionSavesWithoutRefusing()
    {
        Program p;
        p.form.setVisible(false);
        p.form.endSession();
        QVERIFY(QFile::exists(p.netSendPath()) && p.saved() && !p.form.loaded());
        QCOMPARE(p.hostCalls, QStringList { QStringLiteral("unloaded") });
    }
};

QTEST_GUILESS_MAIN(VisibilityAndExitTest)
#include "test_visibility_and_exit.moc"
