#include "frm_gridvane.h"

#include "platform/browser.h"
#include "platform/tray.h"
#include "texts.h"

namespace gridvane {

frmGridvane::frmGridvane(Platform platform)
    : WebBrowser1(platform.browser)
    , cSysTray1(platform.tray)
    , m_boxes(platform.boxes)
    , m_desktop(platform.desktop)
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

    for (Control* control : std::initializer_list<Control*> {
             &txtURL, &txtStatus, &txtNetSend, &chkNetSend, &cmdStart, &mnuShow, &Timer1 })
        control->setEvents(&events);
    for (auto& box : txtGroup)
        box.setEvents(&events);
    for (auto& entry : mnuInt)
        entry.setEvents(&events);

    // The connections end with the model.
    QObject::connect(&WebBrowser1, &Browser::DownloadComplete, &events, [this] {
        fromEventLoop(texts::escapedLabel("WebBrowser1_DownloadComplete"),
            [this] { WebBrowser1_DownloadComplete(); });
    });
    QObject::connect(&cSysTray1, &Tray::MouseEvent, &events, [this] {
        fromEventLoop(
            texts::escapedLabel("cSysTray1_MouseEvent"), [this] { cSysTray1_MouseEvent(); });
    });
}

void frmGridvane::setVisible(bool visible)
{
    m_visible = visible;
    if (visible)
        m_minimized = m_minimizedByDesktop = false;
    Q_EMIT events.windowStateChanged();
}

void frmGridvane::setMinimized(bool minimized)
{
    m_minimized = minimized;
    m_minimizedByDesktop = false;
    Q_EMIT events.windowStateChanged();
}

} // namespace gridvane
