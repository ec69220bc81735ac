// The settings files and start-up: the input is Settings.ini, and after a NUL byte, if there is
// one, NetSend.ini, whose bytes must come back from decoding and encoding (an odd last byte
// gains its zero high byte). When start-up loads both files without an error box, it shows the
// message the file holds, and a second start-up loads and saves what the first saved unchanged,
// unless a value holds a double quote (never escaped, so such a value comes back cut there).
#include "fakes/fakes.h"

using namespace gridvane;
using namespace gridvane::testing;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype nul = input.indexOf('\0');
    const QByteArray message = nul < 0 ? QByteArray() : input.mid(nul + 1);
    if (encodeUtf16Le(decodeUtf16Le(message)) != message + QByteArray(message.size() % 2, '\0'))
        qFatal("NetSend.ini does not survive a load and a save");

    QByteArray saved[2];
    Harness first, second;
    second.system.configDir = first.system.configDir;
    writeFile(first.settingsPath(), input.left(nul < 0 ? input.size() : nul));
    if (nul >= 0)
        writeFile(first.netSendPath(), message);
    for (int round = 0; round < 2; ++round) {
        Harness& h = round ? second : first;
        h.form.Form_Load();
        if (!h.boxes.shown.empty() && round)
            qFatal("start-up refuses the files it saved");
        if (!h.boxes.shown.empty())
            return 0;
        if (nul >= 0 && !round && h.form.txtNetSend.Text() != decodeUtf16Le(message))
            qFatal("start-up reads NetSend.ini differently");
        h.form.SaveSettingsFile();
        saved[round] = readFile(h.settingsPath());
        if (!round && saved[0].count('"') != 2 * saved[0].count("\r\n"))
            return 0; // a value with a quote
        saved[round] += readFile(h.netSendPath());
    }
    if (saved[0] != saved[1])
        qFatal("settings change in a save and a load:\n%s\n%s", saved[0].constData(),
            saved[1].constData());
    return 0;
}
