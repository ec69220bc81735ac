// The work of one check on a large outage page: the body is read as it would arrive, in pieces
// of 64 KiB, its visible text folded for searching, and searched for fourteen group codes,
// through the same code the page fetcher uses.
#include "platform/linux/visible_text.h"

#include <QStringList>
#include <benchmark/benchmark.h>

namespace {

// About 1 MiB shaped like a long outage list: a heading, then table rows of communities with
// their group codes.
QByteArray outageList()
{
    QByteArray page = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Rotating "
                      "Outages</title><style>td{padding:2px}</style><script>var x = 1;</script>"
                      "</head><body><h1>Communities <b>Affected</b> by Rotating Outages</h1>"
                      "<table>\n";
    for (int row = 0; page.size() < 1024 * 1024; ++row) {
        page += "<tr><td>Community of&nbsp;San Gabri&eacute;l " + QByteArray::number(row)
            + "</td><td class=\"group\">A" + QByteArray::number(100 + row % 800)
            + "</td><td><a href=\"/map?row=" + QByteArray::number(row)
            + "\">Map</a> <!-- row note --></td></tr>\n";
    }
    return page + "</table><p>Last updated today.</p></body></html>";
}

void extractAndSearchOutagePage(benchmark::State& state)
{
    const QByteArray body = outageList();
    QStringList codes;
    for (int i = 0; i < 13; ++i)
        codes << QStringLiteral("B%1").arg(200 + i); // absent: each scans the whole page
    codes << QStringLiteral("a899"); // present, near the end

    int found = 0;
    for (auto _ : state) {
        gridvane::SearchablePage::Builder text;
        gridvane::PageReader reader("text/html; charset=utf-8", text);
        for (qsizetype at = 0; at < body.size(); at += 64 * 1024)
            reader.feed(
                QByteArrayView(body).sliced(at, std::min<qsizetype>(64 * 1024, body.size() - at)));
        reader.finish();
        const gridvane::SearchablePage page = text.take();
        for (const QString& code : codes)
            found += page.contains(code);
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(state.iterations() * body.size());
    state.counters["codes found"] = benchmark::Counter(found, benchmark::Counter::kAvgIterations);
}

} // namespace

// The parser runs on a thread of its own: the CPU time is the whole process's.
BENCHMARK(extractAndSearchOutagePage)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK_MAIN();
