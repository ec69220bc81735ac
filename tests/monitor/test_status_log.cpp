#include "fakes/fakes.h"
#include "monitor/texts.h"

#include <QTest>

using namespace gridvane;
using namespace gridvane::testing;

class StatusLogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void designValuesAtCreation()
    {
        Harness h;
        auto& f = h.form;
        QCOMPARE(f.intStatusCount, 0);
        QCOMPARE(f.blnChecking, False);
        QVERIFY(f.strInterval.isEmpty());
        QCOMPARE(f.txtURL.Text(), texts::defaultUrl);
        QCOMPARE(f.txtURL.Tag, texts::defaultUrl);
        QCOMPARE(f.cmdStart.Caption(), QStringLiteral("&Start"));
        QCOMPARE(f.cmdStart.BackColor(), 65280u);
        QVERIFY(f.cmdStart.Enabled());
        QVERIFY(!f.Timer1.Enabled());
        QCOMPARE(f.Timer1.Interval, 30000);
        QCOMPARE(f.mnuShow.Caption(), QStringLiteral("&Hide"));
        QVERIFY(f.mnuInt[0].Checked());
        for (int i = 1; i < 5; ++i)
            QVERIFY(!f.mnuInt[i].Checked());
        for (const auto& box : f.txtGroup) {
            QVERIFY(box.Text().isEmpty());
            QCOMPARE(box.Tag, QStringLiteral("0"));
        }
        QCOMPARE(f.txtNetSend.Text().size(), 134);
        QVERIFY(f.txtNetSend.Text().startsWith(QStringLiteral(
            "Attention!  Attention!  A rolling blackout is immient.  Save your \r\nwork!  ")));
        QVERIFY(f.txtStatus.Text().isEmpty());
    }

    void linesAreDashesMessageAndLineEnd()
    {
        Harness h;
        h.form.AddStatus(QStringLiteral("   Trying again..."), False);
        h.form.AddStatus(QString(), True);
        QCOMPARE(h.form.txtStatus.Text(), QStringLiteral("--   Trying again...\r\n--\r\n"));
        QCOMPARE(h.form.intStatusCount, 1);
        // The caret follows the newest line after every change.
        QCOMPARE(h.form.txtStatus.SelStart(), h.form.txtStatus.Text().size());
        h.form.txtStatus.setText(QString());
        QCOMPARE(h.form.txtStatus.SelStart(), 0);
    }

    void counterPast32767IsAnOverflow()
    {
        Harness h;
        h.form.intStatusCount = 32767;
        try {
            h.form.AddStatus(QStringLiteral("x"), -1);
            QFAIL("no overflow");
        } catch (const TrappedError& e) {
            QCOMPARE(e.number, 6);
        }
        // Any non-zero flag counts.
        h.form.intStatusCount = 0;
        h.form.AddStatus(QStringLiteral("y"), 1);
        QCOMPARE(h.form.intStatusCount, 1);
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
        QVERIFY(h.browser.calls.isEmpty());
        QVERIFY(!QFile::exists(h.settingsPath()));
    }

    void reportBoxesShowLabelNumberAndDescription()
    {
        Harness h;
        h.form.blnChecking = True;
        h.form.Timer1.setEnabled(true);
        h.form.cmdStart.setCaption(texts::captionStop);
        h.form.ReportError(
            texts::labelTimerEvent, { 91, QStringLiteral("Object variable not set") });
        QCOMPARE(h.form.blnChecking, False);
        QVERIFY(!h.form.Timer1.Enabled());
        QCOMPARE(h.form.cmdStart.Caption(), QStringLiteral("&Stop"));
        QCOMPARE(h.boxes.shown.size(), size_t(1));
        const auto& box = h.boxes.shown[0];
        QCOMPARE(box.title, QStringLiteral("Gridvane"));
        QCOMPARE(box.text, QStringLiteral("--Timer Event--\r\n91 - Object variable not set"));
        QVERIFY(box.buttons == BoxButtons::Ok);
        QVERIFY(box.icon == BoxIcon::None);

        // The plain form keeps the schedule and adds its detail line; an empty description
        // still ends in " - ", a negative number keeps its sign.
        h.form.Timer1.setEnabled(true);
        h.form.ReportErrorWithDetail(
            texts::labelFormLoad, texts::netSendFileError, { -5, QString() });
        QVERIFY(h.form.Timer1.Enabled());
        QCOMPARE(h.boxes.shown[1].text,
            QStringLiteral("--Form Load--\r\nNetSend.ini file Error!\r\n-5 - "));
    }
};

QTEST_GUILESS_MAIN(StatusLogTest)
#include "test_status_log.moc"
