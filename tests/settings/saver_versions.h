#pragma once

#include "monitor/texts.h"
#include "settings/file_formats.h"

#include <QStringList>

// The two settings the saver program alternates between, large enough that a kill can land
// in the middle of writing a file.
namespace gridvane::testing {

inline QStringList saverRecords(int version)
{
    QStringList records { texts::defaultUrl, texts::intervalCaptions[version ? 4 : 1],
        version ? texts::on : texts::off };
    for (int i = 0; i < 14; ++i)
        records << QStringLiteral("V%1-%2").arg(version).arg(i);
    return records;
}

inline QString saverMessage(int version)
{
    return QString(200000, QChar(version ? u'b' : u'a'));
}

} // namespace gridvane::testing
