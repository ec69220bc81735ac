#pragma once

#include "platform/desktop.h"

#include <QObject>
#include <chrono>

namespace gridvane {

// Opens URLs through the desktop's URL handlers (xdg-open). Broadcasts through wall(1) to
// this machine's terminals and, where Apprise is installed and a broadcast file lists places
// (broadcast_channels.h), through Apprise to each of them, with the given title. Nothing here
// waits for the programs it starts; a broadcast through Apprise that fails is reported on
// standard error.
class LinuxDesktop : public QObject, public Desktop
{
    Q_OBJECT
public:
    explicit LinuxDesktop(const QString& broadcastTitle, QObject* parent = nullptr);

    bool openUrl(const QString& url) override;
    void broadcast(const QString& message) override;

    // How long a broadcast may run before it is killed; one minute unless changed.
    void setBroadcastTimeout(std::chrono::milliseconds timeout) { m_broadcastTimeout = timeout; }

private:
    QString m_broadcastTitle;
    std::chrono::milliseconds m_broadcastTimeout = std::chrono::minutes(1);
};

} // namespace gridvane
