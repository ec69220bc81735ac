#include "fakes/fakes.h"
#include "fakes/loopback_server.h"
#include "monitor/texts.h"
#include "platform/linux/linux_desktop.h"
#include "platform/linux/linux_system_info.h"
#include "platform/linux/linux_tray.h"
#include "platform/linux/page_fetcher.h"
#include "platform/linux/qt_message_boxes.h"

#include <QtTest>
#include <QtWidgets>

using namespace gridvane;
using namespace gridvane::testing;

namespace {

const QByteArray h1 = "<h1>Communities Affected by Rotating Outages</h1>";
const QByteArray outagePage = "<html><head><title>Outages</title></head><body><h1>Communities "
                              "<b>Affected</b>\n  by Rotating Outages</h1><table><tr><td>Group "
                              "A123</td><td>Group B45</td></tr></table>";
const qint64 cap = 4 << 20;

ScriptedReply typed(const QByteArray& contentType, const QByteArray& body)
{
    return { .headers = "Content-Type: " + contentType + "\r\n", .body = body };
}

} // namespace

// The Linux and Qt side: the page fetcher against loopback servers, the broadcast through
// stand-ins and through the real Apprise, and the message boxes.
class TestLinuxPlatform : public QObject
{
    Q_OBJECT

    LoopbackServer server, secure, untrusted;
    QTemporaryDir dir;

private Q_SLOTS:
    void initTestCase()
    {
        server.on("/outage", htmlPage(outagePage));
        // https with certificates made here; only one is trusted, in this test only.
        QVERIFY(secure.serveTls(dir.filePath("secure.pem"))
            && untrusted.serveTls(dir.filePath("untrusted.pem")));
        secure.on("/outage", htmlPage(outagePage));
        untrusted.on("/outage", htmlPage(outagePage));
        QSslConfiguration trusting = QSslConfiguration::defaultConfiguration();
        trusting.addCaCertificates(dir.filePath("secure.pem"));
        QSslConfiguration::setDefaultConfiguration(trusting);
    }

    // What a reader finds on the page a download leaves, whatever the server did: each text
    // is there, or with a leading "!" is not.
    void leavesPageSayingWhatCameBack_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<int>("timeout"); // milliseconds
        // A path is one on the plain server; a reply is served on a path of its own.
        const auto row = [this](const char* name, const QString& url, const QStringList& texts,
                             int timeout = 5000) {
            QTest::newRow(name) << (url.startsWith('/') ? server.url(url) : url) << texts
                                << timeout;
        };
        const auto serve = [&](const char* name, const ScriptedReply& reply,
                               const QStringList& texts, int timeout = 5000) {
            server.on('/' + QByteArray(name).toHex(), reply);
            row(name, '/' + QByteArray(name).toHex(), texts, timeout);
        };
        const QString heading = texts::outageHeading, up = '!' + serverNotFoundText;
        // Case is folded, a run of white space matches any other, an empty text is never found.
        const QStringList outage { heading, "affected\t\r\n by", "group a123 group b45", "!" };
        // A failed download: the page says so and is never analysed.
        const QStringList failed { serverNotFoundText, '!' + heading, "!HTTP 404" };

