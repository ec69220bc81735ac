#include "fakes/loopback_server.h"
#include "monitor/texts.h"
#include "platform/linux/page_fetcher.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QSslKey>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

using namespace gridvane;
using namespace gridvane::testing;
using namespace std::chrono_literals;

namespace {

const QByteArray outagePage = "<html><head><title>Outages</title></head><body>"
                              "<h1>Communities <b>Affected</b>\n  by Rotating Outages</h1>"
                              "<table><tr><td>Group A123</td><td>Group B45</td></tr></table>"
                              "</body></html>";

// A fetcher with a handler that counts completions the way the window's handler sees them.
struct Driver
{
    explicit Driver(std::chrono::milliseconds timeout = 20s, qint64 cap = 16 * 1024 * 1024)
        : fetcher(timeout, cap)
    {
        fetcher.setDownloadCompleteHandler([this] {
            ++completions;
            range = fetcher.createRange();
            busyInHandler = fetcher.Busy();
            if (onComplete)
                onComplete();
        });
    }

    // Navigates and waits for the one completion, which must come after Navigate returned,
    // with the fetcher busy until then and idle in the handler, and the page let go after it.
    bool load(const QString& url)
    {
        const int before = completions;
        fetcher.Navigate(url, navNoHistory);
        if (completions != before || !fetcher.Busy())
            return false;
        return QTest::qWaitFor([&] { return completions > before; }, 20000)
            && completions == before + 1 && !busyInHandler && !fetcher.Busy()
            && !fetcher.createRange();
    }

    // Searches the page of the last completion.
    bool pageHas(const QString& text) { return range && range->findText(text); }

    PageFetcher fetcher;
    std::unique_ptr<TextRange> range;
    int completions = 0;
    bool busyInHandler = true;
    std::function<void()> onComplete;
};

} // namespace

class TestPageFetcher : public QObject
{
    Q_OBJECT

    LoopbackServer server, secure, untrusted;
    QTemporaryDir dir;

private Q_SLOTS:
    void initTestCase()
    {
        // The loopback server must be reached directly, whatever proxy this machine uses.
        for (const char* name :
            { "http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY" })
            qunsetenv(name);
        QVERIFY(server.isListening());
        server.on("/outage", htmlPage(outagePage));
        const QByteArray sorry = "<h1>Sorry, <i>no</i> luck</h1>";
        server.on("/error404", htmlPage(sorry, 404, "Not Found"));
        server.on("/error500", htmlPage(outagePage, 500, "Internal Server Error"));
        server.on("/br", htmlPage("<h1>Communities Affected by<br>Rotating Outages</h1>A<br>12"));
        server.on("/blocks", htmlPage("<div>Communities Affected by</div><p>Rotating Outages"));
        server.on("/old", redirectTo("/older"));
        server.on("/older", redirectTo(server.url("/outage").toLatin1()));
        server.on("/loop", redirectTo("/loop"));
        server.on("/gzip", { .body = outagePage, .gzip = true });
        server.on("/cp1252",
            { .contentType = "text/html; charset=windows-1252",
                .body = "<p>L'\xE9t\xE9 \x93Group A1\x94</p>" });
        server.on("/utf8", htmlPage("<p>L'\xC3\xA9t\xC3\xA9 \xE2\x80\x9CGroup A1\xE2\x80\x9D</p>"));
        QByteArray huge = "<html><body><p>Start A1</p>";
        while (huge.size() < 1024 * 1024)
            huge += "<p>Filler row of a long outage list</p>\n";
        server.on("/huge", htmlPage(huge + "<p>End Z9</p></body></html>"));
        server.on("/silent", { .held = true });

        // Hostile servers. With a 64 KiB cap, "B2" ends exactly at the cap, "C3" starts there.
        const QByteArray atCap = "A1" + QByteArray(64 * 1024 - 4, ' ') + "B2C3";
        server.on("/bomb",
            { .contentType = "text/plain",
                .headers = "Content-Encoding: gzip\r\n",
                .body = gzipped(atCap + QByteArray(16 << 20, ' ')) });
        server.on("/endless",
            { .contentType = "text/plain",
                .body = QByteArray("A1 B2C3 ").repeated(8192),
                .pace = Pace::endless });
        server.on("/one-byte-a-second", { .body = outagePage, .pace = Pace::oneByteASecond });
        server.on("/cut-short", { .body = outagePage + huge, .pace = Pace::closedMidBody });
        QByteArray headers;
        while (headers.size() < 1024 * 1024)
            headers
                += "X-Filler-" + QByteArray::number(headers.size()) + ": a header of no use\r\n";
        server.on("/megabyte-of-headers", { .headers = headers, .body = outagePage });
        QFile local(dir.filePath("outage.html"));
        QVERIFY(local.open(QIODevice::WriteOnly) && local.write(outagePage) > 0);
        local.close();
        server.on("/to-file", redirectTo(QUrl::fromLocalFile(local.fileName()).toEncoded()));
        server.on("/to-ftp", redirectTo(server.url("/outage").replace("http", "ftp").toLatin1()));
        server.on(
            "/to-javascript", redirectTo("javascript:'Communities Affected by Rotating Outages'"));
        const int depth = 1000000;
        server.on("/nested",
            htmlPage("<h1>Communities Affected by Rotating Outages</h1><p>Group A1</p>"
                + QByteArray("<div>").repeated(depth) + "deep"
                + QByteArray("</div>").repeated(depth) + "<p>Group B2</p>"));

        // https with certificates for 127.0.0.1 made here; only one is trusted, in this test only.
        for (LoopbackServer* tls : { &secure, &untrusted }) {
            const QString name = dir.filePath(tls == &secure ? "secure" : "untrusted");
            QCOMPARE(QProcess::execute("openssl",
                         { "req", "-x509", "-newkey", "ec", "-pkeyopt",
                             "ec_paramgen_curve:prime256v1", "-nodes", "-days", "2", "-subj",
                             "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1", "-keyout",
                             name + ".key", "-out", name + ".pem" }),
                0);
            QSslConfiguration config;
            config.setLocalCertificate(QSslCertificate::fromPath(name + ".pem").value(0));
            QFile key(name + ".key");
            QVERIFY(key.open(QIODevice::ReadOnly));
            config.setPrivateKey(QSslKey(&key, QSsl::Ec));
            tls->serveTls(config);
            tls->on("/outage", htmlPage(outagePage));
        }
        QSslConfiguration trusting = QSslConfiguration::defaultConfiguration();
        trusting.addCaCertificates(QSslCertificate::fromPath(dir.filePath("secure.pem")));
        QSslConfiguration::setDefaultConfiguration(trusting);
        secure.on("/to-http", redirectTo(server.url("/outage").toLatin1()));
        server.on("/to-https", redirectTo(secure.url("/outage").toLatin1()));

        server.on("/nul",
            { .contentType = "text/html; charset=utf-8",
                .body
                = QByteArrayLiteral("<h1>Communities Affected by Rotating Outages</h1><p>"
                                    "Group A1\0\0 \xFF\xFE \xC3( Gro\0up B2</p>\xE2\x82 C3") });
    }

