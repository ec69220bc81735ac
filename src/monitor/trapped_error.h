#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace gridvane {

// A failure that a handler traps and reports: the number and the description that the
// report box shows. Handlers trap every std::exception; one that is not a TrappedError (a
// failure of the library, such as a failed allocation) is reported through errors::trapped.
class TrappedError : public std::exception
{
public:
    TrappedError(qint32 number, const QString& description);
    const char* what() const noexcept override { return m_what.constData(); }

    qint32 number;
    QString description;

private:
    QByteArray m_what;
};

namespace errors {
TrappedError overflow();
TrappedError inputPastEnd();
TrappedError pathAccess(const QString& detail);
TrappedError diskFull(const QString& detail);
// The number and description of any trapped failure.
TrappedError trapped(const std::exception& error);
} // namespace errors

} // namespace gridvane
