#include "fakes/fakes.h"
#include "fakes/files.h"
#include "monitor/texts.h"
#include "settings/file_formats.h"

#include <QFile>
#include <QTest>

using namespace gridvane;
using namespace gridvane::testing;

namespace {
void saved(Harness& h, const QString& netSend, const QStringList& codes)
{
    writeFile(h.settingsPath(),
        encodeRecords(
            QStringList { texts::defaultUrl, QStringLiteral("5 minutes"), netSend } + codes));
}
} // namespace

class StartupTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstStartShowsTheWindowWithStartDisabled()
    {
        Harness h;
        h.form.Form_Load();
        QVERIFY(h.boxes.shown.empty() && h.form.visible() && h.form.chkNetSend.Enabled());
        QVERIFY(!h.form.cmdStart.Enabled() && !h.form.Timer1.Enabled());
        QCOMPARE(h.form.txtNetSend.Text(), texts::defaultNetSendMessage);
        QCOMPARE(h.form.strNetSendFile, h.netSendPath());
        QCOMPARE(h.form.appHelpFile, QStringLiteral("/opt/gridvane/Gridvane.hlp"));
        QVERIFY(h.form.txtStatus.Text().isEmpty());
        QVERIFY(!QFile::exists(h.settingsPath())); // nothing is written before the first save
    }

    void savedCodesStartHiddenWithTheTimerArmedOrMinimisedWithoutATray()
    {
        for (const bool tray : { true, false }) {
            Harness h;
            h.tray.available = tray;
            saved(h, QStringLiteral("on"), { QStringLiteral("A1") });
            h.form.Form_Load();
            QCOMPARE(h.form.visible(), !tray);
            QCOMPARE(h.form.minimized(), !tray); // never out of the user's reach
            QVERIFY(h.form.Timer1.Enabled() && h.form.cmdStart.Enabled() && h.form.blnAutoStart);
            QCOMPARE(h.form.chkNetSend.Value(), 1);
            QCOMPARE(h.form.mnuShow.Caption(), QStringLiteral("&Hide"));
            QCOMPARE(
                logLines(h.form), QStringList { QStringLiteral("Check interval now 5 minutes") });
            QVERIFY(h.browser.calls.isEmpty());
        }
    }

    void withoutBroadcastNetSendIsForcedOffAndDisabled()
    {
        Harness h;
        h.system.broadcast = false;
        saved(h, QStringLiteral("on"), { QStringLiteral("A1") });
        writeFile(h.netSendPath(), encodeUtf16Le(QStringLiteral("saved message")));
        h.form.Form_Load();
        QCOMPARE(h.form.chkNetSend.Value(), 0);
        QVERIFY(!h.form.chkNetSend.Enabled() && !h.form.txtNetSend.Enabled());
        QCOMPARE(h.form.txtNetSend.Text(), texts::initialNetSendText);
        h.form.SaveSettingsFile();
        QVERIFY(readFile(h.settingsPath()).contains("\"5 minutes\"\r\n\"off\"\r\n"));
        QCOMPARE(readFile(h.netSendPath()), encodeUtf16Le(texts::initialNetSendText));
    }

    void settingsFileOfTwoRecordsEndsStartUpKeepingWhatWasRead()
    {
        Harness h;
        h.system.broadcast = false;
        writeFile(h.settingsPath(),
            encodeRecords({ QStringLiteral("http://two.example/"), QStringLiteral("1 minute") }));
        h.form.Form_Load();
        QCOMPARE(h.boxes.shown.size(), size_t(1));
        QCOMPARE(h.boxes.shown[0].title, QStringLiteral("Gridvane"));
        QCOMPARE(h.boxes.shown[0].text,
            QStringLiteral(
                "--Form Load--\r\nSettings.ini file Error!\r\n62 - Input past end of file"));
        QCOMPARE(h.form.txtURL.Text(), QStringLiteral("http://two.example/"));
        QCOMPARE(h.form.strInterval, QStringLiteral("1 minute"));
        QVERIFY(h.form.strNetSend.isEmpty() && h.form.chkNetSend.Value() == 0);
        QVERIFY(h.form.visible() && h.form.cmdStart.Enabled() && !h.form.Timer1.Enabled());
        // The system was never asked: the net-send controls stay enabled.
        QVERIFY(h.form.chkNetSend.Enabled() && h.form.txtNetSend.Enabled());
        QVERIFY(h.form.appHelpFile.isEmpty());
    }

    void netSendFileErrorEndsTheSecondRegion()
    {
        Harness h;
        saved(h, QStringLiteral("off"), { QStringLiteral("A1") });
        // A NetSend.ini whose reading fails, whatever the user's rights: address 0 of a
        // process's memory is never mapped.
        QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), h.netSendPath()));
        h.form.Form_Load();
        QCOMPARE(h.boxes.shown.size(), size_t(1));
        QVERIFY(h.boxes.shown[0].text.startsWith(
            QStringLiteral("--Form Load--\r\nNetSend.ini file Error!\r\n75 - ")));
        QVERIFY(h.form.appHelpFile.isEmpty() && h.form.visible() && !h.form.Timer1.Enabled());
    }

    void blankCodeRecordDuringLoadingLosesNoRecord()
    {
        // A hand-edited record of blanks empties its box and forces a stop, which saves,
        // while later records and NetSend.ini are still to be read.
        Harness h;
        saved(h, QStringLiteral("on"),
            { QStringLiteral("   "), QStringLiteral("B2"), QStringLiteral("C3") });
        writeFile(h.netSendPath(), encodeUtf16Le(QStringLiteral("my message")));
        h.form.Form_Load();
        QVERIFY(h.boxes.shown.empty());
        QVERIFY(logLines(h.form).contains(texts::stoppedChecking));
        QCOMPARE(readFile(h.settingsPath()),
            encodeRecords({ texts::defaultUrl, QStringLiteral("5 minutes"), QStringLiteral("on"),
                QStringLiteral("B2"), QStringLiteral("C3") }));
        QCOMPARE(readFile(h.netSendPath()), encodeUtf16Le(QStringLiteral("my message")));
    }
};

QTEST_GUILESS_MAIN(StartupTest)
#include "test_startup.moc"
