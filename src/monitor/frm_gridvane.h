#pragma once

#include "controls.h"
#include "trapped_error.h"

#include <QString>
#include <array>
#include <exception>

namespace gridvane {

class Browser;
class Clock;
class Desktop;
class MessageBoxes;
class SystemInfo;
class Tray;

// The main window's state and handlers. Everything the program knows at run time lives
// here; the widgets only show it and forward the user's actions. Every handler runs without
// a window, a network or a real clock.
//
// The platform's parts are the model's collaborators: they are made before it and outlive it.
// The widgets follow it through its events.
class frmGridvane
{
public:
    struct Platform
    {
        Browser& browser;
        Tray& tray;
        MessageBoxes& boxes;
        Desktop& desktop;
        Clock& clock;
        SystemInfo& system;
    };

    explicit frmGridvane(Platform platform);
    frmGridvane(const frmGridvane&) = delete;
    frmGridvane& operator=(const frmGridvane&) = delete;

    ModelEvents events;

    // Runs a handler that the event loop called (a widget's signal, a menu, the timer, the
    // tray, a finished download). A failure that escapes the handler is reported in the
    // resetting form under the caller's label ("--mnuInt_Click--"), and the program goes on:
    // no failure ever reaches the event loop.
    template <typename Handler> void fromEventLoop(const QString& label, Handler handler)
    {
        try {
            handler();
        } catch (const std::exception& error) {
            reportEscaped(label, error);
        }
    }

    static constexpr int groupCount = 14;
    static constexpr int intervalCount = 5;

    // A group box holds a code exactly while its tag is "1": only such boxes are searched for
    // and saved.
    static inline const QString codeTag = QStringLiteral("1");
    static bool holdsCode(const TextBox& box) { return box.Tag == codeTag; }

    // Members
    qint16 intStatusCount = 0;
    Flag blnChecking = False;
    QString strSettingsFile;
    QString strNetSendFile;
    Flag blnExiting = False;
    QString strInterval;
    QString strNetSend;
    QString strLastAlert;
    qint16 intTicks = 0;
    Flag blnAutoStart = False;
    Flag blnLoading = False;

    // Controls, with their design values
    TextBox txtURL;
    TextBox txtStatus;
    std::array<TextBox, groupCount> txtGroup;
    TextBox txtNetSend;
    CheckBox chkNetSend;
    CommandButton cmdStart;
    MenuItem mnuShow;
    std::array<MenuItem, intervalCount> mnuInt;
    Timer Timer1;

    // Window state
    bool visible() const { return m_visible; }
    void setVisible(bool visible);
    // Minimised instead of hidden on a desktop without a notification area, or by the desktop
    // itself; either way the window does not count as shown.
    bool minimized() const { return m_minimized; }
    void setMinimized(bool minimized);
    bool loaded() const { return m_loaded; }

    // Status log
    void AddStatus(const QString& message, Flag counted);
    void txtStatus_Change();
    void mnuInt_Click(qint16 index);
    // Shows the report box for a trapped failure. The resetting form first stops checking.
    void ReportError(const QString& label, const std::exception& error);
    void reportErrorWithDetail(
        const QString& label, const QString& detail, const std::exception& error);

    // Schedule
    void cmdStart_Click();
    void Timer1_Timer();

    // Page check and alerts
    void WebBrowser1_DownloadComplete();
    void AlertGroup(const QString& code);
    static QString WrapNetSendText(const QString& text);
    QString timeStamp() const;

    // Settings files and start-up
    void LoadSettingsFile();
    void LoadNetSendFile();
    void SaveSettingsFile();
    void Form_Load();
    Flag GetWindowsVersion();

    // Edit handlers
    void txtGroup_Change(qint16 index);
    void txtURL_Change();
    void chkNetSend_Click();

    // Tray and visibility
    void mnuShow_Click();
    void cmdHide_Click();
    void cSysTray1_MouseEvent();
    // Called on every tick: a hidden window comes back when the notification area goes away.
    void checkTrayAvailable();

    // Exit and close
    void cmdExit_Click();
    void mnuExit_Click();
    void Form_Unload(qint16& cancel);
    // A close request from the window manager: refused unless Exit asked for it.
    bool requestClose();
    // The session is ending (logout, shutdown, SIGTERM): save and end without refusing.
    void endSession();

    Browser& WebBrowser1;
    Tray& cSysTray1;

    // The desktop minimised the window, or the user brought a minimised one back through it.
    void windowMinimized();
    void windowRestored();

private:
    // Hides the window to the tray, or minimises it where there is no notification area.
    void hideWindow();
    void unload();
    void reportEscaped(const QString& label, const std::exception& error);
    void runHeldSave();

    MessageBoxes& m_boxes;
    Desktop& m_desktop;
    Clock& m_clock;
    SystemInfo& m_system;

    bool m_visible = true;
    bool m_minimized = false;
    bool m_minimizedByDesktop = false;
    bool m_loaded = true;
    // Saves asked for while start-up is still reading the settings are carried out once it
    // has read them all, so no save can write a file that lacks the records not yet read.
    bool m_holdSaves = false;
    bool m_savePending = false;
};

} // namespace gridvane
