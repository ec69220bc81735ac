#include "fakes/loopback_server.h"
#include "monitor/texts.h"
#include "platform/linux/page_fetcher.h"

#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
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
            busyInHandler = fetcher.Busy();
            if (onComplete)
                onComplete();
        });
    }

    // Navigates and waits for the one completion, which must come after Navigate returned,
    // with the fetcher busy until then and idle in the handler.
    bool load(const QString& url)
    {
        const int before = completions;
        fetcher.Navigate(url, navNoHistory);
        if (completions != before || !fetcher.Busy())
            return false;
        return QTest::qWaitFor([&] { return completions > before; }, 20000)
            && completions == before + 1 && !busyInHandler && !fetcher.Busy();
    }

    bool pageHas(const QString& text)
    {
        const auto range = fetcher.createRange();
        return range && range->findText(text);
    }

    PageFetcher fetcher;
    int completions = 0;
    bool busyInHandler = true;
    std::function<void()> onComplete;
};

quint16 closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const quint16 port = server.serverPort();
    server.close();
    return port;
}

} // namespace

class TestPageFetcher : public QObject
{
    Q_OBJECT

    LoopbackServer server;

private Q_SLOTS:
    void initTestCase()
    {
        // The loopback server must be reached directly, whatever proxy this machine uses.
        for (const char* name :
            { "http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY" })
            qunsetenv(name);
        QVERIFY(server.isListening());
        server.on("/outage", htmlPage(outagePage));
    }

    void loadsPageAndSearchesItsVisibleText()
    {
        Driver d;
        QVERIFY(!d.fetcher.createRange());
        QVERIFY(d.load(server.url("/outage")));

        QVERIFY(d.pageHas(texts::outageHeading));
        QVERIFY(d.pageHas("group a123"));
        QVERIFY(d.pageHas("B4"));
        QVERIFY(!d.pageHas("A124"));
        QVERIFY(!d.pageHas("<td>"));
        QVERIFY(!d.pageHas(texts::serverNotFoundText));
        QVERIFY(server.requests.last().contains("User-Agent: " + texts::userAgent.toLatin1()));
    }

    void reportsHttpErrorAboveServersText_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("reason");
        QTest::addColumn<QString>("line");

