#pragma once

#include "monitor/frm_gridvane.h"
#include "shell/ui/main_window.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <memory>

class QSocketNotifier;

namespace gridvane {

class DesktopShell;
class Tray;

// Runs the program around the window model: creates the main window, loads the settings,
// drives the model's timer, destroys the window and the tray icon on Exit, and ends the
// program when no window is left. Logout, shutdown, SIGTERM and SIGINT save and end.
//
//   QApplication app(argc, argv);
//   auto tray = std::make_unique<LinuxTray>(programIcon(), texts::appTitle);
//   frmGridvane form({ browser, *tray, boxes, shell, clock, system });
//   GridvaneShell shellUi(form, std::move(tray), shell);
//   shellUi.start();
//   return app.exec();
class GridvaneShell : public QObject, public FormHost
{
    Q_OBJECT

public:
    GridvaneShell(frmGridvane& form, std::unique_ptr<Tray> tray, DesktopShell& shell,
        QObject* parent = nullptr);
    ~GridvaneShell() override;

    // Creates the main window, runs its load handler and shows it unless the model hid it.
    void start();
    // Saves and ends the program without asking, even with the About window open.
    void endSession();

    // Null once the window has been unloaded.
    MainWindow* window() const { return m_window; }
    Tray* tray() const { return m_tray.get(); }
    const QTimer& timer() const { return m_timer; }

    void bringToFront() override;
    void formUnloaded() override;

Q_SIGNALS:
    // The program is about to end: QCoreApplication::quit() follows.
    void quitting();

private:
    void mirrorTimer();
    void quitWhenLastWindowIsGone();
    void quit();
    void watchSignals();

    frmGridvane& m_form;
    std::unique_ptr<Tray> m_tray;
    DesktopShell& m_shell;
    QPointer<MainWindow> m_window;
    QTimer m_timer;
    QSocketNotifier* m_signalNotifier = nullptr;
    bool m_quitting = false;
};

} // namespace gridvane
