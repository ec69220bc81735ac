#include "window_host.h"

#include "about_window.h"
#include "main_window.h"
#include "monitor/texts.h"
#include "program_icon.h"

#include <QApplication>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace gridvane {

namespace {

// SIGTERM and SIGINT arrive at any moment; the handler only writes a byte that the event loop
// reads later, the one thing that is safe to do inside a signal handler.
int signalSockets[2] = { -1, -1 };

extern "C" void onTerminationSignal(int)
{
    const char byte = 1;
    const ssize_t written = ::write(signalSockets[0], &byte, 1);
    (void)written;
}

} // namespace

WindowHost::WindowHost(frmGridvane& form, Desktop& desktop, QObject* parent)
    : QObject(parent)
    , m_form(form)
    , m_desktop(desktop)
{
    m_timer.setTimerType(Qt::CoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_form.fromEventLoop(texts::labelTimerEvent, [this] { m_form.Timer1_Timer(); });
    });
    connect(&m_form.events, &ModelEvents::controlChanged, this, [this](const Control* control) {
        if (control == &m_form.Timer1)
            mirrorTimer();
    });
    connect(&m_form.events, &ModelEvents::unloaded, this, &WindowHost::formUnloaded);
}

WindowHost::~WindowHost()
{
    delete m_window;
    if (m_signalNotifier) {
        std::signal(SIGTERM, SIG_DFL);
        std::signal(SIGINT, SIG_DFL);
        delete m_signalNotifier;
        ::close(signalSockets[0]);
        ::close(signalSockets[1]);
        signalSockets[0] = signalSockets[1] = -1;
    }
}

void WindowHost::start()
{
    // Hiding the window to the tray must not end the program; it ends when Exit says so.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(programIcon());
    watchSignals();
    connect(
        qApp, &QGuiApplication::commitDataRequest, this, [this] { endSession(); },
        Qt::DirectConnection);
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        m_form.fromEventLoop(texts::escapedLabel("endSession"), [this] { m_form.endSession(); });
    });

    m_window = new MainWindow(m_form, m_desktop);
    mirrorTimer();
    m_form.fromEventLoop(texts::labelFormLoad, [this] { m_form.Form_Load(); });
    if (m_window)
        m_window->mirrorWindowState();
}

void WindowHost::mirrorTimer()
{
    m_timer.setInterval(m_form.Timer1.Interval);
    // Enabling a running timer keeps its rhythm.
    if (m_form.Timer1.Enabled() && !m_timer.isActive())
        m_timer.start();
    else if (!m_form.Timer1.Enabled())
        m_timer.stop();
}

void WindowHost::formUnloaded()
{
    m_timer.stop();
    if (m_window) {
        m_window->hide();
        // The unload may run inside one of the window's own signals.
        m_window->deleteLater();
        m_window = nullptr;
    }
    quitWhenLastWindowIsGone();
}

void WindowHost::quitWhenLastWindowIsGone()
{
    // An open About window outlives the main window until the user closes it.
    if (AboutWindow* about = AboutWindow::instance())
        connect(about, &QObject::destroyed, this, &WindowHost::quit, Qt::UniqueConnection);
    else
        quit();
}

void WindowHost::endSession()
{
    m_form.fromEventLoop(texts::escapedLabel("endSession"), [this] { m_form.endSession(); });
    if (AboutWindow* about = AboutWindow::instance())
        about->close();
    quit();
}

void WindowHost::quit()
{
    if (m_quitting)
        return;
    m_quitting = true;
    Q_EMIT quitting();
    QCoreApplication::quit();
}

void WindowHost::watchSignals()
{
    // One shell at a time owns the signals.
    if (m_signalNotifier || signalSockets[0] >= 0)
        return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalSockets) != 0)
        return;
    m_signalNotifier = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, this);
    connect(m_signalNotifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(signalSockets[1], bytes, sizeof bytes) > 0) { }
        endSession();
    });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

} // namespace gridvane