        QTest::newRow("404") << 404 << QByteArray("Not Found") << "HTTP 404 - File not found";
        QTest::newRow("500") << 500 << QByteArray("Internal Server Error")
                             << "HTTP 500 - Internal Server Error";
    }
    void reportsHttpErrorAboveServersText()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, reason);
        QFETCH(QString, line);
        const QByteArray path = "/error" + QByteArray::number(status);
        server.on(path, htmlPage("<h1>Sorry, <i>no</i> luck</h1>", status, reason));

        Driver d;
        QVERIFY(d.load(server.url(path)));
        QVERIFY(d.pageHas(line + "\nSorry, no luck"));
        QCOMPARE(d.pageHas(texts::pageNotFoundText), status == 404);
        QVERIFY(!d.pageHas(texts::serverNotFoundText));
    }

    void reportsServerNotFoundWhenNoAnswerCame_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<int>("timeoutMs");

        QTest::newRow("connection refused")
            << QStringLiteral("http://127.0.0.1:%1/").arg(closedPort()) << 20000;
        QTest::newRow("unusable address") << QStringLiteral("http://[::1") << 20000;
        QTest::newRow("unsupported scheme") << QStringLiteral("gopher://127.0.0.1/") << 20000;

        server.on("/loop", redirectTo("/loop"));
        QTest::newRow("redirect loop") << server.url("/loop") << 20000;

        ScriptedReply silent;
        silent.held = true;
        server.on("/silent", silent);
        QTest::newRow("server never answers") << server.url("/silent") << 300;
    }
    void reportsServerNotFoundWhenNoAnswerCame()
    {
        QFETCH(QString, url);
        QFETCH(int, timeoutMs);

        Driver d { std::chrono::milliseconds(timeoutMs) };
        QVERIFY(d.load(url));
        QVERIFY(d.pageHas(texts::serverNotFoundText));
        QVERIFY(!d.pageHas(texts::pageNotFoundText));
    }

    void readsFilesAndReportsMissingOnesAsNotFound()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath("outage.html"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(outagePage);
        file.close();

        Driver d;
        QVERIFY(d.load(QUrl::fromLocalFile(file.fileName()).toString()));
        QVERIFY(d.pageHas(texts::outageHeading));

        QVERIFY(d.load(QUrl::fromLocalFile(dir.filePath("missing.html")).toString()));
        QVERIFY(d.pageHas("HTTP 404 - File not found"));
        QVERIFY(!d.pageHas(texts::outageHeading));
    }

    void followsRedirects()
    {
        server.on("/old", redirectTo("/older"));
        server.on("/older", redirectTo(server.url("/outage").toLatin1()));

        Driver d;
        QVERIFY(d.load(server.url("/old")));
        QVERIFY(d.pageHas(texts::outageHeading));
    }

    void inflatesGzipBody()
    {
        ScriptedReply reply = htmlPage(outagePage);
        reply.gzip = true;
        server.on("/gzip", reply);

        Driver d;
        QVERIFY(d.load(server.url("/gzip")));
        QVERIFY(server.requests.last().contains("gzip"));
        QVERIFY(d.pageHas(texts::outageHeading));
        QVERIFY(d.pageHas("A123"));
    }

    void decodesPageInItsCharset_data()
    {
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QByteArray>("body");

        const QByteArray cp1252 = "<p>L'\xE9t\xE9 \x93Group A1\x94</p>";
        QTest::newRow("windows-1252 by header")
            << QByteArray("text/html; charset=windows-1252") << cp1252;
        QTest::newRow("windows-1252 by meta")
            << QByteArray("text/html") << QByteArray("<meta charset=\"windows-1252\">" + cp1252);
        QTest::newRow("UTF-8 undeclared")
            << QByteArray("text/html")
            << QByteArray("<p>L'\xC3\xA9t\xC3\xA9 \xE2\x80\x9CGroup A1\xE2\x80\x9D</p>");
    }
    void decodesPageInItsCharset()
    {
        QFETCH(QByteArray, contentType);
        QFETCH(QByteArray, body);
        ScriptedReply reply = htmlPage(body);
        reply.contentType = contentType;
        server.on("/charset", reply);

        Driver d;
        QVERIFY(d.load(server.url("/charset")));
        QVERIFY(d.pageHas(QStringLiteral("L'\u00c9T\u00c9")));
        QVERIFY(d.pageHas(QStringLiteral("\u201cgroup a1\u201d")));
    }

    void cutsBodyAtSizeCap()
    {
        QByteArray body = "<html><body><p>Start A1</p>";
        while (body.size() < 1024 * 1024)
            body += "<p>Filler row of a long outage list</p>\n";
        server.on("/huge", htmlPage(body + "<p>End Z9</p></body></html>"));

        Driver d(20s, 64 * 1024);
        QVERIFY(d.load(server.url("/huge")));
        QVERIFY(d.pageHas("A1"));
        QVERIFY(d.pageHas("Filler row"));
        QVERIFY(!d.pageHas("Z9"));
        QVERIFY(!d.pageHas(texts::serverNotFoundText));
    }

    void staysBusyUntilSlowServerAnswers()
    {
        ScriptedReply slow = htmlPage(outagePage);
        slow.held = true;
        server.on("/slow", slow);

        Driver d;
        const qsizetype requests = server.requests.size();
        d.fetcher.Navigate(server.url("/slow"), navNoHistory);
        QTRY_COMPARE(server.requests.size(), requests + 1);
        QVERIFY(d.fetcher.Busy());
        QCOMPARE(d.completions, 0);

        server.release();
        QTRY_COMPARE(d.completions, 1);
        QVERIFY(!d.busyInHandler);
        QVERIFY(d.pageHas(texts::outageHeading));
    }

    void stoppedOrReplacedDownloadRaisesNothing()
    {
        ScriptedReply held = htmlPage("<p>Stale A7</p>");
        held.held = true;
        server.on("/held", held);

        Driver d;
        // Stop while the server holds its answer: the connection goes, nothing is raised.
        d.fetcher.Navigate(server.url("/held"), navNoHistory);
        QTRY_VERIFY(server.lastRequestWas("/held"));
        d.fetcher.Stop();
        QVERIFY(!d.fetcher.Busy());
        QTRY_COMPARE(server.heldConnections(), 0);
        server.release();

        // Start of checking: Stop, then Navigate. A download that already failed but was not
        // reported yet is dropped too; only the new download completes.
        d.fetcher.Navigate(QStringLiteral("http://[::1"), navNoHistory);
        d.fetcher.Stop();
        QVERIFY(d.load(server.url("/outage")));
        QVERIFY(d.pageHas(texts::outageHeading));
        QCOMPARE(d.completions, 1);

        // Navigate while busy drops the older download silently.
        d.fetcher.Navigate(server.url("/held"), navNoHistory);
        QTRY_VERIFY(server.lastRequestWas("/held"));
        d.fetcher.Navigate(server.url("/nowhere"), navNoHistory);
        server.release();
        QTRY_COMPARE(d.completions, 2);
        QVERIFY(d.pageHas(texts::pageNotFoundText));
        QVERIFY(!d.pageHas("A7"));
    }

    void handlerMayStopNavigateAndWaitInsideIt()
    {
        server.on("/first", htmlPage("<p>First A1</p>"));
        ScriptedReply second = htmlPage("<p>Second B2</p>");
        second.delayMs = 50;
        server.on("/second", second);

        Driver d;
        bool raisedDuringCalls = true;
        bool oldRangeKept = false;
        QEventLoop* modal = nullptr;
        d.onComplete = [&] {
            if (modal) { // the second completion, arriving inside the "modal box"
                modal->quit();
                return;
            }
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
