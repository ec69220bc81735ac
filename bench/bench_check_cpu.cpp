// The CPU time of one check, side by side with urlwatch on the same page: the program hidden in
// the tray checks a 647 KiB outage list every 30 seconds; urlwatch runs once per check, as cron
// would start it, with its html2text filter and a grep for the code. Usage:
//   bench_check_cpu [checks] [other gridvane]   (default 6; the other program is measured too)
#include "desktop_program.h"
#include "desktop_session.h"
#include "fakes/loopback_server.h"
#include "settings/file_formats.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

using namespace gridvane;
using namespace gridvane::testing;

namespace {

QByteArray outageList(qsizetype size)
{
    QByteArray list = "<html><body><h1>Communities Affected by Rotating Outages</h1><table>";
    for (int row = 0; list.size() < size - 30; ++row)
        list += "<tr><td>Community " + QByteArray::number(row) + "</td><td>Group A"
            + QByteArray::number(100 + row % 800) + "</td></tr>\n";
    return list + "</table></body></html>";
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

// The CPU time of a process and of all its threads so far, those that have ended included, in
// milliseconds (to the 10 ms the kernel counts in).
double processMilliseconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    stat.open(QIODevice::ReadOnly);
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) * 1000.0 / sysconf(_SC_CLK_TCK);
}

// The mean CPU milliseconds from one check to the next, over the checks after the first two,
// the idle wait included (about a millisecond in 30 seconds).
double programCheck(const QString& program, LoopbackServer& server, int checks)
{
    QTemporaryDir config;
    QDir().mkpath(config.filePath(QStringLiteral("gridvane")));
    QFile settings(config.filePath(QStringLiteral("gridvane/Settings.ini")));
    settings.open(QIODevice::WriteOnly);
    settings.write(encodeRecords({ server.url(QStringLiteral("/outages.html")),
        QStringLiteral("30 seconds"), QStringLiteral("off"), QStringLiteral("Z99") }));
    settings.close();
    qputenv("GRIDVANE", program.toLocal8Bit());
    QProcess* gridvane = launch(config.path());
    const auto requests = [&] { return server.requests.size(); };
    const qsizetype first = requests();
    double from = 0, to = 0;
    for (int check = 0; check <= checks + 1; ++check) {
        // As a check begins: the tick comes every 30 s, the automatic start with the first.
        DesktopSession::waitFor([&] { return requests() > first + check; }, 70000);
        (check == 1 ? from : to) = processMilliseconds(gridvane->processId());
    }
    end(gridvane);
    return (to - from) / checks;
}

QList<double> urlwatchChecks(const QString& url, int checks)
{
    QTemporaryDir home;
    QFile urls(home.filePath(QStringLiteral("urls.yaml")));
    urls.open(QIODevice::WriteOnly);
    urls.write("name: outages\nurl: " + url.toUtf8() + "\nfilter:\n  - html2text\n  - grep: Z99\n");
    urls.close();
    QList<double> cpu;
    for (int check = 0; check <= checks; ++check) {
        rusage start {}, done {};
        getrusage(RUSAGE_CHILDREN, &start);
        QProcess urlwatch;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home.path());
        urlwatch.setProcessEnvironment(environment);
        urlwatch.start(QStringLiteral("urlwatch"),
            { QStringLiteral("--urls"), urls.fileName(), QStringLiteral("--config"),
                home.filePath(QStringLiteral("urlwatch.yaml")), QStringLiteral("--cache"),
                home.filePath(QStringLiteral("cache.db")) });
        // The page comes from this process's server, which answers while the event loop runs.
        DesktopSession::waitFor([&] { return urlwatch.state() == QProcess::NotRunning; }, 60000);
        getrusage(RUSAGE_CHILDREN, &done);
        const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
        if (check > 0) // the first run makes its configuration and cache
            cpu << ms(done.ru_utime) + ms(done.ru_stime) - ms(start.ru_utime) - ms(start.ru_stime);
    }
    return cpu;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    TrayDesktop desktop;
    if (!desktop.start())
        return 1;
    const int checks = argc > 1 ? atoi(argv[1]) : 6;
    LoopbackServer server;
    server.on("/outages.html", htmlPage(outageList(647 * 1024)));
    const double urlwatch
        = median(urlwatchChecks(server.url(QStringLiteral("/outages.html")), checks));
    std::printf("CPU time per check of a 647 KiB outage list, over %d checks\n", checks);
    std::printf("  urlwatch 2.25 (html2text, grep)  %8.1f ms\n", urlwatch);
    QStringList programs { QStringLiteral(GRIDVANE_PATH) };
    if (argc > 2)
        programs << QString::fromLocal8Bit(argv[2]);
    for (const QString& program : programs) {
        const double check = programCheck(program, server, checks);
        std::printf("  %-32s %8.1f ms, %.1f times less than urlwatch\n", qPrintable(program), check,
            urlwatch / check);
    }
    return 0;
}
