#include "monitor/frm_gridvane.h"
#include "monitor/texts.h"
#include "platform/system_info.h"

namespace gridvane {

void frmGridvane::Form_Load()
{
    // A forced stop while the settings are read (a code of blanks empties its box) saves only
    // once both files have been read, so the save loses neither later records nor the message;
    // and before the timer is enabled, so a save that fails cannot undo the automatic start.
    m_holdSaves = true;
    try {
        LoadSettingsFile();
    } catch (const std::exception& error) {
        reportErrorWithDetail(texts::labelFormLoad, texts::settingsFileError, error);
        runHeldSave();
        return;
    }

    try {
        strNetSendFile = m_system.configDirectory() + texts::netSendFileName;
        if (GetWindowsVersion()) {
            LoadNetSendFile();
        } else {
            strNetSend = texts::off;
            chkNetSend.setValue(0);
            chkNetSend.setEnabled(false);
            txtNetSend.setEnabled(false);
        }
        runHeldSave();
        if (blnAutoStart) {
            hideWindow();
            Timer1.setEnabled(true);
        } else {
            cmdStart.setEnabled(false);
        }
    } catch (const std::exception& error) {
        reportErrorWithDetail(texts::labelFormLoad, texts::netSendFileError, error);
        runHeldSave();
    }
}

// On Linux a broadcast to every logged-in user is possible where wall can be run.
Flag frmGridvane::GetWindowsVersion()
{
    return m_system.canBroadcast() ? True : False;
}

} // namespace gridvane
