#include "fakes/fakes.h"
#include "monitor/texts.h"

#include <QTest>

using namespace gridvane;
using namespace gridvane::testing;

namespace {
const QString navigate = QStringLiteral("Navigate ") + texts::defaultUrl + QStringLiteral(" 2");

void prepare(Harness& h, const QString& interval = QStringLiteral("30 seconds"))
{
    h.form.strSettingsFile = h.settingsPath();
    h.form.strNetSendFile = h.netSendPath();
    h.form.strInterval = interval;
    h.form.strNetSend = texts::off;
}
} // namespace

class ScheduleTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void manualStartSavesClearsTheLogAndNavigatesAtOnce()
    {
        Harness h;
        prepare(h);
        h.form.AddStatus(QStringLiteral("old"), True);
        h.form.cmdStart_Click();
        QVERIFY(QFile::exists(h.settingsPath()));
        QVERIFY(QFile::exists(h.netSendPath()));
        QCOMPARE(
            logLines(h.form), (QStringList { texts::startedChecking, texts::accessingWebsite }));
        QCOMPARE(h.form.intStatusCount, 2);
        QCOMPARE(h.browser.calls, (QStringList { QStringLiteral("Stop"), navigate }));
        QCOMPARE(h.form.blnChecking, True);
        QVERIFY(h.form.Timer1.Enabled());
        QCOMPARE(h.form.cmdStart.Caption(), QStringLiteral("&Stop"));
        QCOMPARE(h.form.cmdStart.BackColor(), 255u);
    }

    void stopKeepsTheLogAndTheCount()
    {
        Harness h;
        prepare(h, QStringLiteral("1 minute"));
        h.form.cmdStart_Click();
        h.browser.busy = false;
        h.form.Timer1_Timer();
        QCOMPARE(h.form.intTicks, 1);
        h.form.cmdStart_Click();
        QCOMPARE(h.form.blnChecking, False);
        QVERIFY(!h.form.Timer1.Enabled());
        QCOMPARE(h.form.cmdStart.Caption(), QStringLiteral("&Start"));
        QCOMPARE(h.form.cmdStart.BackColor(), 65280u);
        QCOMPARE(h.form.intTicks, 1);
        QCOMPARE(logLines(h.form).last(), texts::stoppedChecking);
        QCOMPARE(logLines(h.form).size(), 3);
        QCOMPARE(h.browser.calls.last(), QStringLiteral("Stop"));
    }

    void automaticStartOnTheFirstTickFiresInTheSameTick()
    {
        Harness h;
        prepare(h);
        h.form.blnAutoStart = True;
        h.form.Timer1.setEnabled(true);
        h.form.Timer1_Timer();
        QCOMPARE(h.form.blnAutoStart, False);
        // The start navigated and left the browser busy, so the firing reports it.
        QCOMPARE(logLines(h.form),
            (QStringList { texts::startedChecking, texts::accessingWebsite, texts::stillTrying }));
        QCOMPARE(h.browser.calls.count(navigate), 1);

        Harness idle;
        prepare(idle);
        idle.browser.busyAfterNavigate = false;
        idle.form.blnAutoStart = True;
        idle.form.Timer1.setEnabled(true);
        idle.form.Timer1_Timer();
        QCOMPARE(idle.browser.calls.count(navigate), 2);
        QCOMPARE(logLines(idle.form),
            (QStringList {
                texts::startedChecking, texts::accessingWebsite, texts::accessingWebsite }));
        QCOMPARE(idle.form.intTicks, 0);
        // The next tick does not start again.
        idle.form.Timer1_Timer();
        QVERIFY(!logLines(idle.form).contains(texts::stoppedChecking));
        QCOMPARE(logLines(idle.form).count(texts::startedChecking), 1);
    }

    void ticksFireAtTheIntervalOrReportABusyBrowser_data()
    {
        QTest::addColumn<QString>("interval");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<int>("navigations");
        QTest::addColumn<QString>("lastLine");
        QTest::newRow("1 minute, first tick")
            << "1 minute" << 1 << false << 1 << texts::accessingWebsite;
        QTest::newRow("1 minute, second tick")
            << "1 minute" << 2 << false << 2 << texts::accessingWebsite;
        QTest::newRow("busy at the firing") << "1 minute" << 2 << true << 1 << texts::stillTrying;
        QTest::newRow("unknown text, every tick")
            << "5 Minutes" << 3 << false << 4 << texts::accessingWebsite;
    }

    void ticksFireAtTheIntervalOrReportABusyBrowser()
    {
        QFETCH(QString, interval);
        QFETCH(int, ticks);
        QFETCH(bool, busy);
        QFETCH(int, navigations);
        QFETCH(QString, lastLine);
        Harness h;
        prepare(h, interval);
        h.browser.busyAfterNavigate = busy;
        h.form.cmdStart_Click();
        for (int i = 0; i < ticks; ++i)
            h.form.Timer1_Timer();
        QCOMPARE(h.browser.calls.count(navigate), navigations);
        QCOMPARE(logLines(h.form).last(), lastLine);
        QCOMPARE(h.form.intTicks, navigations == 1 && !busy ? 1 : 0);
        QVERIFY(h.form.mnuInt[0].Checked());
    }

    void choosingAnIntervalWhileCheckingRestartsTheCount()
    {
        Harness h;
        prepare(h);
        h.form.mnuInt_Click(4);
        h.form.cmdStart_Click();
        h.browser.busy = false;
        for (int i = 0; i < 59; ++i)
            h.form.Timer1_Timer();
        QCOMPARE(h.form.intTicks, 59);
        h.form.mnuInt_Click(4);
        QCOMPARE(logLines(h.form).last(), QStringLiteral("Check interval now 30 minutes"));
        for (int i = 0; i < 59; ++i)
            h.form.Timer1_Timer();
        QCOMPARE(h.browser.calls.count(navigate), 1);
        h.form.Timer1_Timer();
        QCOMPARE(h.browser.calls.count(navigate), 2);
    }

    void logIsClearedAtTheFirstFiringAfterHundredCountedLines()
    {
        Harness h;
        prepare(h);
        h.form.cmdStart_Click();
        for (int i = 0; i < 97; ++i)
            h.form.AddStatus(QStringLiteral("counted"), True);
        for (int i = 0; i < 300; ++i)
            h.form.AddStatus(QStringLiteral("uncounted"), False);
        QCOMPARE(h.form.intStatusCount, 99);
        h.form.Timer1_Timer(); // 99: not yet
        QCOMPARE(h.form.intStatusCount, 100);
        QCOMPARE(logLines(h.form).first(), texts::startedChecking);
        h.form.Timer1_Timer();
        QCOMPARE(logLines(h.form), (QStringList { texts::messagesCleared, texts::stillTrying }));
        QCOMPARE(h.form.intStatusCount, 2);
    }

    void haltedStateNeedsOnePressToStopAndOneToStart()
    {
        Harness h;
        prepare(h);
        h.form.cmdStart_Click();
        h.browser.busy = false;
        h.browser.failNavigate = true;
        h.form.Timer1_Timer();
        QCOMPARE(h.boxes.shown.size(), size_t(1));
        QVERIFY(h.boxes.shown[0].text.startsWith(QStringLiteral("--Timer Event--\r\n424 - ")));
        QVERIFY(!h.form.Timer1.Enabled());
        QCOMPARE(h.form.blnChecking, False);
        QCOMPARE(h.form.cmdStart.Caption(), QStringLiteral("&Stop"));
        QCOMPARE(h.form.cmdStart.BackColor(), 255u);

        h.browser.failNavigate = false;
        h.form.cmdStart_Click();
        QCOMPARE(logLines(h.form).last(), texts::stoppedChecking);
        QCOMPARE(h.form.cmdStart.Caption(), QStringLiteral("&Start"));
        h.form.cmdStart_Click();
        QCOMPARE(h.form.cmdStart.Caption(), QStringLiteral("&Stop"));
        QVERIFY(h.form.Timer1.Enabled());
    }

    void failedStartIsReportedAndTheButtonKeepsWhatItReached()
    {
        Harness h;
        prepare(h);
        h.browser.failNavigate = true;
        h.form.cmdStart_Click();
        QCOMPARE(h.boxes.shown.size(), size_t(1));
        QVERIFY(h.boxes.shown[0].text.startsWith(QStringLiteral("--Start Click--\r\n424 - ")));
        QCOMPARE(h.form.cmdStart.Caption(), QStringLiteral("&Stop"));
        QCOMPARE(h.form.blnChecking, False);
        QVERIFY(!h.form.Timer1.Enabled());
    }

    void startWhoseSaveFailedStillStartsChecking()
    {
        Harness h;
        prepare(h);
        // A file where the settings folder should be makes every save fail.
        QFile blocker(h.system.configDir);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        h.form.cmdStart_Click();
        QCOMPARE(h.boxes.shown.size(), size_t(1));
        QVERIFY(h.boxes.shown[0].text.startsWith(QStringLiteral("--SaveSettingsFile--\r\n75 - ")));
        QCOMPARE(h.form.blnChecking, True);
        QVERIFY(h.form.Timer1.Enabled());
        QCOMPARE(h.form.cmdStart.Caption(), QStringLiteral("&Stop"));
    }
};

QTEST_GUILESS_MAIN(ScheduleTest)
#include "test_schedule.moc"
