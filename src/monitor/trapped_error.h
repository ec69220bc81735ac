#pragma once

#include <QString>
#include <exception>

namespace gridvane {

// A failure that a handler traps and reports: the number and the description that the
// report box shows.
struct TrappedError
{
    qint32 number = 0;
    QString description;
};

namespace errors {
TrappedError overflow();
TrappedError fileNotFound(const QString& detail = {});
TrappedError inputPastEnd();
TrappedError pathAccess(const QString& detail);
TrappedError diskFull(const QString& detail);
// A failure the library reported, such as a failed allocation.
TrappedError fromException(const std::exception& error);
} // namespace errors

} // namespace gridvane
