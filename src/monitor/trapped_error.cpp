#include "trapped_error.h"

#include <new>

namespace gridvane {

TrappedError::TrappedError(qint32 number, const QString& description)
    : number(number)
    , description(description)
    , m_what(description.toUtf8())
{
}

namespace errors {

// Numbers follow the classic runtime's error table, which the report box's readers know.
TrappedError overflow()
{
    return { 6, QStringLiteral("Overflow") };
}

TrappedError inputPastEnd()
{
    return { 62, QStringLiteral("Input past end of file") };
}

TrappedError pathAccess(const QString& detail)
{
    return { 75, QStringLiteral("Path/File access error: ") + detail };
}

TrappedError diskFull(const QString& detail)
{
    return { 61, QStringLiteral("Disk full or write error: ") + detail };
}

TrappedError trapped(const std::exception& error)
{
    if (const auto* own = dynamic_cast<const TrappedError*>(&error))
        return *own;
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return { 7, QStringLiteral("Out of memory") };
    return { 51, QStringLiteral("Internal error: ") + QString::fromLocal8Bit(error.what()) };
}

} // namespace errors

} // namespace gridvane
