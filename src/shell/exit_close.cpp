#include "monitor/frm_gridvane.h"
#include "platform/browser.h"
#include "platform/tray.h"

namespace gridvane {

void frmGridvane::cmdExit_Click()
{
    WebBrowser1.Stop();
    blnExiting = True;
    unload();
}

void frmGridvane::mnuExit_Click()
{
    cmdExit_Click();
}

void frmGridvane::Form_Unload(qint16& cancel)
{
    if (!blnExiting) {
        cancel = 1;
        SaveSettingsFile();
        mnuShow_Click();
    } else {
        SaveSettingsFile();
    }
}

void frmGridvane::unload()
{
    if (!m_loaded)
        return;
    qint16 cancel = 0;
    Form_Unload(cancel);
    if (cancel)
        return;
    // With the window go its timer, its browser's download and its tray icon.
    m_loaded = false;
    Timer1.setEnabled(false);
    blnChecking = False;
    cSysTray1.removeIcon();
    Q_EMIT events.unloaded();
}

bool frmGridvane::requestClose()
{
    // A close request hides a window the desktop minimised, as it hides a shown one.
    if (m_minimizedByDesktop)
        m_minimized = false;
    unload();
    return !m_loaded;
}

void frmGridvane::endSession()
{
    if (m_loaded)
        cmdExit_Click();
}

} // namespace gridvane
