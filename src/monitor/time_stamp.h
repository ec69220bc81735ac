#pragma once

#include <QDateTime>
#include <QLocale>

namespace gridvane {

// A moment in the locale's general date format: the short date, a blank and the long time
// with seconds; exactly midnight shows the date alone.
QString generalDate(const QDateTime& moment, const QLocale& locale);

} // namespace gridvane
