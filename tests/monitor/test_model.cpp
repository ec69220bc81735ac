// The window model on fakes and real files: checking, the page check and the alert, start-up
// and the settings files, the edit handlers, the window's visibility and its end.
#include "fakes/fakes.h"
#include "monitor/time_stamp.h"

#include <QSignalSpy>
#include <QTest>
#include <csignal>
#include <sys/wait.h>

using namespace gridvane;
using namespace gridvane::testing;
enum Trouble { Fine, UnreadableMessage, MessageIsAFolder, NoMemory, NoTray, NoBroadcast };

namespace {

const QString heading = texts::outageHeading, checking = "&Stop red, ticking, checking";
const QString started = "--Started Checking...\r\n--Accessing SCE Website...\r\n";

QString lines(const QStringList& messages) // as the log shows them
{
    return messages.isEmpty() ? "" : "--" + messages.join("\r\n--") + "\r\n";
}

QString records(const QString& values) // Settings.ini's, from values split at "|"
{
    return '"' + QString(values).replace('|', "\"\r\n\"") + "\"\r\n";
}

// The schedule as the window shows it, and whether a download would be checked.
QString schedule(const frmGridvane& f)
{
    const quint32 colour = f.cmdStart.BackColor();
    return f.cmdStart.Caption()
        + (colour == 255          ? " red"
                : colour == 65280 ? " green"
                                  : " ?")
        + (f.cmdStart.Enabled() ? "" : " disabled") + (f.Timer1.Enabled() ? ", ticking" : "")
        + (f.blnChecking ? ", checking" : "");
}

// Where the window is, the File menu's caption, and a log caret anywhere but at the end.
QString window(const frmGridvane& f)
{
    return QString(f.minimized() ? "minimised "
                   : f.visible() ? "shown "
                                 : "hidden ")
        + f.mnuShow.Caption()
        + (f.txtStatus.SelStart() == f.txtStatus.Text().size() ? "" : " astray");
}

} // namespace

class ModelTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void checksFireAtTheInterval_data()
    {
        QTest::addColumn<int>("entry"); // of the interval menu, or -1 for a text none has
        QTest::addColumn<int>("ticks"); // from one check to the next
        QTest::newRow("30 seconds: every tick") << 0 << 1;
        QTest::newRow("1 minute: every second tick") << 1 << 2;
        QTest::newRow("5 minutes: every tenth tick") << 2 << 10;
        QTest::newRow("10 minutes: every twentieth tick") << 3 << 20;
        QTest::newRow("30 minutes: every sixtieth tick") << 4 << 60;
        QTest::newRow("a text no menu entry has: every tick") << -1 << 1;
    }
    void checksFireAtTheInterval()
    {
        QFETCH(int, entry);
        QFETCH(int, ticks);
        Harness h;
        QVERIFY(h.form.Timer1.Interval == 30000 && h.form.mnuInt[0].Checked());
        if (entry >= 0)
            h.form.mnuInt_Click(qint16(entry));
        h.form.txtURL.setText("u");
        h.browser.calls.clear();
        // A start begins a fresh log, cancels any download and checks at once.
        h.form.cmdStart_Click();
        QCOMPARE(h.log() + schedule(h.form), started + checking);
        QCOMPARE(h.browser.calls, QStringList({ "Stop", "Navigate u 2" }));
        const auto tick = [&](int times) {
            while (times-- > 0)
                h.form.Timer1_Timer();
            return h.browser.calls.size();
        };
        QCOMPARE(tick(ticks - 1), 2);
        QCOMPARE(tick(1), 3);
        QCOMPARE(tick(ticks), 4);
        // Choosing an interval, the same one too, counts from the choice.
        tick(ticks - 1);
        h.form.mnuInt_Click(qint16(std::max(entry, 0)));
        QCOMPARE(tick(ticks - 1), 4);
        // Stopping keeps the log.
        const QString log = h.log() + lines({ "Stopped Checking..." });
        h.form.cmdStart_Click();
        QCOMPARE(h.log() + schedule(h.form), log + "&Start green");
    }

    // A busy browser, the log's emptying, failures that halt checking, a save that fails.
    void checkingCarriesOnOrHaltsAsItMust()
    {
        Harness h;
        h.browser.busyAfterNavigate = true;
        // A pending start comes with the first tick, which checks too; the next only checks.
        h.form.blnAutoStart = True;
        h.form.Timer1_Timer(), h.form.Timer1_Timer();
        QCOMPARE(h.log(), started + lines({ "Still trying...", "Still trying..." }));
        while (h.form.intStatusCount < 99)
            h.form.AddStatus("", True);
        h.form.AddStatus("", False); // not counted: it brings the emptying no nearer
        h.form.Timer1_Timer();
        QVERIFY(h.browser.calls.size() == 2 && h.log().endsWith("--\r\n--Still trying...\r\n"));
        h.form.Timer1_Timer();
        QCOMPARE(h.log(), lines({ "Status messages cleared...", "Still trying..." }));
        // A failure halts with its handler's box; a press then stops, the next starts.
        h.browser.failure = TrappedError(424, "Object required");
        h.browser.busy = h.browser.busyAfterNavigate = false;
        h.form.Timer1_Timer();
        QCOMPARE(h.boxes.texts() << schedule(h.form),
            QStringList({ "--Timer Event--\r\n424", "&Stop red" }));
        QVERIFY(h.boxes.shown[0].title == "Gridvane" && h.boxes.shown[0].buttons == BoxButtons::Ok);
        h.browser.failure.reset();
        h.form.cmdStart_Click();
        QCOMPARE(schedule(h.form), "&Start green");
        // A pending start that runs out of memory is reported; the tick goes on.
        h.form.blnAutoStart = True;
        h.browser.outOfMemory = true;
        h.form.Timer1_Timer();
        QCOMPARE(h.boxes.texts().mid(1),
            QStringList({ "--Start Click--\r\n7", "--Timer Event--\r\n7" }));
        h.browser.outOfMemory = false;
        // A save that fails stops checking and leaves the other file, but a start still starts.
        h.form.cmdStart_Click();
        QVERIFY(QFile::remove(h.settingsPath()) && QDir().mkpath(h.settingsPath()));
        QVERIFY(writeFile(h.netSendPath(), "old"));
        h.form.cmdStart_Click();
        QCOMPARE(
            h.boxes.texts().last() + schedule(h.form), "--SaveSettingsFile--\r\n75" + checking);
        h.form.requestClose();
        QCOMPARE(schedule(h.form) + readFile(h.netSendPath()), "&Stop redold");
    }

    // Boxes 2 and 5 hold a12 and B3; box 7 holds A1 but no code tag, and a box counts by its tag.
    void pageCheckTellsWhatThePageSays_data()
    {
        QTest::addColumn<std::optional<QString>>("page"); // none when the download left none
        QTest::addColumn<QString>("failing"); // a search that fails
        QTest::addColumn<QStringList>("logged");
        const std::optional<QString> a12 = heading + " a12", none;
        const QStringList alert { "Group a12 alert!", "Stopped Checking..." };
        QTest::newRow("server not found, whatever else")
            << std::optional(serverNotFoundText + " HTTP 404 " + *a12) << ""
            << texts::serverNotFoundLines;
        QTest::newRow("no page at all: server not found")
            << none << "" << texts::serverNotFoundLines;
        QTest::newRow("page not found, even with the heading")
            << std::optional("HTTP 404 " + *a12) << "" << texts::pageNotFoundLines;
        QTest::newRow("no heading: the wrong page")
            << std::optional<QString>("a12") << "" << texts::wrongPageLines;
        QTest::newRow("a failed search for the heading: the wrong page")
            << a12 << heading << texts::wrongPageLines;
        QTest::newRow("none listed: three counted lines and the tip")
            << std::optional(heading + " A1") << ""
            << QStringList { "Successful...", "No Alerts 6 Dec 2026 14:30:15",
                   "Next Check in 5 Minutes" };
        QTest::newRow("the first box listed, in index order")
            << std::optional(heading + " B3 A12") << "" << alert;
        QTest::newRow("a failed search for a code: listed") << std::optional(
            heading) << "B3" << QStringList { "Group B3 alert!", "Stopped Checking..." };
    }
    void pageCheckTellsWhatThePageSays()
    {
        QFETCH(std::optional<QString>, page);
        QFETCH(QString, failing);
        QFETCH(QStringList, logged);
        Harness h;
        h.form.txtGroup[2].setText("a12"), h.form.txtGroup[5].setText("B3"),
            h.form.txtGroup[7].setText("A1");
        h.form.txtGroup[7].Tag = "0";
        h.browser.failingSearch = failing;
        h.browser.complete(page); // not checking: nothing changes
        QCOMPARE(h.log(), "");
        h.form.cmdStart_Click();
        h.browser.complete(page);
        QCOMPARE(h.log(), started + lines(logged));
        QCOMPARE(
            h.tray.tips.join(""), logged.size() == 3 ? "Last checked 6 Dec 2026 14:30:15" : "");
        QCOMPARE(h.form.intStatusCount, logged.size() == 3 ? 5 : logged.size() == 2 ? 3 : 2);
        QCOMPARE(h.boxes.shown.size(), size_t(logged.size() == 2));
        // A result is logged once a second, the tip written each time; a restart resets neither.
        if (h.form.blnChecking)
            h.form.cmdStart_Click();
        h.form.cmdStart_Click();
        h.browser.complete(page);
        QCOMPARE(h.log(), started + (logged.size() == 3 ? "" : lines(logged)));
        QCOMPARE(h.tray.tips.size(), logged.size() == 3 ? 2 : 0);
    }

    // The stamps of the log and of the tip are two readings of the clock.
    void noAlertResultAndTipReadTheClockApart()
    {
        Harness h;
        h.clock.step = 1;
        h.form.cmdStart_Click();
        h.browser.complete(heading);
        QVERIFY(h.log().contains("No Alerts 6 Dec 2026 14:30:15"));
        QCOMPARE(h.tray.tips, QStringList { "Last checked 6 Dec 2026 14:30:16" });
    }

    void alertStopsAndSavesBeforeItsBoxThenBroadcastsAndOpens_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QStringList>("asked"); // of the desktop, answering No, then Yes
        QTest::newRow("the option on: the broadcast, seven words to a line, and the page on Yes")
            << "on" << texts::defaultNetSendMessage << "http://a/"
            << QStringList { "broadcast Attention! Attention! A rolling blackout is "
                             "imminent.\r\nSave your\r\n"
                             "work! Please see your system administrator\r\nfor further details.",
                   "broadcast a b c d e f g\r\n", "open http://a/" };
        QTest::newRow("the option on only as \"on\"; an address without a scheme is http")
            << "On"
            << ""
            << " w.example/o\t" << QStringList { "open http://w.example/o" };
        for (const char* url : { "/usr/bin/xterm", "javascript:alert(1)", "http:///x" })
            QTest::newRow(qPrintable(QString("never a file, a script or no host: ") + url))
                << "off"
                << "" << url << QStringList();
    }
    void alertStopsAndSavesBeforeItsBoxThenBroadcastsAndOpens()
    {
        QFETCH(QString, option);
        QFETCH(QString, message);
        QFETCH(QString, url);
        QFETCH(QStringList, asked);
        Harness h;
        h.form.txtURL.setText(url), h.form.txtNetSend.setText(message),
            h.form.txtGroup[3].setText("b7");
        h.form.strNetSend = option;
        h.boxes.answers << answerNo << answerYes;
        QString whileOpen; // the log's end, the schedule and the settings file
        h.boxes.onShow = [&] {
            whileOpen = h.log().section("--", -2) + schedule(h.form)
                + (QFile::exists(h.settingsPath()) ? " saved" : "");
        };
        for (int round = 0; round < 2; ++round) {
            h.form.cmdStart_Click();
            QVERIFY(QFile::remove(h.settingsPath()));
            h.browser.complete(heading + " B7");
            QCOMPARE(whileOpen, "Group b7 alert!\r\n--Stopped Checking...\r\n&Start green saved");
            h.form.txtNetSend.setText(
                "a b c d e f g "); // a seventh blank at the end breaks the line
        }
        const BoxRequest& box = h.boxes.shown.at(1);
        QCOMPARE(box.title + '|' + box.text,
            "Gridvane Alert!|Attention! Attention!\r\nGroup b7 is on the Stage "
            "2 alarm list!\r\nTo automatically access the SCE Alert website click Yes.");
        QVERIFY(box.buttons == BoxButtons::YesNo && box.icon == BoxIcon::Critical && box.urgent);
        QCOMPARE(h.desktop.requests, asked);
        QVERIFY(h.tray.tips.isEmpty());
    }

    void startUpReadsTheSettingsFiles_data()
    {
        QTest::addColumn<QByteArray>("settings"); // Settings.ini; none when null
        QTest::addColumn<QByteArray>("message"); // NetSend.ini; none when null
        QTest::addColumn<Trouble>("trouble");
        QTest::addColumn<QString>("shows"); // boxes, the window, the schedule, the option, the log
        QTest::addColumn<QString>("saved"); // Settings.ini after a save, then NetSend.ini
        const QByteArray none, m("m\0", 2), blanks = records("u|x|on|   |B2").toUtf8();
        const QString fallback = "|" + texts::defaultNetSendMessage,
                      first = "|" + texts::initialNetSendText;
        const QString pending = "hidden &Hide, &Start green, ticking, ",
                      codes = "B|C|D|E|F|G|H|I|J|K|L|M|N";
        const QString stops = "on|--Stopped Checking...\r\n--Stopped Checking...\r\n";
        QTest::newRow("no files: the defaults, Start waits for a code, nothing written")
            << none << none << Fine << "shown &Hide, &Start green disabled, off|"
            << records(texts::defaultUrl + "|30 seconds|off") + fallback;
        QTest::newRow("saved codes: hidden, checking by itself, the interval chosen")
            << records("u|30 seconds|on|A1").toUtf8() << m << Fine
            << pending + "on|--Check interval now 30 seconds\r\n"
            << records("u|30 seconds|on|A1") + "|m";
        QTest::newRow("three records, one cut at a quote with the rest of its line")
            << QByteArray("\"u,\"b\",\"x\"\r\n\"x\"\r\n\"on\"\r\n") << none << Fine
            << "shown &Hide, &Start green disabled, on|" << records("u,|x|on") + fallback;
        QTest::newRow("two records end start-up, keeping what was read")
            << records("u|1 minute").toUtf8() << m << Fine
            << "--Form Load--\r\nSettings.ini file Error!\r\n62|shown &Hide, &Start green, "
               "off|--Check interval now 1 minute\r\n"
            << records("u|1 minute|") + first;
        QTest::newRow("an unreadable NetSend.ini ends start-up")
            << records("u|x|on|A1").toUtf8() << none << UnreadableMessage
            << "--Form Load--\r\nNetSend.ini file Error!\r\n75|shown &Hide, &Start green, on|"
            << "";
        QTest::newRow("no way to broadcast: the option off and greyed, the first message kept")
            << records("u|x|on").toUtf8() << m << NoBroadcast
            << "shown &Hide, &Start green disabled, off greyed|" << records("u|x|off") + first;
        QTest::newRow("unquoted, LF line ends, no last line end, UTF-8 and windows-1252")
            << QByteArray("u , x\non\nA1\n\xC3\xBC\r\n\"\xFC\x80\"") << none << Fine
            << pending + "on|" << records("u|x|on|A1|\u00fc|\u00fc\u20ac") + fallback;
        QTest::newRow(
            "the interval and switch in another case, blanks around codes, fourteen at most")
            << records("u|1 Minute|ON| A |" + codes + "|O").toUtf8() << none << Fine
            << pending + "off|" << records("u|1 Minute|off|A|" + codes) + fallback;
        QTest::newRow("an empty code starts checking by itself; with no tray, minimised")
            << records("u|x|off|").toUtf8() << none << NoTray
            << "minimised &Hide, &Start green, ticking, off|" << records("u|x|off") + fallback;
        QTest::newRow("a code of blanks stops checking; the save waits for both files")
            << blanks << m << Fine << pending + stops << records("u|x|on|B2") + "|m";
        QTest::newRow("a held-back save that fails leaves checking to start by itself")
            << blanks << none << MessageIsAFolder << "--SaveSettingsFile--\r\n75|" + pending + stops
            << "";
        QTest::newRow("the library failing, as when memory runs out")
            << none << none << NoMemory
            << "--Form Load--\r\nSettings.ini file Error!\r\n7|shown &Hide, &Start green, off|"
            << "";
    }
    void startUpReadsTheSettingsFiles()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QByteArray, message);
        QFETCH(Trouble, trouble);
        QFETCH(QString, shows);
        QFETCH(QString, saved);
        Harness h;
        QVERIFY(settings.isNull() || writeFile(h.settingsPath(), settings));
        QVERIFY(message.isNull() || writeFile(h.netSendPath(), message));
        h.system.broadcast = trouble != NoBroadcast;
        h.system.outOfMemory = trouble == NoMemory;
        h.tray.available = trouble != NoTray;
        QVERIFY(trouble != UnreadableMessage || QFile::link("/proc/self/mem", h.netSendPath()));
        QVERIFY(trouble != MessageIsAFolder || QDir().mkpath(h.netSendPath()));
        h.form.Form_Load();
        const bool greyed = !h.form.chkNetSend.Enabled() || !h.form.txtNetSend.Enabled();
        const QString option
            = QString(h.form.chkNetSend.Value() ? "on" : "off") + (greyed ? " greyed" : "");
        QCOMPARE(
            (h.boxes.texts() << window(h.form) + ", " + schedule(h.form) + ", " + option << h.log())
                .join('|'),
            shows);
        QCOMPARE(QFile::exists(h.settingsPath()), !settings.isNull());
        if (saved.isEmpty())
            return;
        h.form.SaveSettingsFile();
        const QByteArray utf16 = readFile(h.netSendPath());
        QCOMPARE(readFile(h.settingsPath()) + '|'
                + QString::fromUtf16(
                    reinterpret_cast<const char16_t*>(utf16.data()), utf16.size() / 2),
            saved);
    }

    void editsTagCodesAndStopChecking_data()
    {
        QTest::addColumn<QStringList>("typed"); // into box 0, then box 1, then box 0 again
        QTest::addColumn<QString>("boxes"); // the two boxes' texts and tags
        QTest::addColumn<int>("stops");
        QTest::newRow("blanks around a code go, inside it stay")
            << QStringList { "  A 1 " } << "A 1 [1]  [0]" << 0;
        QTest::newRow("a tab stays part of a code")
            << QStringList { "\tB2" } << "\tB2 [1]  [0]" << 0;
        QTest::newRow("white space alone is no code, but stays in its box")
            << QStringList { "\t", "\u00a0" } << "\t [] \u00a0 []" << 2;
        QTest::newRow("a blank alone goes at once, and stops twice")
            << QStringList { " " } << " []  [0]" << 2;
        QTest::newRow("removing the last code stops, saves and disables Start")
            << QStringList { "A1", "", "" } << " []  [0]" << 1;
        QTest::newRow("removing one of two codes goes on checking")
            << QStringList { "A1", "B2", "" } << " [] B2 [1]" << 0;
    }
    void editsTagCodesAndStopChecking()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, boxes);
        QFETCH(int, stops);
        Harness h;
        h.form.cmdStart_Click();
        QVERIFY(QFile::remove(h.settingsPath()));
        for (int i = 0; i < typed.size(); ++i)
            h.form.txtGroup[i % 2].setText(typed[i]);
        const TextBox* box = h.form.txtGroup.data();
        QCOMPARE(box[0].Text() + " [" + box[0].Tag + "] " + box[1].Text() + " [" + box[1].Tag + "]",
            boxes);
        QCOMPARE(h.log().count("Stopped Checking..."), stops);
        QCOMPARE(schedule(h.form), stops ? "&Start green disabled" : checking);
        QCOMPARE(QFile::exists(h.settingsPath()), stops > 0);
    }

    void everyUrlEditStopsAndSavesButNotTheOneReadAtStartUp()
    {
        Harness h;
        QVERIFY(writeFile(h.settingsPath(), records("u|x|off|A12").toUtf8()));
        h.form.Form_Load();
        h.form.chkNetSend.setValue(1);
        for (const char* url : { "ux", "ux", "uxy" })
            h.form.txtURL.setText(url);
        QCOMPARE(h.log().count("Stopped Checking..."), 2);
        QCOMPARE(readFile(h.settingsPath()), records("uxy|x|on|A12"));
    }

    void windowHidesToTheTrayAndComesBack()
    {
        Harness h;
        QVERIFY(writeFile(h.settingsPath(), records("u|30 seconds|off|A1").toUtf8()));
        h.form.Form_Load();
        QSignalSpy front(&h.form.events, &ModelEvents::frontRequested);
        const auto after = [&](auto request) {
            h.form.AddStatus("x", False), h.form.txtStatus.setSelStart(0);
            request();
            return window(h.form);
        };
        // The first click on the tray icon shows the window and starts a pending check, once.
        QCOMPARE(after([&] { Q_EMIT h.tray.MouseEvent(); }), "shown &Hide");
        QCOMPARE(schedule(h.form), checking);
        h.form.Timer1_Timer();
        QCOMPARE(h.log().count("Started Checking...") * 10 + front.count(), 11);
        QCOMPARE(after([&] { h.form.cmdHide_Click(); }), "hidden &Show");
        QCOMPARE(after([&] { Q_EMIT h.tray.MouseEvent(); }), "shown &Hide");
        QCOMPARE(after([&] { h.form.requestClose(); }), "hidden &Show");
        QVERIFY(QFile::remove(h.settingsPath()));
        QCOMPARE(after([&] { h.form.requestClose(); }), "shown &Hide");
        QVERIFY(QFile::exists(h.settingsPath()) && h.form.loaded());
        // Without a notification area the window minimises; a minimised one counts as hidden.
        h.tray.available = false;
        QCOMPARE(after([&] { h.form.mnuShow_Click(); }), "minimised &Show");
        QCOMPARE(after([&] { Q_EMIT h.tray.MouseEvent(); }), "shown &Hide");
        QCOMPARE(
            after([&] { h.form.windowMinimized(), Q_EMIT h.tray.MouseEvent(); }), "shown &Hide");
        h.tray.available = true;
        QCOMPARE(after([&] { h.form.windowMinimized(), h.form.requestClose(); }), "hidden &Show");
        // A hidden window comes back when the notification area goes away.
        h.tray.available = false;
        QCOMPARE(after([&] { h.form.Timer1_Timer(); }), "shown &Hide");
    }

    void exitOrTheSessionsEndCancelsTheDownloadSavesAndTakesTheIcon()
    {
        for (const bool session : { false, true }) {
            Harness h;
            QSignalSpy unloaded(&h.form.events, &ModelEvents::unloaded);
            h.form.cmdStart_Click();
            QVERIFY(QFile::remove(h.settingsPath()));
            h.browser.calls.clear();
            session ? h.form.cmdHide_Click(), h.form.endSession() : h.form.mnuExit_Click();
            QCOMPARE(h.browser.calls, QStringList { "Stop" });
            QVERIFY(QFile::remove(h.settingsPath()) && h.tray.removed && !h.form.loaded());
            // Later requests change nothing.
            QVERIFY(h.form.requestClose());
            h.form.endSession();
            QVERIFY(!QFile::exists(h.settingsPath()) && unloaded.count() == 1);
        }
    }

    // In every locale: no time-zone field or what framed it, and the seconds, or at midnight,
    // to the second, the date alone.
    void timeStampIsTheLocalesGeneralDateWithSeconds()
    {
        const QRegularExpression leftOver("[(\\[]\\s*[)\\]]|[\\s,]$|\\p{Cc}");
        for (const QTime time : { QTime(14, 5, 9), QTime(0, 0, 0, 400) }) {
            const QDateTime moment(QDate(2026, 12, 6), time);
            for (const QLocale& locale : QLocale::matchingLocales(
                     QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
                const QString stamp = generalDate(moment, locale);
                QVERIFY2(!stamp.contains(leftOver)
                        && (time.hour()
                                ? stamp.contains(locale.toString(moment, "s"))
                                : stamp == locale.toString(moment.date(), QLocale::ShortFormat)),
                    qPrintable(locale.name() + ": " + stamp));
            }
        }
    }

    // Quoted records and UTF-16, each file written whole or not at all: saves stopped and
    // killed at many moments, most of them holding a temporary file open, leave each file the
    // old or the new version.
    void savesAreWholeWhenKilled()
    {
        Harness h;
        const auto save = [&](const QString& code, const QString& message) {
            h.form.txtGroup[0].setText(code), h.form.txtNetSend.setText(message);
            h.form.SaveSettingsFile();
            return QByteArrayList { readFile(h.settingsPath()), readFile(h.netSendPath()) };
        };
        h.form.txtURL.setText("http://a/,b c");
        const QByteArrayList versions
            = save("A12", "Hi\r\n\u20ac") + save("B", QString(200000, 'b'));
        QCOMPARE(versions[0] + versions[1],
            "\"http://a/,b c\"\r\n\"5 Minutes\"\r\n\"\"\r\n\"A12\"\r\n"
                + QByteArray("H\0i\0\r\0\n\0\xac\x20", 10));
        int midSave = 0;
        for (int round = 0; round < 40; ++round) {
            const pid_t saver = fork();
            while (saver == 0) // the child saves both versions in turn until it is killed
                save("A12", "Hi\r\n\u20ac"), save("B", QString(200000, 'b'));
            QTest::qSleep(1 + round % 19);
            QVERIFY(saver > 0 && kill(saver, SIGSTOP) == 0);
            for (const QFileInfo& fd :
                QDir(QString("/proc/%1/fd").arg(saver)).entryInfoList(QDir::Files | QDir::System))
                midSave += fd.symLinkTarget().startsWith(h.system.configDir);
            QVERIFY(kill(saver, SIGKILL) == 0 && waitpid(saver, nullptr, 0) == saver);
            const QByteArray settings = readFile(h.settingsPath()),
                             message = readFile(h.netSendPath());
            QVERIFY2((settings == versions[0] || settings == versions[2])
                    && (message == versions[1] || message == versions[3]),
                "a file is neither version");
        }
        QVERIFY2(midSave > 0, "no kill landed during a save");
    }
};

QTEST_GUILESS_MAIN(ModelTest)
#include "test_model.moc"
