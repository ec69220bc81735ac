#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>

namespace gridvane::testing {

// A notification service on the session bus, as a desktop runs one, that keeps what it is
// asked; the test raises its signals to play the user's click.
class NotificationService : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Notification
    {
        QString appName, icon, summary, body;
        QStringList actions;
        QVariantMap hints;
        int timeout;
    };
    QList<Notification> notified; // the number of each is its place here, from 1
    QList<uint> closed;

    bool start()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        return bus.registerObject("/org/freedesktop/Notifications", this,
                   QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals)
            && bus.registerService("org.freedesktop.Notifications");
    }
    ~NotificationService() override
    {
        QDBusConnection::sessionBus().unregisterService("org.freedesktop.Notifications");
        QDBusConnection::sessionBus().unregisterObject("/org/freedesktop/Notifications");
    }

public Q_SLOTS:
    uint Notify(const QString& appName, uint, const QString& icon, const QString& summary,
        const QString& body, const QStringList& actions, const QVariantMap& hints, int timeout)
    {
        notified.append({ appName, icon, summary, body, actions, hints, timeout });
        return uint(notified.size());
    }
    void CloseNotification(uint id) { closed.append(id); }
    QStringList GetCapabilities() { return { "actions", "body", "body-markup" }; }

Q_SIGNALS:
    void ActionInvoked(uint id, const QString& action);
    void ActivationToken(uint id, const QString& token);
};

} // namespace gridvane::testing