        row("page", "/outage", outage);
        row("no scheme, a port, blanks around", " " + server.url("/outage").mid(7) + "\t", outage);
        // An error page says only what went wrong, in the program's words: never the server's.
        row("404", "/nowhere", { "HTTP 404 - File not found", up, "!such page" });
        serve("400, read no further than its head",
            { .status = 400, .reason = "Bad Request", .body = outagePage, .pace = Pace::headOnly },
            { "HTTP 400 - Request refused", up }, 1000);
        serve("500", htmlPage(outagePage, 500, "Internal Server Error"),
            { "HTTP 500 - Server error", "!HTTP 404", up, '!' + heading, "!A123", "!Internal" });
        row("missing file", QUrl::fromLocalFile(dir.filePath("none")).toString(),
            { "HTTP 404 - File not found", up });
        serve("visible text",
            htmlPage(
                "<title>T1</title><style>p{}</style><script>var g = 'A9';</script><p>  Group"
                "\t\tA123 &nbsp; &#160;is\r\n out<br>&amp; &lt;&eacute;t&#233;&#x2013;&quot;&gt;"
                "<div>voil&agrave;</div> A<i>12</i>3<!-- A7 --><template>A8</template>"
                "<style>.x{}</style><table><tr><td>A1<td>B2</table>"),
            { QStringLiteral("Group A123 is out & <\u00e9t\u00e9\u2013\"> voil\u00e0 A123 A1 B2"),
                "!A1B2", "!T1", "!A9", "!A7", "!A8", "!p{}", "!.x" });
        serve("plain text",
            typed("text/plain", "<b>A1</b>  and\n\nB2 \xCE\x9F\xCE\x94\xCE\x9F\xCE\xA3"),
            { QStringLiteral("<b>a1</b> and b2 \u03bf\u03b4\u03bf\u03c2") });
        // The charset: header, else byte-order mark, else <meta>, else UTF-8 if valid, else
        // windows-1252.
        const QStringList ete { QStringLiteral("\u00c9T\u00c9 \u201cgo\u201d") };
        const QByteArray utf8 = "\xC3\xA9t\xC3\xA9 \xE2\x80\x9Cgo\xE2\x80\x9D",
                         cp1252 = "\xE9t\xE9 \x93go\x94";
        serve("header over meta",
            typed("text/html;charset=\"ISO-8859-1\"", "<meta charset=utf-8>" + cp1252), ete);
        serve("UTF-16 byte-order mark", typed({}, QByteArray("\xFF\xFE\xE9\x00\xAC\x20", 6)),
            { "\u00e9\u20ac" });
        const QByteArray equiv
            = "<META HTTP-EQUIV=Content-Type CONTENT=\"text/html; charset=iso-8859-1\">";
        serve("meta http-equiv", typed({}, equiv + cp1252), ete);
        serve("unknown header charset", typed("text/html; charset=no-such-charset", utf8), ete);
        serve("UTF-8 cut inside a character", htmlPage(utf8 + "\xE2\x80"), ete);
        serve("else windows-1252", htmlPage(cp1252), ete);
        serve("NUL and invalid bytes",
            typed("text/html; charset=utf-8",
                h1 + QByteArrayLiteral("A1\0\0 \xFF\xFE \xC3( B\0002</p>\xE2\x82 C3")),
            { heading, "A1", "B2", "C3" });

