// The NetSend.ini reader: the input is the file. Start-up's read of it and the decoding alone
// must agree, and saving the text again must give back the file's bytes (an odd last byte
// gains its zero high byte).
#include "fakes/fakes.h"
#include "fakes/files.h"
#include "settings/file_formats.h"

using namespace gridvane;
using namespace gridvane::testing;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = decodeUtf16Le(bytes);
    if (encodeUtf16Le(text) != bytes + QByteArray(bytes.size() % 2, '\0'))
        qFatal("NetSend.ini does not survive a load and a save");

    Harness h;
    h.ready();
    writeFile(h.netSendPath(), bytes);
    h.form.LoadNetSendFile();
    if (h.form.txtNetSend.Text() != text)
        qFatal("start-up reads NetSend.ini differently");
    return 0;
}
