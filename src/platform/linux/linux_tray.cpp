#include "linux_tray.h"

namespace gridvane {

LinuxTray::LinuxTray(const QIcon& icon, const QString& tip, QObject* parent)
    : Tray(parent)
    , m_icon(new QSystemTrayIcon(icon, this))
{
    m_icon->setToolTip(tip);
    connect(m_icon, &QSystemTrayIcon::activated, this, &LinuxTray::onActivated);
    m_icon->show();
}

LinuxTray::~LinuxTray()
{
    m_icon->hide();
}

void LinuxTray::setTip(const QString& tip)
{
    m_icon->setToolTip(tip);
}

void LinuxTray::removeIcon()
{
    m_icon->hide();
}

bool LinuxTray::isAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void LinuxTray::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    // A double click also delivers a Trigger for its first press, and a right click opens
    // the (empty) context menu; only the primary click counts, so each action reports once.
    if (reason == QSystemTrayIcon::Trigger)
        Q_EMIT MouseEvent();
}

} // namespace gridvane
