// The chain from a real download to the alert's broadcast and opened page, with real parts:
// a loopback server, the page fetcher, the page check, the Linux desktop on the xcb platform
// (the only one that runs xdg-open) and stand-ins for wall and xdg-open.
#include "fakes/fakes.h"
#include "fakes/loopback_server.h"
#include "monitor/texts.h"
#include "platform/linux/linux_desktop.h"
#include "platform/linux/page_fetcher.h"
#include "stand_ins.h"
#include "x_session.h"

#include <QApplication>
#include <QTest>

using namespace gridvane;
using namespace gridvane::testing;

class AlertChainTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void listedCodeBroadcastsAndOpensThePage()
    {
        StandIns standIns;
        qputenv("PATH", standIns.searchPath());
        qunsetenv("BROWSER");
        qunsetenv("DEFAULT_BROWSER");

        LoopbackServer server;
        QVERIFY(server.isListening());
        server.on("/outages.html",
            htmlPage("<html><head><title>Outages</title></head><body><h1>Communities "
                     "<b>Affected</b>\n by Rotating Outages</h1><table><tr><td>Springfield</td>"
                     "<td>Group&nbsp;a12</td></tr></table></body></html>"));

        PageFetcher browser(std::chrono::seconds(20));
        FakeTray tray;
        RecordingBoxes boxes;
        boxes.answers.push_back(answerYes);
        LinuxDesktop desktop;
        SystemClock clock;
        FakeSystem system;
        QTemporaryDir config;
        system.configDir = config.path();
        frmGridvane form({ browser, tray, boxes, desktop, clock, system });

        form.Form_Load();
        const QString url = server.url(QStringLiteral("/outages.html"));
        form.txtURL.setText(url);
        form.txtGroup[0].setText(QStringLiteral("A12"));
        form.chkNetSend.setValue(1);
        const QString message = QStringLiteral(
            "Lights out at 3; save work $(touch /tmp/gridvane-ran) `id` | & > \"q\" 'x'");
        form.txtNetSend.setText(message);
        form.cmdStart_Click();

        QVERIFY2(XSession::waitFor([&] { return !standIns.openedUrls().isEmpty(); }),
            qPrintable(
                "the alert did not open the page; the log reads: " + logLines(form).join(" | ")));
        QCOMPARE(boxes.shown.size(), size_t(1));
        QVERIFY(boxes.shown[0].text.contains(
            QStringLiteral("Group A12 is on the Stage 2 alarm list!")));
        QCOMPARE(standIns.openedUrls(), url.toLocal8Bit() + '\n');
        QVERIFY2(XSession::waitFor([&] { return !standIns.wallInput().isEmpty(); }),
            "the alert did not broadcast the message");
        const QString broadcast = frmGridvane::WrapNetSendText(message).replace(
            QStringLiteral("\r\n"), QStringLiteral("\n"));
        QVERIFY(broadcast.contains(QLatin1Char('\n')));
        QCOMPARE(QString::fromUtf8(standIns.wallInput()).trimmed(), broadcast.trimmed());
        QCOMPARE(standIns.wallArgumentCount(), QByteArray("0"));
        QVERIFY(!QFile::exists(QStringLiteral("/tmp/gridvane-ran")));
        QCOMPARE(logLines(form).mid(logLines(form).size() - 2),
            (QStringList { QStringLiteral("Group A12 alert!"), texts::stoppedChecking }));
    }
};

int main(int argc, char** argv)
{
    XSession session;
    if (!session.start(false))
        return 1;
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    AlertChainTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_alert_chain.moc"