    void leavesPageSayingWhatCameBack_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QStringList>("has");
        QTest::addColumn<QStringList>("lacks");
        QTest::addColumn<int>("timeout"); // milliseconds
        QTest::addColumn<qint64>("cap");

        const QString noServer = serverNotFoundText, http404 = pageNotFoundText;
        const QStringList outage { texts::outageHeading, "group a123", "B4" };
        const QStringList ete { QStringLiteral("L'\u00c9T\u00c9"), "\u201cgroup a1\u201d" };
        // A path is one on the plain server; a short timeout and a small cap only where needed.
        const auto row = [this](const char* name, const QString& url, const QStringList& has,
                             const QStringList& lacks, int timeout = 20000, qint64 cap = 16 << 20) {
            QTest::newRow(name) << (url.startsWith('/') ? server.url(url) : url) << has << lacks
                                << timeout << cap;
        };
        row("page", "/outage", outage, { "A124", "<td>", noServer, http404 });
        // An error page says only what went wrong, in the program's words: never the server's.
        row("404", "/error404", { "HTTP 404 - File not found" }, { noServer, "Sorry" });
        row("500", "/error500", { "HTTP 500 - Server error" },
            { http404, noServer, texts::outageHeading, "A123", "Internal" });
        // Any run of white space, line breaks included, is one blank on both sides.
        row("line break", "/br", { texts::outageHeading, "a 12", "affected\t\r\n by" }, {});
        row("two blocks", "/blocks", { texts::outageHeading }, {});
        row("redirects", "/old", outage, { noServer });
        row("no scheme, a port, blanks around", " " + server.url("/outage").mid(7) + "\t", outage,
            { noServer });
        row("gzip", "/gzip", outage, { noServer });
        row("windows-1252 by header", "/cp1252", ete, {});
        row("UTF-8 undeclared", "/utf8", ete, {});
        row("cut at size cap", "/huge", { "A1", "Filler row" }, { "Z9", noServer }, 20000,
            64 << 10);
        row("redirect loop", "/loop", { noServer }, { http404 });
        row("never answers", "/silent", { noServer }, { http404 }, 300);
        row("missing file", QUrl::fromLocalFile(dir.filePath("missing")).toString(),
            { "HTTP 404 - File not found" }, { noServer });
        row("gzip far past the cap", "/bomb", { "a1 b2" }, { "C3", noServer }, 5000, 64 << 10);
        row("endless", "/endless", { "A1 B2C3 A1" }, { noServer }, 5000, 64 << 10);
        row("one byte a second", "/one-byte-a-second", { noServer }, { texts::outageHeading },
            1500);
        row("closed mid-body", "/cut-short", { noServer }, { texts::outageHeading }, 5000);
        row("a megabyte of headers", "/megabyte-of-headers", { noServer }, { texts::outageHeading },
            5000);
        for (const char* path : { "/to-file", "/to-ftp", "/to-javascript" })
            row(path, path, { noServer }, { texts::outageHeading }, 5000);
        row("a million nested", "/nested", { texts::outageHeading, "Group A1", "deep", "Group B2" },
            {}, 5000);
        row("NUL and invalid bytes", "/nul", { texts::outageHeading, "Group A1", "Group B2", "C3" },
            {}, 5000);

