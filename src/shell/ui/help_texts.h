#pragma once

#include <QString>

// What's This texts of the main window's controls, by help topic.
namespace gridvane::help {

inline const QString url = QStringLiteral(
    "<b>Outage page URL</b><p>The address of the page on which SCE lists the rotating-outage "
    "groups affected now. Gridvane downloads this page at every check. Change it only when SCE "
    "moves the page; changing it stops checking, press Start again afterwards.</p>");

inline const QString status = QStringLiteral(
    "<b>Connection and check status</b><p>What Gridvane has done: each download, each result "
    "and any trouble reaching the page. The newest line is at the bottom. The log is emptied "
    "when checking starts and, during long runs, after about a hundred lines.</p>");

inline const QString groups = QStringLiteral(
    "<b>Rotating outage groups</b><p>Type one group code per box, as printed on your electric "
    "bill (for example A1). Gridvane searches the outage page for every code entered here and "
    "alerts you when one is listed. Empty all boxes to stop checking.</p>");

inline const QString start = QStringLiteral(
    "<b>Start / Stop</b><p>Starts checking the outage page at the interval chosen in the "
    "Interval menu; while checking, the button turns red and reads Stop. Each press also saves "
    "your settings.</p>");

inline const QString hide = QStringLiteral(
    "<b>Hide</b><p>Hides this window; Gridvane goes on checking from the notification area. "
    "Click the lightning bolt there to bring the window back.</p>");

inline const QString exit = QStringLiteral(
    "<b>Exit</b><p>Saves your settings, stops checking and ends Gridvane. Closing the window "
    "only hides it.</p>");

inline const QString netSendMessage = QStringLiteral(
    "<b>Broadcast message</b><p>The text sent to every user logged in to this computer when one "
    "of your groups is listed, if broadcasting is enabled below. Unavailable where messages "
    "cannot be broadcast.</p>");

inline const QString netSendOption = QStringLiteral(
    "<b>Enable broadcast</b><p>When checked, an alert also sends the message above to every "
    "user logged in to this computer, in addition to the alert box on your own screen.</p>");

} // namespace gridvane::help
