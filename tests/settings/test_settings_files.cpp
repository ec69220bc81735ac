#include "fakes/fakes.h"
#include "fakes/files.h"
#include "monitor/texts.h"
#include "settings/file_formats.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <unistd.h>

using namespace gridvane;
using namespace gridvane::testing;

namespace {

QByteArray records(std::initializer_list<const char*> values)
{
    QByteArray out;
    for (const char* v : values)
        out += QByteArray("\"") + v + "\"\r\n";
    return out;
}
} // namespace

class SettingsFilesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void savedFilesHoldExactlyTheRecordsAndTheUtf16Text()
    {
        Harness h;
        h.form.strSettingsFile = h.settingsPath();
        h.form.strNetSendFile = h.netSendPath();
        h.form.strInterval = QStringLiteral("5 minutes");
        h.form.strNetSend = texts::off;
        h.form.txtGroup[2].setText(QStringLiteral("A12"));
        h.form.txtGroup[5].setText(QStringLiteral("B3"));
        h.form.txtNetSend.setText(QStringLiteral("Hi\r\n\u00e9"));
        h.form.SaveSettingsFile();
        QVERIFY(h.boxes.shown.empty());
        QCOMPARE(readFile(h.settingsPath()),
            QByteArray("\"") + texts::defaultUrl.toLatin1()
                + "\"\r\n\"5 minutes\"\r\n\"off\"\r\n\"A12\"\r\n\"B3\"\r\n");
        QCOMPARE(readFile(h.netSendPath()), QByteArray("H\0i\0\r\0\n\0\xe9\0", 10));

        // Codes from boxes 2 and 5 come back in boxes 0 and 1.
        Harness next;
        next.system.configDir = h.system.configDir;
        next.form.LoadSettingsFile();
        QCOMPARE(next.form.txtGroup[0].Text(), QStringLiteral("A12"));
        QCOMPARE(next.form.txtGroup[1].Text(), QStringLiteral("B3"));
        QVERIFY(next.form.txtGroup[2].Text().isEmpty());
        QCOMPARE(next.form.strInterval, QStringLiteral("5 minutes"));
        QVERIFY(next.form.mnuInt[2].Checked());
        QVERIFY(!next.form.mnuInt[0].Checked());
        QCOMPARE(next.form.blnAutoStart, True);
    }

    void emptyMessageGivesAnEmptyFile()
    {
        Harness h;
        h.form.strSettingsFile = h.settingsPath();
        h.form.strNetSendFile = h.netSendPath();
        writeFile(h.netSendPath(), QByteArray(500, 'x'));
        h.form.txtNetSend.setText(QString());
        h.form.SaveSettingsFile();
        QCOMPARE(readFile(h.netSendPath()), QByteArray());
        h.form.txtNetSend.setText(QStringLiteral("old"));
        h.form.LoadNetSendFile();
        QVERIFY(h.form.txtNetSend.Text().isEmpty());
    }

    void netSendReadingKeepsAnOddLastByte()
    {
        QCOMPARE(decodeUtf16Le(QByteArray("A\0B", 3)), QStringLiteral("AB"));
        QCOMPARE(decodeUtf16Le(QByteArray("\x3d\xd8\x00\xde", 4)),
            QString::fromUtf8("\xf0\x9f\x98\x80"));
        Harness h;
        h.form.strNetSendFile = h.netSendPath();
        h.form.LoadNetSendFile();
        QCOMPARE(h.form.txtNetSend.Text(), texts::defaultNetSendMessage);
    }

    void missingFileAppliesTheDefaults()
    {
        Harness h;
        h.form.blnAutoStart = True;
        h.form.LoadSettingsFile();
        QCOMPARE(h.form.strSettingsFile, h.settingsPath());
        QCOMPARE(h.form.txtURL.Text(), texts::defaultUrl);
        QCOMPARE(h.form.strInterval, QStringLiteral("30 seconds"));
        QVERIFY(h.form.mnuInt[0].Checked());
        QCOMPARE(h.form.strNetSend, QStringLiteral("off"));
        QCOMPARE(h.form.chkNetSend.Value(), 0);
        QCOMPARE(h.form.blnAutoStart, False);
        QVERIFY(h.form.txtStatus.Text().isEmpty());
    }

    void loadingEdgeCases_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("interval");
        QTest::addColumn<int>("checkedEntry");
        QTest::addColumn<QString>("netSend");
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<bool>("autoStart");

        QTest::newRow("three records") << records({ "http://a.example/", "1 minute", "on" })
                                       << "1 minute" << 1 << "on" << QStringList() << false;
        QTest::newRow("empty group record") << records({ "u", "10 minutes", "off", "" })
                                            << "10 minutes" << 3 << "off" << QStringList() << true;
        QTest::newRow("interval in the wrong case")
            << records({ "u", "5 Minutes", "ON", "A1" }) << "5 Minutes" << 0 << "off"
            << QStringList { "A1" } << true;
        QTest::newRow("codes with blanks around them")
            << records({ "u", "30 minutes", "x", "  A 1 ", "B2 " }) << "30 minutes" << 4 << "off"
            << QStringList { "A 1", "B2" } << true;
        QTest::newRow("no line end on the last record")
            << QByteArray("\"u\"\r\n\"1 minute\"\r\n\"off\"\r\n\"C3\"") << "1 minute" << 1 << "off"
            << QStringList { "C3" } << true;
        QByteArray fifteen = records({ "u", "1 minute", "off" });
        QStringList fourteen;
        for (int i = 0; i < 15; ++i) {
            fifteen += "\"G" + QByteArray::number(i) + "\"\r\n";
            if (i < 14)
                fourteen << QStringLiteral("G%1").arg(i);
        }
        QTest::newRow("fifteen codes") << fifteen << "1 minute" << 1 << "off" << fourteen << true;
    }

    void loadingEdgeCases()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, interval);
        QFETCH(int, checkedEntry);
        QFETCH(QString, netSend);
        QFETCH(QStringList, codes);
        QFETCH(bool, autoStart);
        Harness h;
        writeFile(h.settingsPath(), file);
        h.form.LoadSettingsFile();
        QCOMPARE(h.form.strInterval, interval);
        for (int i = 0; i < 5; ++i)
            QCOMPARE(h.form.mnuInt[i].Checked(), i == checkedEntry);
        QCOMPARE(h.form.strNetSend, netSend);
        QCOMPARE(h.form.chkNetSend.Value(), netSend == QLatin1String("on") ? 1 : 0);
        for (int i = 0; i < 14; ++i)
            QCOMPARE(h.form.txtGroup[i].Text(), i < codes.size() ? codes[i] : QString());
        QCOMPARE(bool(h.form.blnAutoStart), autoStart);
    }

    void urlWithACommaSurvivesAndAQuoteCutsIt()
    {
        Harness h;
        h.form.strSettingsFile = h.settingsPath();
        h.form.strNetSendFile = h.netSendPath();
        h.form.txtURL.setText(QStringLiteral("http://x.example/a,b c"));
        h.form.SaveSettingsFile();
        Harness back;
        back.system.configDir = h.system.configDir;
        back.form.LoadSettingsFile();
        QCOMPARE(back.form.txtURL.Text(), QStringLiteral("http://x.example/a,b c"));
        // Reading it stopped nothing.
        QVERIFY(back.form.txtStatus.Text().isEmpty());

        h.form.txtURL.setText(QStringLiteral("http://x.example/\"q\"r"));
        h.form.SaveSettingsFile();
        Harness cut;
        cut.system.configDir = h.system.configDir;
        cut.form.LoadSettingsFile();
        QCOMPARE(cut.form.txtURL.Text(), QStringLiteral("http://x.example/"));
        QCOMPARE(cut.form.strInterval, h.form.strInterval);
    }

    void nonAsciiTextIsUtf8()
    {
        Harness h;
        h.form.strSettingsFile = h.settingsPath();
        h.form.strNetSendFile = h.netSendPath();
        h.form.txtGroup[0].setText(QStringLiteral("Gr\u00fcn \u03a9"));
        h.form.SaveSettingsFile();
        QVERIFY(readFile(h.settingsPath()).contains("\"Gr\xc3\xbcn \xce\xa9\"\r\n"));
        Harness back;
        back.system.configDir = h.system.configDir;
        back.form.LoadSettingsFile();
        QCOMPARE(back.form.txtGroup[0].Text(), QStringLiteral("Gr\u00fcn \u03a9"));
    }

    void twoRecordsFailAtTheThirdAndKeepWhatWasRead()
    {
        Harness h;
        writeFile(h.settingsPath(), records({ "http://two.example/", "1 minute" }));
        try {
            h.form.LoadSettingsFile();
            QFAIL("the third record was read");
        } catch (const TrappedError& e) {
            QCOMPARE(e.number, 62);
        }
        QCOMPARE(h.form.txtURL.Text(), QStringLiteral("http://two.example/"));
        QCOMPARE(h.form.strInterval, QStringLiteral("1 minute"));
        QVERIFY(h.form.strNetSend.isEmpty());
        QCOMPARE(h.form.chkNetSend.Value(), 0);
    }

    void failedSaveReportsAndLeavesBothFilesAsTheyWere_data()
    {
        QTest::addColumn<bool>("readOnlyFolder");
        QTest::newRow("folder cannot be written") << true;
        QTest::newRow("Settings.ini cannot be replaced") << false;
    }

    void failedSaveReportsAndLeavesBothFilesAsTheyWere()
    {
        QFETCH(bool, readOnlyFolder);
        Harness h;
        h.form.strSettingsFile = h.settingsPath();
        h.form.strNetSendFile = h.netSendPath();
        h.form.strInterval = QStringLiteral("1 minute");
        h.form.strNetSend = texts::on;
        writeFile(h.netSendPath(), "old message");
        h.form.blnChecking = True;
        h.form.Timer1.setEnabled(true);
        h.form.cmdStart.setCaption(texts::captionStop);

        const QString folder = h.system.configDir;
        if (readOnlyFolder) {
            writeFile(h.settingsPath(), "old settings");
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            // The superuser ignores permissions, but not the immutable attribute.
            if (geteuid() == 0)
                QProcess::execute(QStringLiteral("chattr"), { QStringLiteral("+i"), folder });
            if (writeFile(folder + QStringLiteral("/probe"), "x"))
                QSKIP("this file system cannot make a folder read-only");
        } else {
            // A folder in its place: no file can be renamed over it.
            QVERIFY(QDir().mkpath(h.settingsPath()));
        }
        h.form.SaveSettingsFile();
        if (readOnlyFolder && geteuid() == 0)
            QProcess::execute(QStringLiteral("chattr"), { QStringLiteral("-i"), folder });
        QFile::setPermissions(
            folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

        QCOMPARE(h.boxes.shown.size(), size_t(1));
        QCOMPARE(h.boxes.shown[0].title, QStringLiteral("Gridvane"));
        QVERIFY(h.boxes.shown[0].text.startsWith(QStringLiteral("--SaveSettingsFile--\r\n")));
        QCOMPARE(h.form.blnChecking, False);
        QVERIFY(!h.form.Timer1.Enabled());
        QCOMPARE(h.form.cmdStart.Caption(), QStringLiteral("&Stop"));
        if (readOnlyFolder)
            QCOMPARE(readFile(h.settingsPath()), QByteArray("old settings"));
        QCOMPARE(readFile(h.netSendPath()), QByteArray("old message"));
        // No temporary file is left behind.
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), readOnlyFolder ? 2 : 1);
    }
};

QTEST_GUILESS_MAIN(SettingsFilesTest)
#include "test_settings_files.moc"
