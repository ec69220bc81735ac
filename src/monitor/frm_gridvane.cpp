#include "frm_gridvane.h"

#include "platform/browser.h"
#include "platform/tray.h"
#include "texts.h"

namespace gridvane {

frmGridvane::frmGridvane(Platform platform)
    : WebBrowser1(platform.browser)
    , cSysTray1(platform.tray)
    , m_boxes(platform.boxes)
    , m_shell(platform.shell)
    , m_clock(platform.clock)
    , m_system(platform.system)
{
    txtURL.setText(texts::defaultUrl);
    txtURL.Tag = texts::defaultUrl;
    for (auto& box : txtGroup)
        box.Tag = QStringLiteral("0");
    txtNetSend.setText(texts::initialNetSendText);
    cmdStart.setCaption(texts::captionStart);
    cmdStart.setBackColor(texts::colorGreen);
    mnuShow.setCaption(texts::captionHide);
    for (int i = 0; i < intervalCount; ++i)
        mnuInt[i].setCaption(texts::intervalCaptions[i]);
    mnuInt[0].setChecked(true);

    // The design values are in place; from here on the controls raise their events.
    txtURL.Change = [this] { txtURL_Change(); };
    txtStatus.Change = [this] { txtStatus_Change(); };
    for (int i = 0; i < groupCount; ++i)
        txtGroup[i].Change = [this, i] { txtGroup_Change(qint16(i)); };
    chkNetSend.Click = [this] { chkNetSend_Click(); };

    WebBrowser1.setDownloadCompleteHandler([this] { WebBrowser1_DownloadComplete(); });
    cSysTray1.setMouseEventHandler([this] { cSysTray1_MouseEvent(); });
}

void frmGridvane::setVisible(bool visible)
{
    m_visible = visible;
    if (visible)
        m_minimized = m_minimizedByDesktop = false;
    if (windowMirror)
        windowMirror();
}

void frmGridvane::setMinimized(bool minimized)
{
    m_minimized = minimized;
    m_minimizedByDesktop = false;
    if (windowMirror)
        windowMirror();
}

} // namespace gridvane
