// Saves the settings over and over, alternating between two versions, until it is killed;
// scripts/kill-soak.sh kills it at random moments. Usage: settings_saver FOLDER [--once]
// [--second]. With --once it saves one version and ends; --second starts with the other one.
#include "fakes/fakes.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    gridvane::testing::Harness h;
    h.dir.remove(); // the harness's own folder, unused here: a kill would leave it behind
    h.system.configDir = args.value(1);
    h.form.strSettingsFile = h.settingsPath();
    h.form.strNetSendFile = h.netSendPath();
    h.form.txtURL.setText(QStringLiteral("http://www.example.org/outages.html"));
    const bool once = args.contains(QStringLiteral("--once"));
    const int first = args.contains(QStringLiteral("--second")) ? 1 : 0;
    for (int round = first;; ++round) {
        // Set as they are, not through the menus or the URL box, whose handlers save too.
        const int version = round % 2;
        h.form.strInterval = version ? QStringLiteral("10 minutes") : QStringLiteral("1 minute");
        h.form.strNetSend = version ? QStringLiteral("on") : QStringLiteral("off");
        for (int i = 0; i < 14; ++i)
            h.form.txtGroup[i].setText(QStringLiteral("V%1-%2").arg(version).arg(i));
        // Large enough that a kill can land in the middle of writing it.
        h.form.txtNetSend.setText(QString(200000, QChar(version ? u'b' : u'a')));
        h.form.SaveSettingsFile();
        if (!h.boxes.shown.empty()) {
            std::fprintf(stderr, "%s\n", qPrintable(h.boxes.shown.back().text));
            return 1;
        }
        if (once)
            return 0;
        if (round == first) // one whole save behind it, the next under way
            std::fprintf(stdout, "saving\n"), std::fflush(stdout);
    }
}
