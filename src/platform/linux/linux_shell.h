#pragma once

#include "platform/desktop_shell.h"

#include <QObject>
#include <chrono>

namespace gridvane {

// Opens URLs with the user's default program and broadcasts net-send messages to every
// logged-in user through wall(1). Nothing here waits for the program it starts.
class LinuxShell : public QObject, public DesktopShell
{
    Q_OBJECT
public:
    explicit LinuxShell(QObject* parent = nullptr);

    // Returns 33 when the request was handed on, 2 when it could not be.
    qint32 ShellExecute(const QString& file, const QString& parameters) override;

    // How long a broadcast may run before it is killed; one minute unless changed.
    void setBroadcastTimeout(std::chrono::milliseconds timeout) { m_broadcastTimeout = timeout; }

private:
    qint32 broadcast(const QString& message);
    static qint32 openUrl(const QString& target);

    std::chrono::milliseconds m_broadcastTimeout = std::chrono::minutes(1);
};

} // namespace gridvane
