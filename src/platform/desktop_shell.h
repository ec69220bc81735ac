#pragma once

#include <QString>

namespace gridvane {

// The desktop's "open" action. file names what to open or run, parameters is handed to it
// unchanged. The result is above 32 when the desktop accepted the request.
//
// Two requests are known: a URL with no parameters (opened with the user's default
// program), and the file "Net.exe" with " Send * " followed by a message, which broadcasts
// the message to every user logged in to this machine.
class DesktopShell
{
public:
    virtual ~DesktopShell() = default;
    virtual qint32 ShellExecute(const QString& file, const QString& parameters) = 0;
};

inline const QString netSendFile = QStringLiteral("Net.exe");
inline const QString netSendVerb = QStringLiteral(" Send * ");

} // namespace gridvane
