#pragma once

#include <QString>

namespace gridvane {

// The program's texts end their lines in CR LF; the desktop's widgets, boxes and terminals
// want LF alone.
inline QString withLineFeeds(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace gridvane