        row("https", secure.url("/outage"), outage, { noServer });
        row("https, untrusted", untrusted.url("/outage"), { noServer }, { texts::outageHeading });
        row("http to https", "/to-https", outage, { noServer });
        row("https to http", secure.url("/to-http"), { noServer }, { texts::outageHeading });

        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        for (const QString& url : { QStringLiteral("http://127.0.0.1:%1/").arg(closed.serverPort()),
                 QStringLiteral("http://[::1"), QStringLiteral("gopher://127.0.0.1/") })
            row(qPrintable(url), url, { noServer }, { http404 });
    }
    void leavesPageSayingWhatCameBack()
    {
        QFETCH(QString, url);
        QFETCH(QStringList, has);
        QFETCH(QStringList, lacks);
        QFETCH(int, timeout);
        QFETCH(qint64, cap);

        Driver d(std::chrono::milliseconds(timeout), cap);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(d.load(url));
        QCOMPARE_LE(clock.elapsed(), timeout + 1000);
        for (const QString& text : has)
            QVERIFY2(d.pageHas(text), qPrintable(text));
        for (const QString& text : lacks)
            QVERIFY2(!d.pageHas(text), qPrintable(text));
        // Whatever the server did, the next download goes as usual.
        QVERIFY(d.load(server.url("/outage")) && d.pageHas(texts::outageHeading));
    }

    void staysBusyUntilAnswerAndRaisesNothingOnceStoppedOrReplaced()
    {
        server.on("/held", { .body = outagePage, .held = true });
        Driver d;
        // A slow server: busy, with no page yet, until it answers.
        d.fetcher.Navigate(server.url("/held"), navNoHistory);
        QTRY_COMPARE(server.heldConnections(), 1);
        QVERIFY(
            server.requests.last().contains("User-Agent: " + PageFetcher::userAgent().toLatin1()));
        QVERIFY(d.fetcher.Busy() && !d.fetcher.createRange());
        server.release();
        QTRY_COMPARE(d.completions, 1);
        QVERIFY(!d.busyInHandler && d.pageHas(texts::outageHeading));

        // Stop while the server holds its answer: the connection goes, nothing is raised.
        d.fetcher.Navigate(server.url("/held"), navNoHistory);
        QTRY_COMPARE(server.heldConnections(), 1);
        d.fetcher.Stop();
        QVERIFY(!d.fetcher.Busy());
        QTRY_COMPARE(server.heldConnections(), 0);

        // Stop drops a failed download not reported yet; Navigate drops the one under way.
        d.fetcher.Navigate(QStringLiteral("http://[::1"), navNoHistory);
        d.fetcher.Stop();
        d.fetcher.Navigate(server.url("/held"), navNoHistory);
        QTRY_COMPARE(server.heldConnections(), 1);
        QVERIFY(d.load(server.url("/nowhere")));
        QTRY_COMPARE(server.heldConnections(), 0);
        QCOMPARE(d.completions, 2);
        QVERIFY(d.pageHas(pageNotFoundText));
    }

    void handlerMayStopNavigateAndWaitInsideIt()
    {
        server.on("/first", htmlPage("<p>First A1</p>"));
        server.on("/second", htmlPage("<p>Second B2</p>"));

        Driver d;
        bool raisedDuringCalls = true, oldRangeKept = false;
        QEventLoop* modal = nullptr;
        d.onComplete = [&] {
            if (modal) // the second completion, arriving inside the "modal box"
                return modal->quit();
            const auto range = d.fetcher.createRange();
            const int seen = d.completions;
            d.fetcher.Stop();
            d.fetcher.Navigate(server.url("/second"), navNoHistory);
            raisedDuringCalls = d.completions != seen;

            QEventLoop loop;
            modal = &loop;
            QTimer::singleShot(20000, &loop, &QEventLoop::quit); // only if the test fails
            loop.exec();
            oldRangeKept = range->findText("A1") && !range->findText("B2");
        };

        d.fetcher.Navigate(server.url("/first"), navNoHistory);
        QTRY_COMPARE(d.completions, 2);
        QVERIFY(!raisedDuringCalls);
        QVERIFY(oldRangeKept);
        QVERIFY(d.pageHas("B2"));
        QVERIFY(!d.pageHas("A1"));
    }
};

QTEST_GUILESS_MAIN(TestPageFetcher)
#include "test_page_fetcher.moc"