        // Hostile servers. "B2" ends exactly at the cap, "C3" starts there.
        const QByteArray atCap = "A1" + QByteArray(cap - 4, ' ') + "B2C3";
        serve("inflating far past the cap",
            { .headers = "Content-Encoding: deflate\r\n",
                .body = qCompress(atCap + QByteArray(cap * 16, ' ')).mid(4) },
            { "a1 b2", "!C3" });
        serve("endless body cut at the cap", { .body = "A1 B2C3 " + atCap, .pace = Pace::endless },
            { "A1 B2C3 A1" });
        serve("one byte a second", { .body = outagePage, .pace = Pace::oneByteASecond }, failed,
            1500);
        serve("closed mid-body", { .body = outagePage + outagePage, .pace = Pace::closedMidBody },
            failed);
        serve("a megabyte of headers",
            { .headers = QByteArray("X-Filler: 1\r\n").repeated(80000), .body = outagePage },
            failed);
        server.on("/loop", { .status = 302, .headers = "Location: /loop\r\n" });
        row("redirect loop", "/loop", failed);
        serve("a million nested elements",
            htmlPage(h1 + QByteArray("<i>").repeated(1000000) + "A1</i><p>B2"),
            { heading, "A1 B2" });
        row("https", secure.url("/outage"), outage);
        row("https, untrusted", untrusted.url("/outage"), failed);
        serve("http to https",
            { 302, "Found", "Location: " + secure.url("/outage").toLatin1() + "\r\n" }, outage);
        for (const char* url : { "http://127.0.0.1:1/", "http://[::1", "gopher://127.0.0.1/" })
            row(url, url, failed);
    }
    void leavesPageSayingWhatCameBack()
    {
        QFETCH(QString, url);
        QFETCH(QStringList, texts);
        QFETCH(int, timeout);
        PageFetcher fetcher(std::chrono::milliseconds(timeout), cap);
        std::unique_ptr<TextRange> page; // null again if raised twice, or while busy
        QObject::connect(&fetcher, &Browser::DownloadComplete,
            [&] { page = page || fetcher.Busy() ? nullptr : fetcher.createRange(); });
        // Whatever the server did, the next download goes as usual.
        for (const auto& [target, expected] :
            { std::pair(url, texts), { server.url("/outage"), { texts::outageHeading } } }) {
            // Raised after Navigate returned and not much past the timeout, the fetcher busy until
            // then; the page is let go once the handler has returned.
            page.reset();
            fetcher.Navigate(target, navNoHistory);
            QVERIFY(
                !page && QTest::qWaitFor([&] { return page || !fetcher.Busy(); }, timeout + 5000));
            QVERIFY(page && !fetcher.Busy() && !fetcher.createRange());
            for (const QString& text : expected)
                QVERIFY2(text.startsWith('!') != page->findText(text.mid(text.startsWith('!'))),
                    qPrintable(text));
        }
    }

    // Stop and a new Navigate drop the download under way and raise nothing for it, also from
    // inside the handler, which may wait in a nested event loop (a modal box) meanwhile.
    void raisesOnlyTheLastDownloadWhenStoppedOrReplaced()
    {
        server.on("/held", { .held = true });
        server.on("/second", htmlPage("<p>B2"));
        server.held.clear();
        PageFetcher fetcher;
        int completions = 0;
        std::unique_ptr<TextRange> first, second;
        QEventLoop modal;
        QObject::connect(&fetcher, &Browser::DownloadComplete, [&] {
            if (++completions > 1) // inside the "modal box"
                return second = fetcher.createRange(), modal.quit();
            first = fetcher.createRange();
            fetcher.Navigate("http://[::1", navNoHistory); // failed, stopped before reported
            fetcher.Stop();
            fetcher.Navigate(server.url("/second"), navNoHistory);
            QTimer::singleShot(20000, &modal, &QEventLoop::quit); // only if the test fails
            modal.exec();
        });
        fetcher.Navigate(server.url("/held"), navNoHistory);
        QTRY_COMPARE(server.held.size(), 1);
        fetcher.Stop();
        QVERIFY(!fetcher.Busy());
        QTRY_VERIFY(!server.held[0]);
        fetcher.Navigate(server.url("/held"), navNoHistory);
        QTRY_COMPARE(server.held.size(), 2);
        fetcher.Navigate(server.url("/outage"), navNoHistory);
        QTRY_VERIFY(!server.held[1] && second);
        QVERIFY(completions == 2 && first->findText("A123") && !first->findText("B2")
            && second->findText("B2"));
    }

    // What is installed and which broadcast files exist decide whether the option is offered
    // and where the message goes: stand-ins on the search path note arguments and input.
    void broadcastGoesToWallAndThePlacesInTheFile_data()
    {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QString>("reached"); // nothing when the option is not offered
        const QString apprise = "apprise --config CONFIG/%1/gridvane/broadcast.%2"
                                " --title Gridvane Alert! --tag all -v\nGo\nnow";
        QTest::newRow("wall, and no broadcast file")
            << QStringList { "wall", "apprise" } << "wall\nGo\nnow";
        QTest::newRow("the user's file over the administrator's") << QStringList {
            "wall", "apprise", "user/gridvane/broadcast.txt", "system/gridvane/broadcast.yml"
        } << "wall\nGo\nnow" + apprise.arg("user", "txt");
        QTest::newRow("the administrator's file, without wall") << QStringList { "apprise",
            "system/gridvane/broadcast.yml" } << apprise.arg("system", "yml");
        QTest::newRow("a broadcast file without Apprise")
            << QStringList { "user/gridvane/broadcast.yml" } << "";
    }
    void broadcastGoesToWallAndThePlacesInTheFile()
    {
        QFETCH(QStringList, present);
        QFETCH(QString, reached);
        QTemporaryDir bin, config;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.filePath("user")));
        qputenv("XDG_CONFIG_DIRS",
            QFile::encodeName(config.filePath("none") + ':' + config.filePath("system")));
        for (const QString& file : present) {
            const QString made = file.contains('/') ? config.filePath(file) : bin.filePath(file);
            QVERIFY(writeFile(made,
                        "#!/bin/sh\necho \"${0##*/}\" \"$@\" >$0.part; /bin/cat >>$0.part; /bin/mv "
                        "$0.part $0.got\n")
                && QFile::setPermissions(made, QFile::ReadOwner | QFile::ExeOwner));
        }
        QCOMPARE(LinuxSystemInfo().configDirectory(), config.filePath("user/gridvane"));
        const bool offered = LinuxSystemInfo().canBroadcast();
        LinuxDesktop desktop(texts::alertTitle);
        desktop.broadcast("Go\r\nnow");
        qputenv("PATH", path);
        QTRY_VERIFY(desktop.findChildren<QProcess*>().isEmpty());
        const QByteArray got = readFile(bin.filePath("wall.got")).replace("<missing>", "")
            + readFile(bin.filePath("apprise.got")).replace("<missing>", "");
        QCOMPARE(QString(got), QString(reached).replace("CONFIG", config.path()));
        QCOMPARE(offered, !reached.isEmpty());
    }

    // Through the real Apprise, one place never answers and another gets the message meanwhile
    // from a loopback server that answers only while this program's event loop runs; Apprise
    // is killed and reaped at the deadline, and the failure goes to standard error.
    void broadcastReachesAPlaceWhileAnotherHangs()
    {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        server.on("/hang", { .held = true });
        server.on("/place", htmlPage(""));
        // Apprise's own wait for an answer, 4 s, would end it before the deadline.
        QVERIFY(writeFile(config.filePath("gridvane/broadcast.yml"),
            ("urls:\n  - " + server.url("/hang?rto=60").replace("http", "json") + "\n  - "
                + server.url("/place").replace("http", "json") + "\n")
                .toUtf8()));
        LinuxDesktop desktop(texts::alertTitle);
        desktop.setBroadcastTimeout(std::chrono::seconds(4));
        QTest::ignoreMessage(QtWarningMsg,
            QRegularExpression(
                "broadcast to the places in .* failed: Apprise did not end within 4 s"));
        const QByteArray path = qgetenv("PATH");
        QVERIFY(QFile::link("/usr/bin/apprise", config.filePath("apprise"))); // and no wall
        qputenv("PATH", QFile::encodeName(config.path()));
        desktop.broadcast("Power off;\r\nsave your work");
        qputenv("PATH", path);
        const QList<QProcess*> started = desktop.findChildren<QProcess*>();
        QVERIFY(started.size() == 1 && started[0]->program().endsWith("apprise"));
        const QString running = QString("/proc/%1").arg(started[0]->processId());
        const auto delivered = [&] {
            return std::count_if(
                server.requests.cbegin(), server.requests.cend(), [](auto& request) {
                    return request.startsWith("POST /place")
                        && request.contains("\"Power off;\\nsave your work\"");
                });
        };
        QTRY_COMPARE(delivered(), 1);
        QVERIFY(QFile::exists(running));
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(running), 10000); // reaped, or a zombie would stay
        QCOMPARE(delivered(), 1);
    }

    // The boxes' forms and answers: plain text, Return is the default button, Escape the other.
    void boxesShowTheirFormAndAnswer_data()
    {
        QTest::addColumn<bool>("alert");
        QTest::addColumn<int>("key");
        QTest::addColumn<qint16>("answer");
        QTest::addColumn<QString>("form");
        const QString alert = "Gridvane Alert!, No Yes, critical, on top, <b>A1</b>\n2";
        QTest::newRow("an error box: OK only, no icon")
            << false << int(Qt::Key_Return) << answerNo << "Gridvane, OK, no icon, <b>A1</b>\n2";
        QTest::newRow("the alert, Return: Yes")
            << true << int(Qt::Key_Return) << answerYes << alert;
        QTest::newRow("the alert, Escape: No") << true << int(Qt::Key_Escape) << answerNo << alert;
    }
    void boxesShowTheirFormAndAnswer()
    {
        QFETCH(bool, alert);
        QFETCH(int, key);
        QFETCH(qint16, answer);
        QFETCH(QString, form);
        QString shown;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box && box->textFormat() == Qt::PlainText);
            QStringList buttons;
            for (QAbstractButton* button : box->buttons())
                buttons << button->text().remove('&');
            buttons.sort(Qt::CaseInsensitive);
            shown = box->windowTitle() + ", " + buttons.join(' ') + ", "
                + (box->icon() == QMessageBox::Critical      ? "critical"
                        : box->icon() == QMessageBox::NoIcon ? "no icon"
                                                             : "?")
                + (box->windowFlags() & Qt::WindowStaysOnTopHint ? ", on top" : "") + ", "
                + box->text();
            QTest::keyClick(box, Qt::Key(key));
        });
        QCOMPARE(QtMessageBoxes().show({ alert ? "Gridvane Alert!" : "Gridvane", "<b>A1</b>\r\n2",
                     alert ? BoxButtons::YesNo : BoxButtons::Ok,
                     alert ? BoxIcon::Critical : BoxIcon::None, alert }),
            answer);
        QCOMPARE(shown, form);
    }

    // Only the primary click on the tray icon counts, once; the program's defaults stand.
    void trayIconReportsThePrimaryClickAlone()
    {
        LinuxTray tray(QIcon(), "Gridvane");
        QSignalSpy clicks(&tray, &Tray::MouseEvent);
        auto* icon = tray.findChild<QSystemTrayIcon*>();
        QVERIFY(icon && icon->toolTip() == "Gridvane");
        for (const auto reason : { QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick,
                 QSystemTrayIcon::Context, QSystemTrayIcon::MiddleClick })
            Q_EMIT icon->activated(reason);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(PageFetcher::defaultTimeout, std::chrono::seconds(60));
        QCOMPARE(PageFetcher::defaultMaxBodyBytes, 16 << 20);
    }
};

QTEST_MAIN(TestLinuxPlatform)
#include "test_linux_platform.moc"
