// A long run in one process: a thousand checks through the real page fetcher and the window
// model's page check, against a loopback server whose page changes from check to check
// (unlisted, listed, a 404, a connection cut mid-body, a 1 MiB list). Reports resident memory,
// open file descriptors, threads and child processes along the way; then the peak an endless
// body makes.
#include "fakes/fakes.h"
#include "fakes/loopback_server.h"
#include "platform/linux/page_fetcher.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QThread>
#include <cstdio>
#include <unistd.h>

using namespace gridvane;
using namespace gridvane::testing;

namespace {

qint64 statusKilobytes(const QByteArray& name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(name + ':'))
            return line.mid(name.size() + 1).simplified().split(' ').value(0).toLongLong();
    }
    return -1;
}

qsizetype openFiles()
{
    return QDir(QStringLiteral("/proc/self/fd"))
        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
        .size();
}

int childProcesses()
{
    int children = 0;
    const QByteArray self = QByteArray::number(qint64(getpid()));
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!pid.front().isDigit() || !stat.open(QIODevice::ReadOnly))
            continue;
        // pid (name) state ppid ...: the name may hold blanks, so count from its end.
        const QByteArray line = stat.readAll();
        children += line.mid(line.lastIndexOf(')') + 2).split(' ').value(1) == self;
    }
    return children;
}

struct Sample
{
    int check;
    qint64 rss;
    qsizetype files;
    qint64 threads;
    int children;
};

Sample sample(int check)
{
    return { check, statusKilobytes("VmRSS"), openFiles(), statusKilobytes("Threads"),
        childProcesses() };
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int checks = argc > 1 ? atoi(argv[1]) : 1000;
    for (const char* name :
        { "http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY" })
        qunsetenv(name);

    const QByteArray heading = "<h1>Communities Affected by Rotating Outages</h1>";
    QByteArray list = "<html><body>" + heading + "<table>";
    for (int row = 0; list.size() < 1024 * 1024; ++row)
        list += "<tr><td>Community " + QByteArray::number(row) + "</td><td>Group A"
            + QByteArray::number(100 + row % 800) + "</td></tr>\n";
    list += "</table></body></html>";
    const QList<ScriptedReply> pages { htmlPage(heading + "<p>Group A1, Group B2</p>"),
        htmlPage(heading + "<p>Group A1, Group Z99</p>"),
        htmlPage("<p>Not here</p>", 404, "Not Found"),
        { .body = heading + QByteArray(64 * 1024, ' ') + "Group Z99", .pace = Pace::closedMidBody },
        htmlPage(list) };

    LoopbackServer server;
    QTemporaryDir dir;
    PageFetcher fetcher;
    FakeTray tray;
    RecordingBoxes boxes;
    RecordingDesktop desktop;
    SystemClock clock;
    FakeSystem system;
    system.configDir = dir.path();
    frmGridvane form({ fetcher, tray, boxes, desktop, clock, system });
    int completions = 0;
    // The model checks each page through its own connection, made first.
    QObject::connect(&fetcher, &Browser::DownloadComplete, [&] { ++completions; });
    form.strSettingsFile = dir.filePath(QStringLiteral("Settings.ini"));
    form.strNetSendFile = dir.filePath(QStringLiteral("NetSend.ini"));
    form.strInterval = QStringLiteral("30 seconds");
    form.strNetSend = QStringLiteral("off");
    form.txtURL.setText(server.url(QStringLiteral("/page")));
    form.txtGroup[0].setText(QStringLiteral("Z99"));

    QList<Sample> samples;
    QElapsedTimer elapsed;
    elapsed.start();
    for (int check = 1; check <= checks; ++check) {
        server.on("/page", pages[(check - 1) % pages.size()]);
        // A listed code stops checking, as the alert does; the next check starts it again.
        if (form.blnChecking)
            form.Timer1_Timer();
        else
            form.cmdStart_Click();
        if (!QTest::qWaitFor([&] { return completions == check; }, 60000)) {
            std::fprintf(stderr, "check %d did not complete\n", check);
            return 1;
        }
        // Let the reply and its connection go, as between two ticks.
        QTest::qWait(1);
        server.requests.clear();
        tray.tips.clear();
        boxes.shown.clear();
        if (check == 1 || check % 50 == 0)
            samples << sample(check);
    }
    const double seconds = elapsed.elapsed() / 1000.0;

    // Last, an endless body from a server on a thread of its own, which sends as fast as the
    // fetcher's side takes it, as a real one would: the download must end at the 16 MiB cap.
    const qint64 peakBefore = statusKilobytes("VmHWM");
    QThread serverThread;
    serverThread.start();
    QObject serverSide;
    serverSide.moveToThread(&serverThread);
    std::unique_ptr<LoopbackServer> endless;
    QMetaObject::invokeMethod(
        &serverSide,
        [&] {
            endless = std::make_unique<LoopbackServer>();
            endless->on("/endless",
                { .headers = "Content-Type: text/plain\r\n",
                    .body = QByteArray("A1 B2C3 ").repeated(8192),
                    .pace = Pace::endless });
        },
        Qt::BlockingQueuedConnection);
    bool cut = false;
    QObject::connect(&fetcher, &Browser::DownloadComplete, [&] {
        const auto range = fetcher.createRange();
        cut = range && range->findText(QStringLiteral("A1 B2C3")) && !fetcher.Busy();
    });
    elapsed.restart();
    fetcher.Navigate(endless->url(QStringLiteral("/endless")), navNoHistory);
    cut = QTest::qWaitFor([&] { return cut; }, 70000);
    const double endlessSeconds = elapsed.elapsed() / 1000.0;
    QTest::qWait(100);
    QMetaObject::invokeMethod(
        &serverSide, [&] { endless.reset(); }, Qt::BlockingQueuedConnection);
    serverThread.quit();
    serverThread.wait();

    std::printf("soak: %d checks in %.1f s (unlisted, listed, 404, cut mid-body, 1 MiB list in "
                "turn)\n",
        checks, seconds);
    std::printf("%6s %10s %6s %8s %9s\n", "check", "RSS kB", "fds", "threads", "children");
    for (const Sample& s : samples) {
        if (s.check == 1 || s.check == 50 || s.check % 250 == 0 || s.check == checks)
            std::printf("%6d %10lld %6lld %8lld %9d\n", s.check, s.rss, qint64(s.files), s.threads,
                s.children);
    }
    const Sample* at50 = nullptr;
    for (const Sample& s : samples)
        at50 = s.check == 50 ? &s : at50;
    bool kept = true;
    if (at50 && samples.last().check > 50) {
        const Sample& last = samples.last();
        kept = last.rss - at50->rss <= 1024 && last.files == at50->files
            && last.children == at50->children;
        std::printf("after check %d against check 50: RSS %+lld kB, fds %+lld, children %+d: %s\n",
            last.check, last.rss - at50->rss, qint64(last.files - at50->files),
            last.children - at50->children, kept ? "within bounds" : "OUT OF BOUNDS");
    }
    std::printf("an endless body: %s in %.1f s; peak RSS %lld kB (%lld kB before it), RSS "
                "afterwards %lld kB\n",
        cut ? "cut at the 16 MiB cap" : "NOT CUT", endlessSeconds, statusKilobytes("VmHWM"),
        peakBefore, statusKilobytes("VmRSS"));
    return kept && cut ? 0 : 1;
}
