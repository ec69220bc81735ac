// Saves the settings over and over, alternating between two versions, until it is killed.
// With --once it saves version 0 and ends; --second starts with version 1 instead.
#include "fakes/fakes.h"
#include "saver_versions.h"

#include <QCoreApplication>
#include <cstdio>

using namespace gridvane;
using namespace gridvane::testing;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    Harness h;
    h.system.configDir = args.value(1);
    h.form.strSettingsFile = h.settingsPath();
    h.form.strNetSendFile = h.netSendPath();
    const bool once = args.contains(QStringLiteral("--once"));
    const int first = args.contains(QStringLiteral("--second")) ? 1 : 0;
    for (int round = first;; ++round) {
        const int version = round % 2;
        const QStringList records = saverRecords(version);
        h.form.txtURL.setText(records[0]);
        h.form.strInterval = records[1];
        h.form.strNetSend = records[2];
        for (int i = 0; i < 14; ++i)
            h.form.txtGroup[i].setText(records[3 + i]);
        h.form.txtNetSend.setText(saverMessage(version));
        h.form.SaveSettingsFile();
        if (!h.boxes.shown.empty()) {
            std::fprintf(stderr, "%s\n", qPrintable(h.boxes.shown.back().text));
            return 1;
        }
        if (once)
            return 0;
        if (round == first)
            std::fprintf(stdout, "saving\n"), std::fflush(stdout);
    }
}
