#pragma once

#include <QObject>
#include <QString>
#include <memory>

namespace gridvane {

// One notification in the desktop's notification list, through the notification service of
// the freedesktop notification protocol on the session bus: sent when the object is made,
// withdrawn when it goes. It is critical (it stays, and shows in do-not-disturb), never
// expires, and names the program and its icon. Every call is asynchronous: without a session
// bus or a service nothing happens and nothing waits.
class DesktopNotification : public QObject
{
    Q_OBJECT

public:
    DesktopNotification(const QString& summary, const QString& body, QObject* parent = nullptr);
    ~DesktopNotification() override;

Q_SIGNALS:
    // The user chose the notification itself. The token, empty when the service gave none,
    // lets one of the program's windows take the focus from the desktop.
    void activated(const QString& activationToken);

private Q_SLOTS:
    void onActivationToken(uint id, const QString& token);
    void onActionInvoked(uint id, const QString& action);

private:
    // Shared with the calls under way: the service's number for the notification arrives
    // later, perhaps after the object has gone, when it is withdrawn at once.
    struct State
    {
        uint id = 0;
        bool withdrawn = false;
    };
    std::shared_ptr<State> m_state = std::make_shared<State>();
    QString m_token;
};

} // namespace gridvane
