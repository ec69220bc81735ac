#include "fakes/fakes.h"
#include "fakes/files.h"
#include "monitor/texts.h"
#include "settings/file_formats.h"

#include <QFile>
#include <QTest>

using namespace gridvane;
using namespace gridvane::testing;

namespace {
const QString heading = QStringLiteral("Communities Affected by Rotating Outages");

void checkingFor(Harness& h, const QString& code, const QString& netSend)
{
    h.form.strSettingsFile = h.settingsPath();
    h.form.strNetSendFile = h.netSendPath();
    h.form.strInterval = QStringLiteral("30 seconds");
    h.form.strNetSend = netSend;
    h.form.txtGroup[0].setText(code);
    h.form.cmdStart.setCaption(texts::captionStart);
    h.form.cmdStart_Click();
}
} // namespace

class AlertsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void alertStopsAndSavesBeforeTheBoxOpens()
    {
        Harness h;
        checkingFor(h, QStringLiteral("a 12"), texts::on);
        QFile::remove(h.settingsPath());
        QFile::remove(h.netSendPath());
        QStringList linesWhileOpen;
        bool filesWritten = false;
        h.boxes.onShow = [&](const BoxRequest&) {
            linesWhileOpen = logLines(h.form);
            filesWritten = readFile(h.settingsPath()).contains("\"a 12\"\r\n")
                && QFile::exists(h.netSendPath());
            QCOMPARE(h.form.blnChecking, False);
            QVERIFY(!h.form.Timer1.Enabled());
            QCOMPARE(h.form.cmdStart.Caption(), QStringLiteral("&Start"));
            QVERIFY(h.shell.calls.empty());
        };
        h.browser.complete(heading + QStringLiteral(" group A 12 listed"));

        QCOMPARE(linesWhileOpen.mid(linesWhileOpen.size() - 2),
            (QStringList { QStringLiteral("Group a 12 alert!"), texts::stoppedChecking }));
        QVERIFY(filesWritten);
        QCOMPARE(h.boxes.shown.size(), size_t(1));
        const auto& box = h.boxes.shown[0];
        QCOMPARE(box.title, QStringLiteral("Gridvane Alert!"));
        QCOMPARE(box.text,
            QStringLiteral("Attention! Attention!\r\nGroup a 12 is on the Stage 2 alarm list!\r\n"
                           "To automatically access the SCE Alert website click Yes."));
        QVERIFY(box.buttons == BoxButtons::YesNo);
        QVERIFY(box.icon == BoxIcon::Critical);
        QVERIFY(box.urgent);
        // The stop line is counted, the alert line is not.
        QCOMPARE(h.form.intStatusCount, 3);
        // Later completions are ignored until checking starts again.
        h.browser.complete(heading + QStringLiteral(" A 12"));
        QCOMPARE(h.boxes.shown.size(), size_t(1));
    }

    void answersAndTheNetSendSwitch_data()
    {
        QTest::addColumn<QString>("netSend");
        QTest::addColumn<qint16>("answer");
        QTest::addColumn<bool>("broadcast");
        QTest::addColumn<bool>("opened");
        QTest::newRow("on, Yes") << QStringLiteral("on") << answerYes << true << true;
        QTest::newRow("on, No") << QStringLiteral("on") << answerNo << true << false;
        QTest::newRow("off, Yes") << QStringLiteral("off") << answerYes << false << true;
        QTest::newRow("off, No") << QStringLiteral("off") << answerNo << false << false;
        QTest::newRow("On, Yes") << QStringLiteral("On") << answerYes << false << true;
        QTest::newRow("ON, No") << QStringLiteral("ON") << answerNo << false << false;
    }

    void answersAndTheNetSendSwitch()
    {
        QFETCH(QString, netSend);
        QFETCH(qint16, answer);
        QFETCH(bool, broadcast);
        QFETCH(bool, opened);
        Harness h;
        checkingFor(h, QStringLiteral("B7"), netSend);
        h.form.txtNetSend.setText(QStringLiteral("Go home"));
        h.boxes.answers.push_back(answer);
        h.browser.complete(heading + QStringLiteral(" B7"));

        std::vector<RecordingShell::Call> expected;
        if (broadcast)
            expected.push_back({ QStringLiteral("Net.exe"), QStringLiteral(" Send * Go home") });
        if (opened)
            expected.push_back({ texts::defaultUrl, QString() });
        QCOMPARE(h.shell.calls.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            QCOMPARE(h.shell.calls[i].file, expected[i].file);
            QCOMPARE(h.shell.calls[i].parameters, expected[i].parameters);
        }
    }

    void emptyMessageStillBroadcasts()
    {
        Harness h;
        checkingFor(h, QStringLiteral("B7"), texts::on);
        h.form.txtNetSend.setText(QString());
        h.browser.complete(heading + QStringLiteral(" B7"));
        QCOMPARE(h.shell.calls.size(), size_t(1));
        QCOMPARE(h.shell.calls[0].parameters, QStringLiteral(" Send * "));
    }

    void onlyWebPagesAreOpened_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("opened");
        QTest::newRow("https") << QStringLiteral("https://outages.example.org/list?g=1") << true;
        QTest::newRow("HTTP capitals") << QStringLiteral("HTTP://outages.example.org/") << true;
        QTest::newRow("program") << QStringLiteral("/usr/bin/xterm") << false;
        QTest::newRow("file") << QStringLiteral("file:///etc/passwd") << false;
        QTest::newRow("command") << QStringLiteral("calc.exe") << false;
        QTest::newRow("no host") << QStringLiteral("http:///x") << false;
        QTest::newRow("javascript") << QStringLiteral("javascript:alert(1)") << false;
    }

    void onlyWebPagesAreOpened()
    {
        QFETCH(QString, url);
        QFETCH(bool, opened);
        Harness h;
        checkingFor(h, QStringLiteral("C3"), texts::off);
        h.form.txtURL.setText(url);
        h.form.cmdStart_Click();
        h.boxes.answers.push_back(answerYes);
        h.browser.complete(heading + QStringLiteral(" C3"));
        QCOMPARE(h.boxes.shown.size(), size_t(1));
        QCOMPARE(h.shell.calls.size(), size_t(opened ? 1 : 0));
        if (opened)
            QCOMPARE(h.shell.calls[0].file, url);
    }

    void wrappingTurnsEverySeventhBlankIntoALineBreak_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("wrapped");
        QTest::newRow("default message")
            << texts::defaultNetSendMessage
            << QStringLiteral("Attention! Attention! A rolling blackout is imminent.\r\n"
                              "Save your\r\nwork! Please see your system administrator\r\n"
                              "for further details.");
        QTest::newRow("nine words")
            << QStringLiteral("a b c d e f g h i") << QStringLiteral("a b c d e f g\r\nh i");
        QTest::newRow("seventh blank last")
            << QStringLiteral("a b c d e f g ") << QStringLiteral("a b c d e f g\r\n");
        QTest::newRow("two blanks count twice")
            << QStringLiteral("a  b c d e f g") << QStringLiteral("a  b c d e f\r\ng");
        QTest::newRow("empty") << QString() << QString();
    }

    void wrappingTurnsEverySeventhBlankIntoALineBreak()
    {
        QFETCH(QString, text);
        QFETCH(QString, wrapped);
        QCOMPARE(frmGridvane::WrapNetSendText(text), wrapped);
    }
};

QTEST_GUILESS_MAIN(AlertsTest)
#include "test_alerts.moc"
