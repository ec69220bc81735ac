#include "fakes/fakes.h"
#include "monitor/texts.h"

#include <QTest>

using namespace gridvane;
using namespace gridvane::testing;

namespace {
const QString navigate = QStringLiteral("Navigate ") + texts::defaultUrl + QStringLiteral(" 2");
const QString started = texts::startedChecking;
const QString accessing = texts::accessingWebsite;
} // namespace

class ScheduleTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startSavesClearsTheLogAndNavigatesAndStopKeepsTheLog()
    {
        Harness h;
        h.ready(QStringLiteral("1 minute"));
        h.form.AddStatus(QStringLiteral("old"), True);
        h.form.cmdStart_Click();
        QVERIFY(QFile::exists(h.settingsPath()) && QFile::exists(h.netSendPath()));
        QCOMPARE(logLines(h.form), (QStringList { started, accessing }));
        QCOMPARE(h.form.intStatusCount, 2);
        QCOMPARE(h.browser.calls, (QStringList { QStringLiteral("Stop"), navigate }));
        QVERIFY(h.form.blnChecking && h.form.Timer1.Enabled());
        QCOMPARE(h.form.cmdStart.Caption(), QStringLiteral("&Stop"));
        QCOMPARE(h.form.cmdStart.BackColor(), 255u);

        h.browser.busy = false;
        h.form.Timer1_Timer();
        h.browser.calls.clear();
        h.form.cmdStart_Click();
        QVERIFY(!h.form.blnChecking && !h.form.Timer1.Enabled());
        QCOMPARE(h.form.cmdStart.Caption(), QStringLiteral("&Start"));
        QCOMPARE(h.form.cmdStart.BackColor(), 65280u);
        QCOMPARE(h.form.intTicks, 1);
        QCOMPARE(logLines(h.form), (QStringList { started, accessing, texts::stoppedChecking }));
        QCOMPARE(h.browser.calls, QStringList { QStringLiteral("Stop") });
    }

    void ticksFireAtTheIntervalOrReportABusyBrowser_data()
    {
        QTest::addColumn<QString>("interval");
        QTest::addColumn<bool>("autoStart");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<int>("restartAfter"); // ticks before a stop and a new start, or -1
        QTest::addColumn<QStringList>("lines");
        const QString busy = texts::stillTrying;
        const QStringList once { started, accessing, accessing };
        const QStringList twice { started, accessing, accessing, accessing };
        QTest::newRow("1 minute fires every second tick")
            << "1 minute" << false << false << 4 << -1 << twice;
        QTest::newRow("5 minutes, not before the tenth tick")
            << "5 minutes" << false << false << 9 << -1 << QStringList { started, accessing };
        QTest::newRow("5 minutes, on the tenth tick")
            << "5 minutes" << false << false << 10 << -1 << once;
        QTest::newRow("10 minutes, not before the twentieth tick")
            << "10 minutes" << false << false << 19 << -1 << QStringList { started, accessing };
        QTest::newRow("10 minutes, on the twentieth tick")
            << "10 minutes" << false << false << 20 << -1 << once;
        // A start counts afresh, whatever count the stop left.
        QTest::newRow("restart after an odd count")
            << "1 minute" << false << false << 1 << 1 << QStringList { started, accessing };
        QTest::newRow("busy at the firing")
            << "1 minute" << false << true << 2 << -1 << QStringList { started, accessing, busy };
        QTest::newRow("unknown text fires every tick")
            << "5 Minutes" << false << false << 2 << -1 << twice;
        // The first tick starts checking and fires in the same tick; later ticks only fire.
        QTest::newRow("automatic start, busy")
            << "30 seconds" << true << true << 1 << -1 << QStringList { started, accessing, busy };
        QTest::newRow("automatic start, idle") << "30 seconds" << true << false << 2 << -1 << twice;
    }

    void ticksFireAtTheIntervalOrReportABusyBrowser()
    {
        QFETCH(QString, interval);
        QFETCH(bool, autoStart);
        QFETCH(bool, busy);
        QFETCH(int, ticks);
        QFETCH(int, restartAfter);
        QFETCH(QStringList, lines);
        Harness h;
        h.ready(interval);
        h.browser.busyAfterNavigate = busy;
        h.form.blnAutoStart = autoStart;
        if (!autoStart)
            h.form.cmdStart_Click();
        for (int i = 0; i < restartAfter; ++i)
            h.form.Timer1_Timer();
        if (restartAfter >= 0) {
            h.form.cmdStart_Click();
            h.browser.calls.clear();
            h.form.cmdStart_Click();
        }
        for (int i = 0; i < ticks; ++i)
            h.form.Timer1_Timer();
        QCOMPARE(logLines(h.form), lines);
        QCOMPARE(h.browser.calls.count(navigate), int(lines.count(accessing)));
        QCOMPARE(h.form.blnAutoStart, False);
    }

    void choosingAnIntervalWhileCheckingRestartsTheCount()
    {
        Harness h;
        h.ready();
        h.form.mnuInt_Click(4);
        h.form.cmdStart_Click();
        h.browser.busy = false;
        for (int i = 0; i < 59; ++i)
            h.form.Timer1_Timer();
        h.form.mnuInt_Click(4);
        for (int i = 0; i < 59; ++i)
            h.form.Timer1_Timer();
        QCOMPARE(h.browser.calls.count(navigate), 1);
        h.form.Timer1_Timer();
        QCOMPARE(h.browser.calls.count(navigate), 2);
    }

    void logIsClearedAtTheFirstFiringAfterHundredCountedLines()
    {
        Harness h;
        h.ready();
        h.form.cmdStart_Click();
        for (int i = 0; i < 97; ++i)
            h.form.AddStatus(QStringLiteral("counted"), True);
        for (int i = 0; i < 300; ++i)
            h.form.AddStatus(QStringLiteral("uncounted"), False);
        h.form.Timer1_Timer(); // 99 counted lines: not yet
        QCOMPARE(logLines(h.form).first(), started);
        h.form.Timer1_Timer();
        QCOMPARE(logLines(h.form), (QStringList { texts::messagesCleared, texts::stillTrying }));
        QCOMPARE(h.form.intStatusCount, 2);
    }

    void failureHaltsUntilOnePressStopsAndOneStarts()
    {
        Harness h;
        h.ready();
        h.browser.busyAfterNavigate = false;
        const auto haltedThenRestarted = [&](const QString& label) {
            QVERIFY(h.boxes.shown.back().text.startsWith(label + QStringLiteral("\r\n424 - ")));
            QVERIFY(!h.form.Timer1.Enabled() && !h.form.blnChecking);
            QCOMPARE(h.form.cmdStart.Caption(), QStringLiteral("&Stop"));
            h.browser.failNavigate = false;
            h.form.cmdStart_Click();
            QCOMPARE(logLines(h.form).last(), texts::stoppedChecking);
            h.form.cmdStart_Click();
            QVERIFY(h.form.blnChecking && h.form.Timer1.Enabled());
        };
        h.browser.failNavigate = true;
        h.form.cmdStart_Click();
        haltedThenRestarted(QStringLiteral("--Start Click--"));
        h.browser.failNavigate = true;
        h.form.Timer1_Timer();
        haltedThenRestarted(QStringLiteral("--Timer Event--"));
        QCOMPARE(h.boxes.shown.size(), size_t(2));

        // An automatic start that fails does not end its tick, which then fires on its own.
        h.form.cmdStart_Click();
        h.form.blnAutoStart = True;
        h.browser.failNavigate = true;
        h.form.Timer1_Timer();
        QCOMPARE(h.boxes.shown.size(), size_t(4));
        QVERIFY(h.boxes.shown[2].text.startsWith(QStringLiteral("--Start Click--")));
        QVERIFY(h.boxes.shown[3].text.startsWith(QStringLiteral("--Timer Event--")));
    }

    void startWhoseSaveFailedStillStartsChecking()
    {
        Harness h;
        h.ready();
        // A file where the settings folder should be makes every save fail.
        QFile blocker(h.system.configDir);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        h.form.cmdStart_Click();
        QCOMPARE(h.boxes.shown.size(), size_t(1));
        QVERIFY(h.boxes.shown[0].text.startsWith(QStringLiteral("--SaveSettingsFile--\r\n75 - ")));
        QVERIFY(h.form.blnChecking && h.form.Timer1.Enabled());
    }
};

QTEST_GUILESS_MAIN(ScheduleTest)
#include "test_schedule.moc"
