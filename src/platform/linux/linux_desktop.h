#pragma once

#include "platform/desktop.h"

#include <QObject>
#include <chrono>

namespace gridvane {

// Opens URLs through the desktop's URL handlers (xdg-open) and broadcasts through wall(1).
// Nothing here waits for the program it starts.
class LinuxDesktop : public QObject, public Desktop
{
    Q_OBJECT
public:
    explicit LinuxDesktop(QObject* parent = nullptr);

    bool openUrl(const QString& url) override;
    void broadcast(const QString& message) override;

    // How long a broadcast may run before it is killed; one minute unless changed.
    void setBroadcastTimeout(std::chrono::milliseconds timeout) { m_broadcastTimeout = timeout; }

private:
    std::chrono::milliseconds m_broadcastTimeout = std::chrono::minutes(1);
};

} // namespace gridvane
