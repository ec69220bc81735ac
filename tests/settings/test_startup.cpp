#include "fakes/fakes.h"
#include "fakes/files.h"
#include "monitor/texts.h"
#include "settings/file_formats.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace gridvane;
using namespace gridvane::testing;

class StartupTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstStartShowsTheWindowWithStartDisabled()
    {
        Harness h;
        h.form.Form_Load();
        QVERIFY(h.boxes.shown.empty());
        QVERIFY(h.form.Visible());
        QVERIFY(!h.form.cmdStart.Enabled());
        QVERIFY(!h.form.Timer1.Enabled());
        QCOMPARE(h.form.blnAutoStart, False);
        QCOMPARE(h.form.txtNetSend.Text(), texts::defaultNetSendMessage);
        QVERIFY(h.form.chkNetSend.Enabled());
        QCOMPARE(h.form.strNetSendFile, h.netSendPath());
        QCOMPARE(h.form.appHelpFile, QStringLiteral("/opt/gridvane/Gridvane.hlp"));
        QVERIFY(h.form.txtStatus.Text().isEmpty());
        // Nothing is written until the first Start, Stop or close.
        QVERIFY(!QFile::exists(h.settingsPath()));
    }

    void savedCodesStartHiddenWithTheTimerArmed()
    {
        Harness h;
        writeFile(h.settingsPath(),
            encodeRecords({ texts::defaultUrl, QStringLiteral("5 minutes"), QStringLiteral("on"),
                QStringLiteral("A1") }));
        h.form.Form_Load();
        QVERIFY(!h.form.Visible());
        QVERIFY(h.form.Timer1.Enabled());
        QVERIFY(h.form.cmdStart.Enabled());
        QCOMPARE(h.form.blnAutoStart, True);
        QCOMPARE(h.form.chkNetSend.Value(), 1);
        QCOMPARE(h.form.mnuShow.Caption(), QStringLiteral("&Hide"));
        QCOMPARE(logLines(h.form), QStringList { QStringLiteral("Check interval now 5 minutes") });
        QVERIFY(h.browser.calls.isEmpty());

        // Without a notification area the window is minimised instead, never unreachable.
        Harness noTray;
        noTray.tray.available = false;
        noTray.system.configDir = h.system.configDir;
        noTray.form.Form_Load();
        QVERIFY(noTray.form.Visible());
        QVERIFY(noTray.form.Minimized());
    }

    void withoutBroadcastNetSendIsForcedOffAndDisabled()
    {
        Harness h;
        h.system.broadcast = false;
        writeFile(h.settingsPath(),
            encodeRecords({ texts::defaultUrl, QStringLiteral("1 minute"), QStringLiteral("on"),
                QStringLiteral("A1") }));
        writeFile(h.netSendPath(), encodeUtf16Le(QStringLiteral("saved message")));
        h.form.Form_Load();
        QCOMPARE(h.form.strNetSend, QStringLiteral("off"));
        QCOMPARE(h.form.chkNetSend.Value(), 0);
        QVERIFY(!h.form.chkNetSend.Enabled());
        QVERIFY(!h.form.txtNetSend.Enabled());
        QCOMPARE(h.form.txtNetSend.Text(), texts::initialNetSendText);
        h.form.SaveSettingsFile();
        QVERIFY(readFile(h.settingsPath()).contains("\"off\"\r\n"));
    }

    void settingsFileErrorEndsStartUpAtOnce()
    {
        Harness h;
        writeFile(h.settingsPath(),
            encodeRecords({ QStringLiteral("http://two.example/"), QStringLiteral("1 minute") }));
        h.system.broadcast = false;
        h.form.Form_Load();
        QCOMPARE(h.boxes.shown.size(), size_t(1));
        QCOMPARE(h.boxes.shown[0].title, QStringLiteral("Gridvane"));
        QCOMPARE(h.boxes.shown[0].text,
            QStringLiteral(
                "--Form Load--\r\nSettings.ini file Error!\r\n62 - Input past end of file"));
        QVERIFY(h.form.Visible());
        QVERIFY(h.form.cmdStart.Enabled());
        QVERIFY(!h.form.Timer1.Enabled());
        // The system was never asked: the net-send controls stay enabled.
        QVERIFY(h.form.chkNetSend.Enabled());
        QVERIFY(h.form.txtNetSend.Enabled());
        QVERIFY(h.form.appHelpFile.isEmpty());
        QCOMPARE(h.form.txtURL.Text(), QStringLiteral("http://two.example/"));
    }

    void netSendFileErrorEndsTheSecondRegion()
    {
        Harness h;
        writeFile(h.settingsPath(),
            encodeRecords({ texts::defaultUrl, QStringLiteral("1 minute"), QStringLiteral("off"),
                QStringLiteral("A1") }));
        // A NetSend.ini whose reading fails, whatever the user's rights: address 0 of a
        // process's memory is never mapped.
        QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), h.netSendPath()));
        h.form.Form_Load();
        QCOMPARE(h.boxes.shown.size(), size_t(1));
        QVERIFY(h.boxes.shown[0].text.startsWith(
            QStringLiteral("--Form Load--\r\nNetSend.ini file Error!\r\n75 - ")));
        QVERIFY(h.form.appHelpFile.isEmpty());
        QVERIFY(h.form.Visible());
        QVERIFY(!h.form.Timer1.Enabled());
    }

    void blankCodeRecordDuringLoadingLosesNoRecord()
    {
        // A hand-edited record of blanks empties its box and forces a stop, which saves,
        // while later records and NetSend.ini are still to be read.
        Harness h;
        writeFile(h.settingsPath(),
            encodeRecords({ texts::defaultUrl, QStringLiteral("1 minute"), QStringLiteral("on"),
                QStringLiteral("   "), QStringLiteral("B2"), QStringLiteral("C3") }));
        writeFile(h.netSendPath(), encodeUtf16Le(QStringLiteral("my message")));
        h.form.Form_Load();
        QVERIFY(h.boxes.shown.empty());
        QVERIFY(logLines(h.form).contains(texts::stoppedChecking));
        QCOMPARE(readFile(h.settingsPath()),
            encodeRecords({ texts::defaultUrl, QStringLiteral("1 minute"), QStringLiteral("on"),
                QStringLiteral("B2"), QStringLiteral("C3") }));
        QCOMPARE(readFile(h.netSendPath()), encodeUtf16Le(QStringLiteral("my message")));
    }
};

QTEST_GUILESS_MAIN(StartupTest)
#include "test_startup.moc"
