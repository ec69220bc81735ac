#include "monitor/frm_gridvane.h"
#include "monitor/texts.h"
#include "platform/tray.h"

namespace gridvane {

void frmGridvane::hideWindow()
{
    if (cSysTray1.isAvailable())
        setVisible(false);
    else
        setMinimized(true);
}

void frmGridvane::mnuShow_Click()
{
    // A minimised window counts as hidden: without a notification area minimising stands in
    // for hiding, and the desktop may minimise the window itself.
    if (visible() && !minimized())
        hideWindow();
    else
        setVisible(true);
    mnuShow.setCaption(visible() && !minimized() ? texts::captionHide : texts::captionShow);
    txtStatus.setSelStart(int(txtStatus.Text().size()));
}

void frmGridvane::cmdHide_Click()
{
    mnuShow_Click();
}

void frmGridvane::cSysTray1_MouseEvent()
{
    mnuShow_Click();
    // A window can only be raised once it is shown.
    if (visible() && !minimized())
        Q_EMIT events.frontRequested();
    if (blnAutoStart) {
        blnAutoStart = False;
        cmdStart_Click();
    }
}

void frmGridvane::checkTrayAvailable()
{
    if (!visible() && !cSysTray1.isAvailable()) {
        setVisible(true);
        mnuShow.setCaption(texts::captionHide);
    }
}

void frmGridvane::windowMinimized()
{
    m_minimized = m_minimizedByDesktop = true;
}

void frmGridvane::windowRestored()
{
    setMinimized(false);
    mnuShow.setCaption(texts::captionHide);
}

} // namespace gridvane
