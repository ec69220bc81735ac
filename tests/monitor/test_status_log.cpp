#include "fakes/fakes.h"
#include "monitor/texts.h"

#include <QTest>

using namespace gridvane;
using namespace gridvane::testing;

class StatusLogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void designValuesNotShownByTheWindow()
    {
        Harness h;
        QCOMPARE(h.form.Timer1.Interval, 30000);
        for (const auto& box : h.form.txtGroup)
            QVERIFY(box.Text().isEmpty() && box.Tag == QLatin1String("0"));
        QCOMPARE(h.form.txtNetSend.Text().size(), 134);
        QVERIFY(h.form.txtNetSend.Text().startsWith(QStringLiteral(
            "Attention!  Attention!  A rolling blackout is immient.  Save your \r\nwork!  ")));
    }

    void linesAreDashesMessageAndLineEndWithTheCaretBehind()
    {
        Harness h;
        h.form.AddStatus(QStringLiteral("   Trying again..."), False);
        h.form.AddStatus(QString(), 1); // any non-zero flag counts
        QCOMPARE(h.form.txtStatus.Text(), QStringLiteral("--   Trying again...\r\n--\r\n"));
        QCOMPARE(h.form.intStatusCount, 1);
        QCOMPARE(h.form.txtStatus.SelStart(), h.form.txtStatus.Text().size());
        h.form.txtStatus.setText(QString());
        QCOMPARE(h.form.txtStatus.SelStart(), 0);
    }

    void counterPast32767IsAnOverflow()
    {
        Harness h;
        h.form.intStatusCount = 32767;
        try {
            h.form.AddStatus(QStringLiteral("x"), True);
            QFAIL("no overflow");
        } catch (const TrappedError& e) {
            QCOMPARE(e.number, 6);
        }
    }

    void intervalChoiceMarksOneEntryAndRestartsTheCount()
    {
        Harness h;
        h.form.intTicks = 7;
        h.form.mnuInt_Click(3);
        QCOMPARE(h.form.strInterval, QStringLiteral("10 minutes"));
        QCOMPARE(h.form.intTicks, 0);
        for (int i = 0; i < 5; ++i)
            QCOMPARE(h.form.mnuInt[i].Checked(), i == 3);
        QCOMPARE(logLines(h.form), QStringList { QStringLiteral("Check interval now 10 minutes") });
        QCOMPARE(h.form.intStatusCount, 1);
        QVERIFY(h.browser.calls.isEmpty() && !QFile::exists(h.settingsPath()));
    }

    void reportBoxesShowLabelNumberAndDescription()
    {
        Harness h;
        h.form.blnChecking = True;
        h.form.Timer1.setEnabled(true);
        h.form.ReportError(
            texts::labelTimerEvent, { 91, QStringLiteral("Object variable not set") });
        QVERIFY(!h.form.blnChecking && !h.form.Timer1.Enabled());
        const auto& box = h.boxes.shown.at(0);
        QCOMPARE(box.title, QStringLiteral("Gridvane"));
        QCOMPARE(box.text, QStringLiteral("--Timer Event--\r\n91 - Object variable not set"));
        QVERIFY(box.buttons == BoxButtons::Ok && box.icon == BoxIcon::None);

        // The plain form keeps the schedule; an empty description still ends in " - ".
        h.form.Timer1.setEnabled(true);
        h.form.reportErrorWithDetail(
            texts::labelFormLoad, texts::netSendFileError, { -5, QString() });
        QVERIFY(h.form.Timer1.Enabled());
        QCOMPARE(h.boxes.shown.at(1).text,
            QStringLiteral("--Form Load--\r\nNetSend.ini file Error!\r\n-5 - "));
    }
};

QTEST_GUILESS_MAIN(StatusLogTest)
#include "test_status_log.moc"
