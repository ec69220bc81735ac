#include "fakes/fakes.h"
#include "monitor/texts.h"

#include <QFile>
#include <QTest>

using namespace gridvane;
using namespace gridvane::testing;

namespace {
struct RecordingHost : FormHost
{
    void bringToFront() override { calls << QStringLiteral("front"); }
    void formUnloaded() override { calls << QStringLiteral("unloaded"); }
    QStringList calls;
};

void ready(Harness& h)
{
    h.form.strSettingsFile = h.settingsPath();
    h.form.strNetSendFile = h.netSendPath();
    h.form.strInterval = QStringLiteral("30 seconds");
    h.form.strNetSend = texts::off;
    h.form.txtGroup[0].setText(QStringLiteral("A1"));
    h.form.txtStatus.setText(QString());
}
} // namespace

class VisibilityAndExitTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void hideAndShowFlipTheWindowAndTheCaption()
    {
        Harness h;
        ready(h);
        RecordingHost host;
        h.form.setHost(&host);
        h.form.AddStatus(QStringLiteral("line"), False);
        h.form.txtStatus.setSelStart(0);
        h.form.cmdHide_Click();
        QVERIFY(!h.form.Visible());
        QCOMPARE(h.form.mnuShow.Caption(), QStringLiteral("&Show"));
        QCOMPARE(h.form.txtStatus.SelStart(), h.form.txtStatus.Text().size());
        h.tray.click();
        QVERIFY(h.form.Visible());
        QCOMPARE(h.form.mnuShow.Caption(), QStringLiteral("&Hide"));
        QCOMPARE(host.calls, QStringList { QStringLiteral("front") });
        h.tray.click();
        QVERIFY(!h.form.Visible());
        QCOMPARE(host.calls.size(), 1);
    }

    void trayClickCarriesOutThePendingStartOnce()
    {
        Harness h;
        ready(h);
        h.form.setVisible(false);
        h.form.blnAutoStart = True;
        h.form.Timer1.setEnabled(true);
        h.tray.click();
        QVERIFY(h.form.Visible());
        QCOMPARE(h.form.blnAutoStart, False);
        QCOMPARE(
            logLines(h.form), (QStringList { texts::startedChecking, texts::accessingWebsite }));
        h.browser.busy = false;
        h.form.Timer1_Timer();
        QCOMPARE(logLines(h.form).count(texts::startedChecking), 1);
    }

    void withoutANotificationAreaTheWindowIsMinimisedNotHidden()
    {
        Harness h;
        ready(h);
        h.tray.available = false;
        h.form.cmdHide_Click();
        QVERIFY(h.form.Visible());
        QVERIFY(h.form.Minimized());
        QCOMPARE(h.form.mnuShow.Caption(), QStringLiteral("&Show"));
        h.form.windowRestored();
        QVERIFY(!h.form.Minimized());
        QCOMPARE(h.form.mnuShow.Caption(), QStringLiteral("&Hide"));

        // A notification area that goes away brings a hidden window back on the next tick.
        h.tray.available = true;
        h.form.cmdHide_Click();
        QVERIFY(!h.form.Visible());
        h.tray.available = false;
        h.form.Timer1_Timer();
        QVERIFY(h.form.Visible());
        QCOMPARE(h.form.mnuShow.Caption(), QStringLiteral("&Hide"));
    }

    void closeRequestIsRefusedSavesAndFlips()
    {
        Harness h;
        ready(h);
        RecordingHost host;
        h.form.setHost(&host);
        h.form.cmdStart_Click();
        QFile::remove(h.settingsPath());
        QVERIFY(!h.form.requestClose());
        QVERIFY(QFile::exists(h.settingsPath()));
        QVERIFY(!h.form.Visible());
        QCOMPARE(h.form.blnChecking, True);
        QVERIFY(h.form.Timer1.Enabled());
        QFile::remove(h.settingsPath());
        QVERIFY(!h.form.requestClose());
        QVERIFY(h.form.Visible());
        QVERIFY(QFile::exists(h.settingsPath()));
        QVERIFY(h.form.Loaded());
        QVERIFY(host.calls.isEmpty());
    }

    void exitStopsTheDownloadSavesOnceAndUnloads()
    {
        Harness h;
        ready(h);
        RecordingHost host;
        h.form.setHost(&host);
        h.form.cmdStart_Click();
        h.browser.calls.clear();
        QFile::remove(h.settingsPath());
        h.form.mnuExit_Click();
        QCOMPARE(h.browser.calls, QStringList { QStringLiteral("Stop") });
        QCOMPARE(h.form.blnExiting, True);
        QVERIFY(QFile::exists(h.settingsPath()));
        QVERIFY(!h.form.Loaded());
        QVERIFY(!h.form.Timer1.Enabled());
        QCOMPARE(host.calls, QStringList { QStringLiteral("unloaded") });
        // A close request after the unload changes nothing.
        QVERIFY(h.form.requestClose());
        QCOMPARE(host.calls.size(), 1);
    }

    void endOfSessionSavesWithoutRefusing()
    {
        Harness h;
        ready(h);
        RecordingHost host;
        h.form.setHost(&host);
        h.form.setVisible(false);
        h.form.endSession();
        QVERIFY(QFile::exists(h.settingsPath()));
        QVERIFY(QFile::exists(h.netSendPath()));
        QVERIFY(!h.form.Loaded());
        QCOMPARE(host.calls, QStringList { QStringLiteral("unloaded") });
    }
};

QTEST_GUILESS_MAIN(VisibilityAndExitTest)
#include "test_visibility_and_exit.moc"
