#include "fakes/fakes.h"
#include "fakes/files.h"
#include "monitor/texts.h"

#include <QFile>
#include <QTest>

using namespace gridvane;
using namespace gridvane::testing;

namespace {
const QString heading = QStringLiteral("Communities Affected by Rotating Outages");

void checkingFor(Harness& h, const QString& code, const QString& netSend)
{
    h.ready();
    h.form.strNetSend = netSend;
    h.form.txtGroup[0].setText(code);
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
        bool stoppedAndSaved = false;
        h.boxes.onShow = [&](const BoxRequest&) {
            linesWhileOpen = logLines(h.form);
            stoppedAndSaved = readFile(h.settingsPath()).contains("\"a 12\"\r\n")
                && QFile::exists(h.netSendPath()) && !h.form.blnChecking && !h.form.Timer1.Enabled()
                && h.form.cmdStart.Caption() == texts::captionStart && h.desktop.requests.isEmpty();
        };
        h.browser.complete(heading + QStringLiteral(" group A 12 listed"));

        // The code appears exactly as its box holds it.
        QCOMPARE(linesWhileOpen.mid(linesWhileOpen.size() - 2),
            (QStringList { QStringLiteral("Group a 12 alert!"), texts::stoppedChecking }));
        QVERIFY(stoppedAndSaved);
        QCOMPARE(h.form.intStatusCount, 3); // the stop line is counted, the alert line is not
        QCOMPARE(h.boxes.shown.size(), size_t(1));
        const auto& box = h.boxes.shown[0];
        QCOMPARE(box.title, QStringLiteral("Gridvane Alert!"));
        QCOMPARE(box.text,
            QStringLiteral("Attention! Attention!\r\nGroup a 12 is on the Stage 2 alarm list!\r\n"
                           "To automatically access the SCE Alert website click Yes."));
        QVERIFY(box.buttons == BoxButtons::YesNo && box.icon == BoxIcon::Critical && box.urgent);
        // Later completions are ignored until checking starts again.
        h.browser.complete(heading + QStringLiteral(" A 12"));
        QCOMPARE(h.boxes.shown.size(), size_t(1));
    }

    void broadcastFollowsTheSwitchAndYesOpensOnlyWebPages_data()
    {
        QTest::addColumn<QString>("netSend");
        QTest::addColumn<qint16>("answer");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QStringList>("calls");
        const QString page = texts::defaultUrl;
        const QString sent = QStringLiteral("broadcast Go home");
        const QString opened = QStringLiteral("open ") + page;
        const auto row = [](const char* name) -> QTestData& { return QTest::newRow(name); };
        row("on, Yes") << "on" << answerYes << "Go home" << page << QStringList { sent, opened };
        row("on, No") << "on" << answerNo << "Go home" << page << QStringList { sent };
        row("off, Yes") << "off" << answerYes << "Go home" << page << QStringList { opened };
        row("On, Yes") << "On" << answerYes << "Go home" << page << QStringList { opened };
        row("ON, No") << "ON" << answerNo << "Go home" << page << QStringList();
        row("empty message") << "on" << answerNo << "" << page
                             << QStringList { QStringLiteral("broadcast ") };
        const QString capitals = QStringLiteral("HTTPS://outages.example.org/list?g=1");
        row("web page in capitals")
            << "off" << answerYes << "" << capitals << QStringList { "open " + capitals };
        // Yes opens the address the page was fetched from, read as a browser's address bar
        // reads the box: trimmed, and http when it names no scheme, with or without a port.
        for (const char* typed :
            { " www.example.org/o.shtml\t", "localhost:8080/o", "127.0.0.1:80", "calc.exe" })
            row(typed) << "off" << answerYes << "" << typed
                       << QStringList { "open http://" + QString(typed).trimmed() };
        for (const char* url : { "/usr/bin/xterm", "file://localhost/etc/passwd", "http:///x",
                 "javascript:alert(1)", "C:\\Windows\\calc.exe" })
            row(url) << "off" << answerYes << "" << url << QStringList();
    }

    void broadcastFollowsTheSwitchAndYesOpensOnlyWebPages()
    {
        QFETCH(QString, netSend);
        QFETCH(qint16, answer);
        QFETCH(QString, message);
        QFETCH(QString, url);
        QFETCH(QStringList, calls);
        Harness h;
        h.ready();
        h.form.txtURL.setText(url);
        h.form.txtNetSend.setText(message);
        checkingFor(h, QStringLiteral("B7"), netSend);
        h.boxes.answers.push_back(answer);
        h.browser.complete(heading + QStringLiteral(" B7"));
        QCOMPARE(h.desktop.requests, calls);
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
        QTest::newRow("nine words") << "a b c d e f g h i"
                                    << "a b c d e f g\r\nh i";
        QTest::newRow("seventh blank last") << "a b c d e f g "
                                            << "a b c d e f g\r\n";
        QTest::newRow("two blanks count twice") << "a  b c d e f g"
                                                << "a  b c d e f\r\ng";
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
