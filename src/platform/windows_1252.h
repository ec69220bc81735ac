#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

namespace gridvane {

// Bytes in windows-1252, the 8-bit code page of older files and pages. Qt reads it through
// ICU; a Qt built without ICU reads them as Latin-1, which differs only in 0x80..0x9F, rather
// than as nothing.
inline QString decodeWindows1252(QByteArrayView bytes)
{
    QStringDecoder windows1252("windows-1252");
    return windows1252.isValid() ? windows1252.decode(bytes) : QString::fromLatin1(bytes);
}

} // namespace gridvane
