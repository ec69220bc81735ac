#include "desktop_notification.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace gridvane {

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString defaultAction = QStringLiteral("default");
constexpr uchar critical = 2;

QDBusMessage request(const QString& method, const QVariantList& arguments = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, service, method);
    message.setArguments(arguments);
    return message;
}

// Runs then() with the reply once it has come; a failed call (no service) is dropped.
template <typename Reply, typename Then> void whenAnswered(const QDBusMessage& message, Then then)
{
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(message));
    QObject::connect(
        watcher, &QDBusPendingCallWatcher::finished, [then](QDBusPendingCallWatcher* call) {
            const QDBusPendingReply<Reply> reply = *call;
            if (!reply.isError())
                then(reply.value());
            call->deleteLater();
        });
}

void withdraw(uint id)
{
    QDBusConnection::sessionBus().asyncCall(request(QStringLiteral("CloseNotification"), { id }));
}

} // namespace

DesktopNotification::DesktopNotification(
    const QString& summary, const QString& body, QObject* parent)
    : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    bus.connect(service, path, service, QStringLiteral("ActionInvoked"), this,
        SLOT(onActionInvoked(uint, QString)));
    bus.connect(service, path, service, QStringLiteral("ActivationToken"), this,
        SLOT(onActivationToken(uint, QString)));
    // A service that reads markup in the body would take a code such as "<b>" for it.
    whenAnswered<QStringList>(request(QStringLiteral("GetCapabilities")),
        [state = m_state, summary, body](const QStringList& capabilities) {
            if (state->withdrawn)
                return;
            const bool markup = capabilities.contains(QStringLiteral("body-markup"));
            const QVariantMap hints { { QStringLiteral("urgency"), QVariant::fromValue(critical) },
                { QStringLiteral("desktop-entry"), QStringLiteral("gridvane") } };
            whenAnswered<uint>(
                request(QStringLiteral("Notify"),
                    { QStringLiteral("Gridvane"), uint(0), QStringLiteral("gridvane"), summary,
                        markup ? body.toHtmlEscaped() : body,
                        QStringList { defaultAction, summary }, hints, 0 }),
                [state](uint id) {
                    if (state->withdrawn)
                        withdraw(id);
                    else
                        state->id = id;
                });
        });
}

DesktopNotification::~DesktopNotification()
{
    m_state->withdrawn = true;
    if (m_state->id)
        withdraw(m_state->id);
}

void DesktopNotification::onActivationToken(uint id, const QString& token)
{
    if (m_state->id && id == m_state->id)
        m_token = token;
}

void DesktopNotification::onActionInvoked(uint id, const QString& action)
{
    if (m_state->id && id == m_state->id && action == defaultAction)
        Q_EMIT activated(m_token);
}

} // namespace gridvane
