// The Settings.ini reader and start-up: the input is Settings.ini, and after a NUL byte, if
// there is one, NetSend.ini. Every field the reader finds is read; then start-up loads both
// files into the model. When it loads them without an error box, saving the model and
// loading the saved files again must give the same settings, unless a value holds a double
// quote (values are never escaped, so such a value comes back cut at the quote).
#include "fakes/fakes.h"
#include "fakes/files.h"
#include "settings/file_formats.h"

using namespace gridvane;
using namespace gridvane::testing;

namespace {
QStringList settingsOf(const frmGridvane& form)
{
    QStringList values { form.txtURL.Text(), form.strInterval, form.strNetSend,
        form.txtNetSend.Text() };
    for (const auto& box : form.txtGroup) {
        if (box.Tag == QLatin1String("1"))
            values << box.Text();
    }
    return values;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        for (RecordReader reader(input); !reader.atEnd();)
            reader.next();
    } catch (const TrappedError&) {
    }

    Harness first;
    const qsizetype nul = input.indexOf('\0');
    writeFile(first.settingsPath(), input.left(nul < 0 ? input.size() : nul));
    if (nul >= 0)
        writeFile(first.netSendPath(), input.mid(nul + 1));
    first.form.Form_Load();
    const QStringList loaded = settingsOf(first.form);
    if (!first.boxes.shown.empty() || loaded.join(QString()).contains(QLatin1Char('"')))
        return 0;

    first.form.SaveSettingsFile();
    Harness second;
    second.system.configDir = first.system.configDir;
    second.form.Form_Load();
    if (settingsOf(second.form) != loaded)
        qFatal("settings change in a save and a load:\n%s\n%s", qPrintable(loaded.join('|')),
            qPrintable(settingsOf(second.form).join('|')));
    return 0;
}
