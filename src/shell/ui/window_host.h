#pragma once

#include "monitor/frm_gridvane.h"
#include "shell/ui/main_window.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

namespace gridvane {

class Desktop;
class Termination;

// Hosts the window model in the running program: creates the main window, loads the
// settings, drives the model's timer, lets the window go when the model is unloaded, and ends
// the program when no window is left. Logout, shutdown and a termination request save and end.
//
//   QApplication app(argc, argv);
//   LinuxTray tray(programIcon(), texts::appTitle);
//   frmGridvane form({ browser, tray, boxes, desktop, clock, system });
//   UnixSignals signals;
//   WindowHost host(form, desktop, signals);
//   host.start();
//   return app.exec();
class WindowHost : public QObject
{
    Q_OBJECT

public:
    WindowHost(
        frmGridvane& form, Desktop& desktop, Termination& termination, QObject* parent = nullptr);
    ~WindowHost() override;

    // Creates the main window, runs its load handler and shows it unless the model hid it.
    void start();
    // Saves and ends the program without asking, even with the About window open.
    void endSession();

    // Null once the window has been unloaded.
    MainWindow* window() const { return m_window; }
    const QTimer& timer() const { return m_timer; }

Q_SIGNALS:
    // The program is about to end: QCoreApplication::quit() follows.
    void quitting();

private:
    void mirrorTimer();
    void formUnloaded();
    void quitWhenLastWindowIsGone();
    void quit();

    frmGridvane& m_form;
    Desktop& m_desktop;
    QPointer<MainWindow> m_window;
    QTimer m_timer;
    bool m_quitting = false;
};

} // namespace gridvane
