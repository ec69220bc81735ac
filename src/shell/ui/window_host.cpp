#include "window_host.h"

#include "about_window.h"
#include "main_window.h"
#include "monitor/texts.h"
#include "program_icon.h"

#include "platform/termination.h"

#include <QApplication>

namespace gridvane {

WindowHost::WindowHost(
    frmGridvane& form, Desktop& desktop, Termination& termination, QObject* parent)
    : QObject(parent)
    , m_form(form)
    , m_desktop(desktop)
{
    connect(&termination, &Termination::requested, this, &WindowHost::endSession);
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
}

void WindowHost::start()
{
    // Hiding the window to the tray must not end the program; it ends when Exit says so.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(programIcon());
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

} // namespace gridvane
