#pragma once

#include "platform/tray.h"

#include <QIcon>
#include <QObject>
#include <QSystemTrayIcon>

namespace gridvane {

// The program's icon in the desktop's notification area. It is shown from construction
// and leaves the notification area with the object.
class LinuxTray : public Tray
{
    Q_OBJECT
public:
    LinuxTray(const QIcon& icon, const QString& tip, QObject* parent = nullptr);
    ~LinuxTray() override;

    void setTip(const QString& tip) override;
    bool isAvailable() const override;
    void removeIcon() override;

private:
    void onActivated(QSystemTrayIcon::ActivationReason reason);

    QSystemTrayIcon* m_icon;
};

} // namespace gridvane
