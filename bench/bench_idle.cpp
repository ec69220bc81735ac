// Measures the program as it runs on a desktop: the time from launch to its window, and,
// hidden in the tray between two checks, its CPU time per idle minute and its peak memory.
#include "desktop_program.h"
#include "desktop_session.h"
#include "fakes/loopback_server.h"
#include "settings/file_formats.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using namespace gridvane;
using namespace gridvane::testing;

namespace {

const QString mainTitle = QStringLiteral("^Gridvane \\(Southern Cal Edison\\) version 1\\.06$");

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    TrayDesktop desktop;
    if (!desktop.start())
        return 1;
    const int idleSeconds = argc > 1 ? atoi(argv[1]) : 120;

    // Start-up to the window: a first start, which shows the window.
    QList<qint64> startups;
    for (int run = 0; run < 7; ++run) {
        QTemporaryDir config;
        QElapsedTimer clock;
        clock.start();
        QProcess* gridvane = launch(config.path());
        const bool shown = DesktopSession::waitFor(
            [] { return !DesktopSession::visibleWindows(mainTitle).isEmpty(); }, 30000);
        const qint64 elapsed = clock.elapsed();
        end(gridvane);
        DesktopSession::waitFor([] { return DesktopSession::visibleWindows(mainTitle).isEmpty(); });
        if (!shown) {
            std::fprintf(stderr, "the window did not appear\n");
            return 1;
        }
        startups << elapsed;
    }
    std::sort(startups.begin(), startups.end());
    std::printf("start-up to the window: median %lld ms (of %lld runs, %lld..%lld)\n",
        startups[startups.size() / 2], qint64(startups.size()), startups.first(), startups.last());

    // Idle in the tray: saved codes, a check at the first tick, then thirty minutes to wait.
    LoopbackServer server;
    server.on(
        "/outages.html", htmlPage("<h2>Communities Affected by Rotating Outages</h2><p>none</p>"));
    QTemporaryDir config;
    QDir().mkpath(config.filePath(QStringLiteral("gridvane")));
    QFile settings(config.filePath(QStringLiteral("gridvane/Settings.ini")));
    settings.open(QIODevice::WriteOnly);
    settings.write(encodeRecords({ server.url(QStringLiteral("/outages.html")),
        QStringLiteral("30 minutes"), QStringLiteral("off"), QStringLiteral("Z99") }));
    settings.close();
    QProcess* gridvane = launch(config.path());
    const qint64 pid = gridvane->processId();
    QTest::qWait(35000); // through the first tick, which starts checking and downloads once
    const double before = cpuMilliseconds(pid);
    QTest::qWait(idleSeconds * 1000);
    const double after = cpuMilliseconds(pid);
    const QByteArray peak = statusField(pid, "VmHWM");
    std::printf("idle in the tray: %.2f ms CPU per minute over %d s; peak RSS %s\n",
        (after - before) * 60.0 / idleSeconds, idleSeconds, peak.constData());
    end(gridvane);
    return 0;
}
