// The model with fakes and real files: checking, alerts, the window's rules, the settings,
// start-up and the edit handlers. Most tests are scenarios; see Harness::run for their steps.
#include "fakes/fakes.h"
#include "monitor/time_stamp.h"

#include <QTest>
#include <csignal>
#include <sys/wait.h>

using namespace gridvane::testing;

const char* transcript();

class ModelTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Rows from the transcript of scenarios at the end of this file: each begins with a line
    // "# <name>", and a line that begins with blanks goes on with the line before it.
    void modelFollowsItsRules_data()
    {
        QTest::addColumn<QStringList>("lines");
        QList<QStringList> rows;
        const QString text = QString(transcript()).replace(QRegularExpression("\n +"), " ");
        for (const QString& line : text.split('\n', Qt::SkipEmptyParts))
            line.startsWith("# ") ? rows.append({ line.mid(2) }) : rows.last().append(line);
        for (QStringList row : rows)
            QTest::newRow(qPrintable(row.takeFirst())) << row;
    }
    // Plays a scenario: a line that goes on with "=> <trace>", or "=> ...<the end of a trace>",
    // must leave that trace.
    void modelFollowsItsRules()
    {
        QFETCH(QStringList, lines);
        Harness h;
        for (const QString& line : lines) {
            const QString traced = h.run(line.section(" =>", 0, 0)), want = line.section("=> ", 1);
            if (line.contains(" =>") && !(want.startsWith("...") && traced.endsWith(want.mid(3))))
                QCOMPARE(traced, want);
        }
    }

    void timeStampIsTheLocalesGeneralDateWithSecondsInEveryLocale()
    {
        // The time-zone field goes with the brackets and separators around it, in every locale.
        const QRegularExpression leftOver("[(\\[]\\s*[)\\]]|[\\s,]$|\\p{Cc}");
        const QDateTime moment(QDate(2026, 12, 6), QTime(14, 5, 9));
        // Midnight, to the second, shows the date alone.
        QCOMPARE(gridvane::generalDate(QDateTime(moment.date(), QTime(0, 0, 0, 400)), QLocale::c()),
            QLocale::c().toString(moment.date(), QLocale::ShortFormat));
        for (const QLocale& locale : QLocale::matchingLocales(
                 QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
            const QString stamp = gridvane::generalDate(moment, locale);
            QVERIFY2(!stamp.contains(leftOver) && stamp.contains(locale.toString(moment, "s")),
                qPrintable(locale.name() + ": " + stamp));
        }
    }

    void savesWriteQuotedRecordsAndUtf16WhichAKillLeavesWholeInTheOldOrNewVersion()
    {
        Harness h;
        const QString versions[] = { "url http://a/,b c; interval 2; code 2 A12; code 5 B3; check "
                                     "1; message Hi\\r\\n\u20ac; save",
            "code 0 b; message " + QString(200000, 'b') + "; save" };
        QByteArrayList whole;
        for (const QString& version : versions)
            h.run(version), whole << readFile(h.settingsPath()) << readFile(h.netSendPath());
        QCOMPARE(whole[0], "\"http://a/,b c\"\r\n\"5 minutes\"\r\n\"on\"\r\n\"A12\"\r\n\"B3\"\r\n");
        QCOMPARE(whole[1], QByteArray("H\0i\0\r\0\n\0\xac\x20", 10));
        for (int round = 0; round < 40; ++round) {
            const pid_t saver = fork();
            while (saver == 0) // the child saves both versions in turn until it is killed
                h.run(versions[0]), h.run(versions[1]);
            QTest::qSleep(1 + round % 19); // a kill at many points of a save
            QVERIFY(saver > 0 && kill(saver, SIGKILL) == 0 && waitpid(saver, nullptr, 0) == saver);
            QVERIFY(whole.contains(readFile(h.settingsPath()))
                && whole.contains(readFile(h.netSendPath())));
        }
    }
};

QTEST_GUILESS_MAIN(ModelTest)
#include "test_model.moc"

