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
// A second run of the program that reads what the first one saved.
std::unique_ptr<Harness> nextRun(const Harness& h)
{
    auto next = std::make_unique<Harness>();
    next->system.configDir = h.system.configDir;
    next->form.LoadSettingsFile();
    return next;
}
} // namespace

class SettingsFilesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void savedRecordsComeBackWithTheGapsBetweenCodesClosed()
    {
        Harness h;
        h.ready(QStringLiteral("5 minutes"));
        h.form.txtGroup[2].setText(QStringLiteral("A12"));
        h.form.txtGroup[5].setText(QStringLiteral("B3"));
        h.form.txtNetSend.setText(QStringLiteral("Hi\r\n\u00e9"));
        h.form.SaveSettingsFile();
        QCOMPARE(readFile(h.settingsPath()),
            "\"" + texts::defaultUrl.toLatin1()
                + "\"\r\n\"5 minutes\"\r\n\"off\"\r\n\"A12\"\r\n\"B3\"\r\n");
        QCOMPARE(readFile(h.netSendPath()), QByteArray("H\0i\0\r\0\n\0\xe9\0", 10));

        const auto next = nextRun(h);
        QStringList codes;
        for (const auto& box : next->form.txtGroup)
            codes << box.Text();
        QCOMPARE(codes.join(QLatin1Char(',')), QStringLiteral("A12,B3,,,,,,,,,,,,"));
        QVERIFY(next->form.mnuInt[2].Checked() && !next->form.mnuInt[0].Checked());
        QCOMPARE(next->form.blnAutoStart, True);
    }

    void netSendFileIsTheBareUtf16Text()
    {
        Harness h;
        h.ready();
        h.form.LoadNetSendFile();
        QCOMPARE(h.form.txtNetSend.Text(), texts::defaultNetSendMessage);
        // An older, longer file leaves nothing behind; an empty text gives an empty file.
        writeFile(h.netSendPath(), QByteArray(500, 'x'));
        h.form.txtNetSend.setText(QString());
        h.form.SaveSettingsFile();
        QCOMPARE(readFile(h.netSendPath()), QByteArray());
        h.form.txtNetSend.setText(QStringLiteral("old"));
        h.form.LoadNetSendFile();
        QVERIFY(h.form.txtNetSend.Text().isEmpty());
        writeFile(h.netSendPath(), QByteArray("A\0B", 3)); // an odd last byte is a code unit
        h.form.LoadNetSendFile();
        QCOMPARE(h.form.txtNetSend.Text(), QStringLiteral("AB"));
    }

    void loadingEdgeCases_data()
    {
        // A null file means there is none; savedAs, when given, is what the next save writes.
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("loaded");
        QTest::addColumn<QByteArray>("savedAs");
        const auto row = [](const char* name, const QByteArray& file, const QString& loaded,
                             const QByteArray& savedAs = {}) {
            QTest::newRow(name) << file << loaded << savedAs;
        };
        const QString u = texts::defaultUrl;
        const auto records = [](const QStringList& values) { return encodeRecords(values); };
        row("no file", {}, u + " | 30 seconds | marked 0 | off unticked | codes  | no auto");
        row("three records", records({ "http://a.example/", "1 minute", "on" }),
            "http://a.example/ | 1 minute | marked 1 | on ticked | codes  | no auto");
        row("empty group record", records({ u, "10 minutes", "off", "" }),
            u + " | 10 minutes | marked 3 | off unticked | codes  | auto");
        row("interval and switch in the wrong case", records({ u, "5 Minutes", "ON", "A1" }),
            u + " | 5 Minutes | marked 0 | off unticked | codes A1 | auto");
        row("codes with blanks around them", records({ u, "30 minutes", "x", "  A 1 ", "B2 " }),
            u + " | 30 minutes | marked 4 | off unticked | codes A 1,B2 | auto");
        QStringList fifteen { u, "1 minute", "off" };
        for (int i = 0; i < 15; ++i)
            fifteen << QStringLiteral("G%1").arg(i);
        row("fifteen codes", records(fifteen),
            u + " | 1 minute | marked 1 | off unticked | codes " + fifteen.mid(3, 14).join(',')
                + " | auto");
        // Files the program never writes: hand edits, and older programs' files.
        row("quote and comma inside a value",
            "\"http://a/\"b,c\"\r\n\"5 minutes\"\r\n\"on\"\r\n\"A1\"\r\n",
            "http://a/ | 5 minutes | marked 2 | on ticked | codes A1 | auto");
        row("second quoted field on a line", "\"http://a/\",\"x\"\r\n\"1 minute\"\r\n\"on\"\r\n",
            "http://a/ | 1 minute | marked 1 | on ticked | codes  | no auto");
        row("unquoted fields, LF line ends, no last line end", "http://a/ ,10 minutes\noff\nA1",
            "http://a/ | 10 minutes | marked 3 | off unticked | codes A1 | auto");
        row("empty file", "", "62 - Input past end of file");
        row("UTF-8 and windows-1252 lines",
            "\"http://a/\"\r\n\"1 minute\"\r\n\"off\"\r\n\"Gr\xC3\xBCn\"\r\n\"\xFC\x80\"\r\n",
            "http://a/ | 1 minute | marked 1 | off unticked | codes Gr\u00fcn,\u00fc\u20ac | auto",
            records({ "http://a/", "1 minute", "off", "Gr\u00fcn", "\u00fc\u20ac" }));
    }

    void loadingEdgeCases()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, loaded);
        QFETCH(QByteArray, savedAs);
        Harness h;
        if (!file.isNull())
            writeFile(h.settingsPath(), file);
        h.form.blnAutoStart = True;
        const auto& f = h.form;
        QString got;
        try {
            h.form.LoadSettingsFile();
            QStringList marked, codes;
            for (int i = 0; i < 5; ++i)
                if (f.mnuInt[i].Checked())
                    marked << QString::number(i);
            for (const auto& box : f.txtGroup)
                if (!box.Text().isEmpty())
                    codes << box.Text();
            got = QStringList({ f.txtURL.Text(), f.strInterval, "marked " + marked.join(','),
                                  f.strNetSend + (f.chkNetSend.Value() ? " ticked" : " unticked"),
                                  "codes " + codes.join(','), f.blnAutoStart ? "auto" : "no auto" })
                      .join(" | ");
        } catch (const TrappedError& error) {
            got = QString::number(error.number) + " - " + error.description;
        }
        QCOMPARE(got, loaded);
        QCOMPARE(f.strSettingsFile, h.settingsPath());
        QVERIFY(!f.txtStatus.Text().contains(texts::stoppedChecking));
        if (!savedAs.isEmpty()) {
            h.form.strNetSendFile = h.netSendPath();
            h.form.SaveSettingsFile();
            QCOMPARE(readFile(h.settingsPath()), savedAs);
        }
    }

    void valuesSurviveASaveUntilAQuote_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("loaded");
        QTest::newRow("comma") << "http://x.example/a,b c"
                               << "http://x.example/a,b c";
        QTest::newRow("quote") << "http://x.example/\"q\"r"
                               << "http://x.example/";
        QTest::newRow("UTF-8") << "Gr\u00fcn \u03a9"
                               << "Gr\u00fcn \u03a9";
    }

    void valuesSurviveASaveUntilAQuote()
    {
        QFETCH(QString, value);
        QFETCH(QString, loaded);
        Harness h;
        h.ready(QStringLiteral("1 minute"));
        h.form.txtURL.setText(value);
        h.form.txtGroup[0].setText(value);
        h.form.SaveSettingsFile();
        QVERIFY(readFile(h.settingsPath()).startsWith('"' + value.toUtf8() + "\"\r\n"));
        const auto next = nextRun(h);
        QCOMPARE(next->form.txtURL.Text(), loaded);
        QCOMPARE(next->form.txtGroup[0].Text(), loaded);
        QCOMPARE(next->form.strInterval, h.form.strInterval);
        QVERIFY(!next->form.txtStatus.Text().contains(texts::stoppedChecking));
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
        h.ready();
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
            QVERIFY(QDir().mkpath(h.settingsPath())); // no file can be renamed over a folder
        }
        h.form.SaveSettingsFile();
        if (readOnlyFolder && geteuid() == 0)
            QProcess::execute(QStringLiteral("chattr"), { QStringLiteral("-i"), folder });
        QFile::setPermissions(
            folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

        QCOMPARE(h.boxes.shown.size(), size_t(1));
        QCOMPARE(h.boxes.shown[0].title, QStringLiteral("Gridvane"));
        QVERIFY(h.boxes.shown[0].text.startsWith(QStringLiteral("--SaveSettingsFile--\r\n")));
        QVERIFY(!h.form.blnChecking && !h.form.Timer1.Enabled());
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
