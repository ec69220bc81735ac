// Measures the program's memory over a long run on a desktop: hidden in the tray, it checks an
// outage list every 30 seconds. One program per list size (650 KiB, 1 MiB, and the 16 MiB
// size cap), all at once; for each, resident memory before the first check and between
// checks (15 seconds after each), and the peak.
#include "desktop_program.h"
#include "desktop_session.h"
#include "fakes/loopback_server.h"
#include "settings/file_formats.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

using namespace gridvane;
using namespace gridvane::testing;

namespace {

// An outage list of the given size that lists other codes than the one the program watches.
QByteArray outageList(qsizetype size)
{
    const QByteArray end = "</table></body></html>";
    QByteArray list = "<html><body><h1>Communities Affected by Rotating Outages</h1><table>";
    for (int row = 0; list.size() < size; ++row)
        list += "<tr><td>Community " + QByteArray::number(row) + "</td><td>Group A"
            + QByteArray::number(100 + row % 800) + "</td></tr>\n";
    list.truncate(size - end.size());
    return list + end;
}

qint64 kilobytes(const QByteArray& field)
{
    return field.split(' ').value(0).toLongLong();
}

struct Run
{
    const char* name;
    QByteArray path;
    qsizetype size;
    QTemporaryDir config;
    QProcess* program = nullptr;
    QElapsedTimer started;
    int checks = 0; // requests the server has seen
    QElapsedTimer sinceCheck;
    qint64 before = 0; // RSS before the first check
    QList<qint64> between; // RSS between checks, after check 1, 2, ...
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    TrayDesktop desktop;
    if (!desktop.start())
        return 1;
    const int checks = argc > 1 ? atoi(argv[1]) : 20;

    LoopbackServer server;
    std::vector<std::unique_ptr<Run>> runs;
    for (const auto& [name, size] : { std::pair { "650 KiB", 650 * 1024 },
             std::pair { "1 MiB", 1024 * 1024 }, std::pair { "16 MiB (the cap)", 16 << 20 } }) {
        auto run = std::make_unique<Run>();
        run->name = name;
        run->size = size;
        run->path = "/list-" + QByteArray::number(size) + ".html";
        server.on(run->path, htmlPage(outageList(size)));
        QDir().mkpath(run->config.filePath(QStringLiteral("gridvane")));
        QFile settings(run->config.filePath(QStringLiteral("gridvane/Settings.ini")));
        settings.open(QIODevice::WriteOnly);
        settings.write(encodeRecords({ server.url(QString::fromLatin1(run->path)),
            QStringLiteral("30 seconds"), QStringLiteral("off"), QStringLiteral("Z99") }));
        settings.close();
        runs.push_back(std::move(run));
    }
    for (auto& run : runs) {
        run->program = launch(run->config.path());
        run->started.start();
    }

    // The first tick, 30 seconds after the start, starts checking; each tick after it checks.
    const auto done = [&] {
        for (const auto& run : runs) {
            if (run->between.size() < checks)
                return false;
        }
        return true;
    };
    while (!done()) {
        QTest::qWait(250);
        for (auto& run : runs) {
            const qint64 pid = run->program->processId();
            if (run->program->state() != QProcess::Running) {
                std::fprintf(stderr, "the program for %s ended\n", run->name);
                return 1;
            }
            const int seen = int(std::count_if(server.requests.cbegin(), server.requests.cend(),
                [&](const QByteArray& head) { return head.startsWith("GET " + run->path + ' '); }));
            if (seen > run->checks) {
                run->checks = seen;
                run->sinceCheck.start();
            }
            if (run->checks == 0 && run->before == 0 && run->started.elapsed() > 25000)
                run->before = kilobytes(statusField(pid, "VmRSS"));
            if (run->checks > run->between.size() && run->sinceCheck.elapsed() > 15000)
                run->between << kilobytes(statusField(pid, "VmRSS"));
        }
    }

    QList<int> columns;
    for (int check : { 1, 5, 10, checks }) {
        if (check <= checks && !columns.contains(check))
            columns << check;
    }
    std::printf("hidden in the tray, checking every 30 s: resident memory in kB\n");
    std::printf("%-17s %8s", "list", "before");
    for (int check : columns)
        std::printf(" %7s%-3d", "after ", check);
    std::printf(" %8s\n", "peak");
    for (auto& run : runs) {
        std::printf("%-17s %8lld", run->name, run->before);
        for (int check : columns)
            std::printf(" %10lld", run->between.value(check - 1));
        std::printf(" %8lld\n", kilobytes(statusField(run->program->processId(), "VmHWM")));
        end(run->program);
    }
    return 0;
}
