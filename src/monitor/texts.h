#pragma once

#include "version.h"

#include <QString>
#include <QStringList>

// The program's own texts: status lines, captions, box texts. Each appears here once.
namespace gridvane::texts {

inline const QString appTitle = QStringLiteral("Gridvane");
inline const QString version = QStringLiteral(GRIDVANE_VERSION);
inline const QString windowTitle
    = QStringLiteral("Gridvane (Southern Cal Edison) version ") + version;
inline const QString defaultUrl
    = QStringLiteral("http://www.sce.com/003_safety_first/003e1_ro_grp_number.shtml");

inline const QString crlf = QStringLiteral("\r\n");

// Start/Stop button
inline const QString captionStart = QStringLiteral("&Start");
inline const QString captionStop = QStringLiteral("&Stop");
constexpr quint32 colorGreen = 65280; // 0x00FF00
constexpr quint32 colorRed = 255; // 0x0000FF

// File > Hide/Show
inline const QString captionHide = QStringLiteral("&Hide");
inline const QString captionShow = QStringLiteral("&Show");

// Interval menu, in index order
inline const QStringList intervalCaptions
    = { QStringLiteral("30 seconds"), QStringLiteral("1 minute"), QStringLiteral("5 minutes"),
          QStringLiteral("10 minutes"), QStringLiteral("30 minutes") };
inline const QList<int> intervalTicks = { 1, 2, 10, 20, 60 };

// Net send
inline const QString on = QStringLiteral("on");
inline const QString off = QStringLiteral("off");
// The text the net-send box shows before any message is loaded (134 characters).
inline const QString initialNetSendText
    = QStringLiteral("Attention!  Attention!  A rolling blackout is immient.  Save your \r\n"
                     "work!  Please see your system administrator for further details.\r\n");
// The message used when there is no NetSend.ini.
inline const QString defaultNetSendMessage
    = QStringLiteral("Attention! Attention! A rolling blackout is imminent. Save your\r\n"
                     "work! Please see your system administrator for further details.");

// Status lines
inline const QString linePrefix = QStringLiteral("--");
inline const QString startedChecking = QStringLiteral("Started Checking...");
inline const QString accessingWebsite = QStringLiteral("Accessing SCE Website...");
inline const QString stoppedChecking = QStringLiteral("Stopped Checking...");
inline const QString checkIntervalNow = QStringLiteral("Check interval now ");
inline const QString messagesCleared = QStringLiteral("Status messages cleared...");
inline const QString stillTrying = QStringLiteral("Still trying...");
inline const QString successful = QStringLiteral("Successful...");
inline const QString noAlerts = QStringLiteral("No Alerts ");
inline const QString nextCheckIn = QStringLiteral("Next Check in ");
inline const QString lastChecked = QStringLiteral("Last checked ");
inline const QStringList serverNotFoundLines
    = { QStringLiteral("Server not found, or DNS"), QStringLiteral("   error! Check your SCE"),
          QStringLiteral("   URL for accuracy."), QStringLiteral("   Trying again...") };
inline const QStringList pageNotFoundLines
    = { QStringLiteral("Web page cannot be found!"), QStringLiteral("   Check your SCE URL"),
          QStringLiteral("   for accuracy."), QStringLiteral("   Trying again...") };
inline const QStringList wrongPageLines
    = { QStringLiteral("The SCE URL is incorrect!"), QStringLiteral("   Check your SCE URL"),
          QStringLiteral("   for accuracy."), QStringLiteral("   Trying again...") };

// What the page check looks for besides the browser's failure texts
inline const QString outageHeading = QStringLiteral("Communities Affected by Rotating Outages");

// Alerts
inline const QString alertTitle = QStringLiteral("Gridvane Alert!");
inline QString alertLine(const QString& code)
{
    return QStringLiteral("Group ") + code + QStringLiteral(" alert!");
}
inline QString alertBoxText(const QString& code)
{
    return QStringLiteral("Attention! Attention!\r\nGroup ") + code
        + QStringLiteral(" is on the Stage 2 alarm list!\r\n"
                         "To automatically access the SCE Alert website click Yes.");
}

// Error reports
inline const QString labelStartClick = QStringLiteral("--Start Click--");
inline const QString labelTimerEvent = QStringLiteral("--Timer Event--");
inline const QString labelSaveSettings = QStringLiteral("--SaveSettingsFile--");
inline const QString labelFormLoad = QStringLiteral("--Form Load--");
// A failure that escapes a handler with no label of its own, such as "--mnuInt_Click--"
inline QString escapedLabel(const char* handler)
{
    return QStringLiteral("--") + QLatin1String(handler) + QStringLiteral("--");
}
inline const QString settingsFileError = QStringLiteral("Settings.ini file Error!");
inline const QString netSendFileError = QStringLiteral("NetSend.ini file Error!");

// Files
inline const QString settingsFileName = QStringLiteral("/Settings.ini");
inline const QString netSendFileName = QStringLiteral("/NetSend.ini");

// Main window layout
inline const QString captionExit = QStringLiteral("E&xit");
inline const QString captionFile = QStringLiteral("&File");
inline const QString captionInterval = QStringLiteral("&Interval");
inline const QString captionHelp = QStringLiteral("&Help");
inline const QString captionAbout = QStringLiteral("&About");
inline const QString frameUrl = QStringLiteral("URL of SCE blackout information web page");
inline const QString frameStatus = QStringLiteral("Connection and Check status");
inline const QString frameGroups = QStringLiteral("Rotating Outage Groups to check");
inline const QString frameNetSend = QStringLiteral("Net Send Message (Windows NT/2000 users only)");
inline const QString captionNetSend
    = QStringLiteral("Enable Net Send message--Sent to all users current Domain.");

// About window
inline const QString aboutTitle = QStringLiteral("About Gridvane");
inline const QString aboutIntro = QStringLiteral(
    "Gridvane keeps an eye on Southern California Edison's rotating-outage page for you. "
    "Enter the outage groups printed on your electric bill; Gridvane checks the page at the "
    "interval you choose and alerts you as soon as one of your groups is listed, so there is "
    "time to save your work before the power goes off. "
    "Written by the Gridvane developers.");
inline const QString aboutNotice = QStringLiteral(
    "Gridvane is free to use and to share. Please pass it on unchanged, with this notice, to "
    "anyone who may need it.");
inline const QString aboutDate = QStringLiteral("Created January 2001");
inline const QString aboutSiteCaption = QStringLiteral("Gridvane web site:");
inline const QString aboutProgramming
    = QStringLiteral("Programming: the Gridvane developers, version ") + version
    + QStringLiteral(", March 2001");
inline const QString aboutConcept = QStringLiteral("Concept: the Gridvane developers");
inline const QString aboutBugs = QStringLiteral("Bugs/Comments:");
inline const QString aboutOutages = QStringLiteral("SCE's Outages:");
inline const QString aboutOk = QStringLiteral("OK");
inline const QString webSite = QStringLiteral("http://www.example.org/gridvane/");
inline const QString emailLink = QStringLiteral("mailto:gridvane@example.org");
inline const QString emailSubject = QStringLiteral("?Subject=Gridvane");

} // namespace gridvane::texts
