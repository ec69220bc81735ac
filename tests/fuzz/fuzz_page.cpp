// The page reader: the first line of the input is the Content-Type header, the rest the body.
// A code taken from its visible text is found there, and an empty code never.
#include "platform/linux/visible_text.h"

using namespace gridvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype newline = input.indexOf('\n');
    const QString text
        = visibleText(input.mid(newline + 1), newline < 0 ? QByteArray() : input.left(newline));
    const SearchablePage page(text);

    // The middle third of the text, widened so as not to cut a surrogate pair, is always found.
    qsizetype from = text.size() / 3, to = text.size() - from;
    from -= from < to && text[from].isLowSurrogate();
    to += from < to && text[to - 1].isHighSurrogate();
    const QString code = text.mid(from, to - from);
    if (!code.isEmpty() && !page.contains(code))
        qFatal("code on the page not found: %s", qPrintable(code));
    if (page.contains(QString()))
        qFatal("the empty code was found");
    return 0;
}
