#include "monitor/frm_gridvane.h"
#include "monitor/texts.h"
#include "platform/clock.h"
#include "platform/linux/linux_desktop.h"
#include "platform/linux/linux_system_info.h"
#include "platform/linux/linux_tray.h"
#include "platform/linux/page_fetcher.h"
#include "platform/linux/qt_message_boxes.h"
#include "platform/linux/unix_signals.h"
#include "shell/ui/program_icon.h"
#include "shell/ui/window_host.h"
#include "version.h"

#include <QApplication>
#include <QNetworkProxyFactory>
#include <cstdio>
#include <cstdlib>

using namespace gridvane;

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fprintf(
            stderr, "Gridvane needs a desktop session: there is no display to show it on.\n");
        return EXIT_FAILURE;
    }

    // On a Wayland session with Xwayland, the program runs through Xwayland unless the user
    // chose a platform: only there can the alert box stay above the other windows. The
    // programs it starts choose for themselves.
    const bool throughXwayland = qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")
        && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && !qEnvironmentVariableIsEmpty("DISPLAY");
    if (throughXwayland)
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    if (throughXwayland)
        qunsetenv("QT_QPA_PLATFORM");
    QApplication::setApplicationName(QStringLiteral("gridvane"));
    QApplication::setApplicationVersion(QStringLiteral(GRIDVANE_VERSION));

    // Pages are fetched through the proxy that http_proxy, https_proxy and no_proxy, or the
    // desktop's settings, name.
    QNetworkProxyFactory::setUseSystemConfiguration(true);

    LinuxSystemInfo system;
    PageFetcher browser;
    QtMessageBoxes boxes(programIcon());
    LinuxDesktop desktop(texts::alertTitle);
    SystemClock clock;
    LinuxTray tray(programIcon(), texts::appTitle);
    frmGridvane form({ browser, tray, boxes, desktop, clock, system });
    UnixSignals signals;
    WindowHost host(form, desktop, signals);
    host.start();
    return app.exec();
}
