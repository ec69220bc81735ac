#include "window_activation.h"

#include <QGuiApplication>
#include <QWidget>
#include <xcb/xcb.h>

namespace gridvane {

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    const xcb_intern_atom_cookie_t cookie
        = xcb_intern_atom(connection, false, uint16_t(qstrlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return found;
}

// A window manager that knows the startup sequence activates a window when its startup id
// changes to it, as it would a window that a launch mapped.
void setStartupId(QWidget* window, const QByteArray& token)
{
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11)
        return;
    xcb_connection_t* connection = x11->connection();
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window->winId()),
        atom(connection, "_NET_STARTUP_ID"), atom(connection, "UTF8_STRING"), 8,
        uint32_t(token.size()), token.constData());
    xcb_flush(connection);
}

} // namespace

void activateWindow(QWidget* window, const QString& activationToken)
{
    if (!activationToken.isEmpty()) {
        if (QGuiApplication::platformName() == QLatin1String("wayland"))
            qputenv("XDG_ACTIVATION_TOKEN", activationToken.toUtf8()); // used once, by Qt
        else
            setStartupId(window, activationToken.toUtf8());
    }
    if (window->isMinimized())
        window->showNormal();
    window->raise();
    window->activateWindow();
}

} // namespace gridvane