const char* transcript()
{
    return R"(
# starting begins a fresh log and navigates, stopping keeps it; the log empties after 100 lines
url u; interval 0; busy; press; tick; press; saved?; state?; count? => Stopped, Check interval
    now 30 seconds, Started, Accessing, Still trying, Stopped, saved, stopped, count 4
browser?; log? => Stop, Stop, Navigate u 2, Stop, --Started Checking...\r\n--Accessing SCE
    Website...\r\n--Still trying...\r\n--Stopped Checking...\r\n
press; interval*97 0; tick; tick; count?; log? => ...Still trying, Status messages cleared...,
    Still trying, count 2, --Status messages cleared...\r\n--Still trying...\r\n
# ticks fire at the interval; choosing one, or starting, restarts the count
interval 1; press; tick*3 => Check interval now 1 minute, Started, Accessing, Accessing
interval 2; tick*9; state?; tick => Check interval now 5 minutes, checking, Accessing
interval 3; tick*19; state?; tick => Check interval now 10 minutes, checking, Accessing
interval 1; tick; press; press; tick => Check interval now 1 minute, Stopped, Started, Accessing
# an automatic start comes with the first tick, which fires too; a failure halts checking
auto; tick*2 => Started, Accessing, Accessing, Accessing
fail; tick; state? => box --Timer Event--\r\n424 -, halted
fail; press; press; state? => Stopped, Started, Accessing, checking
press; fail; auto; tick => Stopped, Started, Accessing, box --Start Click--\r\n424 -,
    box --Timer Event--\r\n424 -
# a failure of the library, such as memory running out, is trapped with the handler's own label
nomemory; auto; tick; state? => Started, Accessing, box --Start Click--\r\n7 -, box --Timer Event--\r\n7 -, halted
load => box --Form Load--\r\nSettings.ini file Error!\r\n7 -
# a failed save stops checking and leaves both files, but a start still starts
unwritable; press; state? => box --SaveSettingsFile--\r\n75 -, Started, Accessing, checking
message.ini old; close; state?; message? => box --SaveSettingsFile--\r\n75 -, halted, old
# the page check: failure texts first, then the codes; three counted lines once a second
code 0 A1; page A1; press; page HTTP 404 Cannot find server or DNS Error; page HTTP 404 A1;
    otherpage Welcome A1; nopage; count? => Started, Accessing, Server not found, or DNS,
    Web page cannot be found!, The SCE URL is incorrect!, Server not found, or DNS, count 2
page; page; count? => Successful..., No Alerts, Next Check in 5 Minutes, tip, tip, count 5
# a heading search that fails counts as a wrong page; the log and the tip read the clock apart
code 0 A1; press; failsearch Communities Affected by Rotating Outages; page A1 => Started,
    Accessing, The SCE URL is incorrect!
ticking; failsearch; page; stamps? => ...No Alerts 6 Dec 2026 14:30:15\r\nLast checked 6 Dec 2026
    14:30:16
# the first listed box raises the alert, which stops and saves before its box
url http://a/; code 2 a12; code 5 B3; check 1; message Go; answer yes; onbox state?, saved?; press
saved?; page B3 A12; page A12 => saved, Group a12 alert!, Stopped, alert Attention!
    Attention!\r\nGroup a12 is on the Stage 2 alarm list!\r\nTo automatically access the SCE
    Alert website click Yes., stopped, saved, broadcast Go, open http://a/
# broadcasts follow the switch, seven words to a line; Yes opens only web pages, http by default
load; code 0 B7; check 1; press; page B7 => ...Yes., broadcast Attention! Attention! A rolling
    blackout is imminent.\r\nSave your\r\nwork! Please see your system administrator\r\nfor
    further details.
message 1 2 3 4 5 6 7 8; press; page B7 => ...Yes., broadcast 1 2 3 4 5 6 7\r\n8
check 0; answer*5 yes; url  w.example/o\t; press; page B7 => ...Yes., open http://w.example/o
url /usr/bin/xterm; press; page B7 => ...Yes.
url file://localhost/etc/passwd; press; page B7 => ...Yes.
url javascript:alert(1); press; page B7 => ...Yes.
url http:///x; press; page B7 => ...Yes.
# Hide, the tray and close requests (which save) toggle the window, minimised or trayless too
hide; window?; tray; window?; press; saved?; close; tick; window?; state? => hidden/Show, front,
    shown/Hide, Started, Accessing, saved, Accessing, hidden/Show, checking
caret 0; close; window?; saved?; minimised; tray; window?; minimised; close; window?; notray; tick;
    window? => shown/Hide, saved, front, shown/Hide, hidden/Show, Accessing, shown/Hide
# the first tray click carries out a pending start; without a notification area Hide minimises
file x|30 seconds|off|A1; load; window? => Check interval now 30 seconds, hidden/Hide
tray; window?; tick*2; tray => front, Started, Accessing, shown/Hide, Accessing, Accessing
notray; tray; hide; window?; restored; window? => front, minimised/Show, shown/Hide
# Exit cancels the download, saves and takes the icon; later requests change nothing
busy; press; saved?; exit; state?; saved?; close; saved? => Started, Accessing, saved,
    icon removed, unloaded, halted, saved, not saved
# first start writes nothing, Start waits for a code (trimmed); a URL read later stops nothing
load; state?; saved?; code 4 A; state?; box? 4 => stopped disabled, not saved, stopped, 'A' '1'
save; settings? => http://www.sce.com/003_safety_first/003e1_ro_grp_number.shtml|30 seconds|off|A
code 0   A 1  ; box? 0; code 1 \tB2; box? 1 => 'A 1' '1', '\tB2' '1'
file http://www.sce.com/003_safety_first/003e1_ro_grp_number.shtml|x|off; load; url y => Stopped
# removing the last code, not one of two, stops, saves and disables Start; a blank stops twice
code 0 A1; code 3 B2; press; code 0; box? 0; state? => Started, Accessing, '' '', checking
saved?; code 3; state?; saved? => saved, Stopped, stopped disabled, saved
code 2  ; box? 2; state? => Stopped, Stopped, '' '', stopped disabled
# every change of the URL stops and saves, not the URL read at start-up; the session's end saves
file u|x|off|A12; load; url x; saved?; url xy; url xy; saved? => Stopped, saved, Stopped, saved
hide; session; saved? => icon removed, unloaded, saved
# a quote ends a quoted value and the rest of its line; three records start nothing
raw "u,"b","x"\r\n"x"\r\n"on"\r\n; auto; load; state?; save; settings? => stopped disabled, u,|x|on
# unquoted fields, LF line ends and no last line end; lines in UTF-8 or windows-1252
raw u , x\non\nA1\n\xC3\xBC\r\n"\xFC\x80"; load; send?; save; settings? => on ticked, u|x|on|A1|ü|ü€
# interval and switch in the wrong case, blanks around codes, at most 14 codes
file u|1 Minute|ON| A |B|C|D|E|F|G|H|I|J|K|L|M|N|O; load; save; settings?
    => u|1 Minute|off|A|B|C|D|E|F|G|H|I|J|K|L|M|N
# an empty code record arms the automatic start; without a tray the window minimises
file u|x|off|; notray; load; window?; state?; box? 0 => minimised/Hide, pending, '' '0'
# an empty Settings.ini, or an unreadable NetSend.ini, ends start-up
raw ; load; window? => box --Form Load--\r\nSettings.ini file Error!\r\n62 -, shown/Hide
file u|x|off|A1; unreadable; load; state? => box --Form Load--\r\nNetSend.ini file Error!\r\n75 -,
    stopped
# two records end start-up keeping what was read; without broadcasts net send is forced off
file u|x; nosend; load; state?; send?; save; settings? => box --Form Load--\r\nSettings.ini
    file Error!\r\n62 -, stopped, , u|x|
file u|x|on; load; send?; save; message? => off disabled,
    Attention!  Attention!  A rolling blackout is immient.  Save your \r\nwork!  Please see
    your system administrator for further details.\r\n
# a code of blanks stops checking, and the save waits until both files are read
file u|x|on|   |B2; message.ini m; load; settings?; message? => Stopped, Stopped, u|x|on|B2, m
# a held-back save that fails leaves the automatic start pending
file u|x|on|   |B2; unwritable m; load; state? => Stopped, Stopped, box --SaveSettingsFile--\r\n75 -,
    pending
# a code of white space of any kind is no code, but the box keeps it
code 0 \t; code 1 \xA0; box? 0; press; page x => Stopped, Stopped, '\t' '',
    Started, Accessing, Successful..., No Alerts, Next Check in 5 Minutes, tip
)";
}
