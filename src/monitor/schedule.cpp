#include "frm_gridvane.h"
#include "platform/browser.h"
#include "texts.h"

namespace gridvane {

void frmGridvane::cmdStart_Click()
{
    try {
        SaveSettingsFile();
        if (cmdStart.Caption() == texts::captionStart) {
            intTicks = 0;
            cmdStart.setCaption(texts::captionStop);
            cmdStart.setBackColor(texts::colorRed);
            intStatusCount = 0;
            txtStatus.setText(QString());
            AddStatus(texts::startedChecking, True);
            AddStatus(texts::accessingWebsite, True);
            // A completion raised while the old download is cancelled and the new one
            // requested must not be analysed.
            blnChecking = False;
            WebBrowser1.Stop();
            WebBrowser1.Navigate(txtURL.Text(), navNoHistory);
            blnChecking = True;
            Timer1.setEnabled(true);
        } else {
            blnChecking = False;
            WebBrowser1.Stop();
            cmdStart.setCaption(texts::captionStart);
            cmdStart.setBackColor(texts::colorGreen);
            Timer1.setEnabled(false);
            AddStatus(texts::stoppedChecking, True);
        }
    } catch (const std::exception& error) {
        ReportError(texts::labelStartClick, error);
    }
}

void frmGridvane::Timer1_Timer()
{
    try {
        if (blnAutoStart) {
            blnAutoStart = False;
            cmdStart_Click();
        }
        checkTrayAvailable();
        increment(intTicks);
        // A text that is none of the captions checks on every tick.
        const auto interval = texts::intervalCaptions.indexOf(strInterval);
        if (interval >= 0 && intTicks != texts::intervalTicks[interval])
            return;
        intTicks = 0;
        if (intStatusCount > 99) {
            txtStatus.setText(QString());
            intStatusCount = 0;
            AddStatus(texts::messagesCleared, True);
        }
        if (WebBrowser1.Busy()) {
            AddStatus(texts::stillTrying, True);
        } else {
            WebBrowser1.Navigate(txtURL.Text(), navNoHistory);
            AddStatus(texts::accessingWebsite, True);
        }
    } catch (const std::exception& error) {
        ReportError(texts::labelTimerEvent, error);
    }
}

} // namespace gridvane
