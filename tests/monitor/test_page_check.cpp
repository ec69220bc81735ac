#include "fakes/fakes.h"
#include "monitor/texts.h"
#include "monitor/time_stamp.h"

#include <QRegularExpression>
#include <QTest>

using namespace gridvane;
using namespace gridvane::testing;

namespace {
const QString heading = QStringLiteral("Communities Affected by Rotating Outages");

// A checking form whose boxes hold the given codes (tagged through their handler).
void checking(Harness& h, const QStringList& codes = {})
{
    h.ready(QStringLiteral("5 minutes"));
    for (int i = 0; i < codes.size(); ++i)
        h.form.txtGroup[i].setText(codes[i]);
    h.form.cmdStart_Click();
    h.form.txtStatus.setText(QString());
    FakeRange::searches.clear();
}
} // namespace

class PageCheckTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void completionWhileNotCheckingChangesNothing()
    {
        Harness h;
        h.browser.complete(heading);
        QVERIFY(h.form.txtStatus.Text().isEmpty() && h.form.strLastAlert.isEmpty());
        QVERIFY(h.tray.tipWrites.isEmpty());
    }

    void completionOfTheDownloadCancelledByAStartIsIgnored()
    {
        Harness h;
        h.ready();
        h.form.txtGroup[0].setText(QStringLiteral("A1"));
        h.browser.completeOnStop = QStringLiteral("Communities Affected by Rotating Outages A1");
        h.form.cmdStart_Click();
        QVERIFY(h.boxes.shown.empty());
        QCOMPARE(
            logLines(h.form), (QStringList { texts::startedChecking, texts::accessingWebsite }));
        QCOMPARE(h.form.blnChecking, True);
    }

    void errorTextsTakePrecedenceInTheirOrder_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("searchFails");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("server and 404")
            << QStringLiteral("HTTP 404 Cannot find server or DNS Error") << false
            << texts::serverNotFoundLines;
        QTest::newRow("heading and 404")
            << heading + QStringLiteral(" A1 http 404") << false << texts::pageNotFoundLines;
        QTest::newRow("no heading")
            << QStringLiteral("Welcome to our home page A1") << false << texts::wrongPageLines;
        // A search that fails acts as if it had found its text.
        QTest::newRow("searches fail") << heading << true << texts::serverNotFoundLines;
        QTest::newRow("no range") << QString() << false << texts::serverNotFoundLines;
    }

    void errorTextsTakePrecedenceInTheirOrder()
    {
        QFETCH(QString, page);
        QFETCH(bool, searchFails);
        QFETCH(QStringList, lines);
        Harness h;
        checking(h, { QStringLiteral("A1") });
        h.form.strLastAlert = QStringLiteral("before");
        h.browser.searchFails = searchFails;
        if (page.isEmpty())
            h.form.WebBrowser1_DownloadComplete();
        else
            h.browser.complete(page);
        QCOMPARE(logLines(h.form), lines);
        QCOMPARE(h.form.intStatusCount, 2); // the start's two lines only: these are uncounted
        QVERIFY(h.tray.tipWrites.isEmpty());
        QCOMPARE(h.form.strLastAlert, QStringLiteral("before"));
        QVERIFY(!FakeRange::searches.contains(QStringLiteral("A1")));
        QVERIFY(h.form.blnChecking);
    }

    void noCodeGivesThreeCountedLinesAndTheTrayTip()
    {
        Harness h;
        checking(h);
        h.browser.complete(heading);
        const QString stamp = generalDate(h.clock.moment, QLocale::system());
        const QString result = QStringLiteral("No Alerts ") + stamp;
        QCOMPARE(logLines(h.form),
            (QStringList { texts::successful, result, QStringLiteral("Next Check in 5 minutes") }));
        QCOMPARE(h.form.intStatusCount, 5);
        QCOMPARE(h.form.strLastAlert, result);
        QCOMPARE(h.tray.tip(), QStringLiteral("Last checked ") + stamp);
    }

    void sameSecondLogsOnceButRewritesTheTip()
    {
        Harness h;
        checking(h, { QStringLiteral("B7") });
        h.browser.complete(heading);
        h.browser.complete(heading);
        QCOMPARE(logLines(h.form).size(), 3);
        QCOMPARE(h.tray.tipWrites.size(), 2);

        // A stop and a restart within the second log nothing new either.
        h.form.cmdStart_Click();
        h.form.cmdStart_Click();
        h.browser.complete(heading);
        QCOMPARE(
            logLines(h.form), (QStringList { texts::startedChecking, texts::accessingWebsite }));

        h.clock.moment = h.clock.moment.addSecs(1);
        h.browser.complete(heading);
        QCOMPARE(logLines(h.form).size(), 5);
    }

    void firstListedBoxInIndexOrderWinsAndTheRestAreNotSearched()
    {
        Harness h;
        checking(h);
        h.form.txtGroup[2].setText(QStringLiteral("A12"));
        h.form.txtGroup[5].setText(QStringLiteral("B3"));
        // A box is judged by its tag alone, whatever its text.
        h.form.txtGroup[0].setText(QStringLiteral("Z9"));
        h.form.txtGroup[0].Tag = QStringLiteral("0");
        h.browser.complete(heading + QStringLiteral(" groups: b3, a12, z9"));
        QCOMPARE(h.boxes.shown.size(), size_t(1));
        QVERIFY(h.boxes.shown[0].text.contains(QStringLiteral("Group A12 is on")));
        QCOMPARE(FakeRange::searches.filter(QRegularExpression(QStringLiteral("^\\w\\d+$"))),
            QStringList { QStringLiteral("A12") });
        QVERIFY(h.tray.tipWrites.isEmpty() && h.form.strLastAlert.isEmpty());
    }

    void generalDateFollowsTheLocale()
    {
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        const QDateTime afternoon(QDate(2026, 12, 6), QTime(14, 5, 9));
        const QString text = generalDate(afternoon, us);
        const QString date = us.toString(afternoon.date(), QLocale::ShortFormat);
        QVERIFY2(text.startsWith(date + QLatin1Char(' '))
                && text.contains(QStringLiteral("2:05:09")) && text.endsWith(QStringLiteral("PM")),
            qPrintable(text));
        QCOMPARE(generalDate(QDateTime(afternoon.date(), QTime(0, 0)), us), date);
        QCOMPARE(generalDate(afternoon, QLocale(QLocale::German, QLocale::Germany)),
            QStringLiteral("06.12.26 14:05:09"));

        // The time-zone field goes with the brackets and separators around it, in every locale.
        const QRegularExpression leftOver(QStringLiteral("[(\\[]\\s*[)\\]]|[\\s,]$"),
            QRegularExpression::UseUnicodePropertiesOption);
        for (const QLocale& locale : QLocale::matchingLocales(
                 QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
            for (const QTime time : { QTime(14, 5, 9), QTime(0, 0) }) {
                const QString stamp = generalDate(QDateTime(afternoon.date(), time), locale);
                const QString seconds = locale.toString(time, QStringLiteral("s"));
                QVERIFY2(
                    !stamp.contains(leftOver) && (time.second() == 0 || stamp.contains(seconds)),
                    qPrintable(locale.name() + QStringLiteral(": ") + stamp));
            }
        }
    }
};

QTEST_GUILESS_MAIN(PageCheckTest)
#include "test_page_check.moc"
