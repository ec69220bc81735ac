#include "fakes/fakes.h"
#include "fakes/files.h"
#include "monitor/texts.h"
#include "settings/file_formats.h"

#include <QFile>
#include <QTest>

using namespace gridvane;
using namespace gridvane::testing;

class EditHandlersTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void typedCodesAreTaggedEnableStartAndLoseOnlyTheirOuterBlanks()
    {
        Harness h;
        h.ready();
        h.form.cmdStart.setEnabled(false);
        h.form.txtGroup[4].setText(QStringLiteral("A"));
        QCOMPARE(h.form.txtGroup[4].Tag, QStringLiteral("1"));
        QVERIFY(h.form.cmdStart.Enabled() && h.form.txtStatus.Text().isEmpty());
        h.form.txtGroup[0].setText(QStringLiteral("  A 1  "));
        QCOMPARE(h.form.txtGroup[0].Text(), QStringLiteral("A 1"));
        h.form.txtGroup[1].setText(QStringLiteral("\tB2"));
        QCOMPARE(h.form.txtGroup[1].Text(), QStringLiteral("\tB2"));
    }

    void removingTheLastCodeStopsSavesAndDisablesStart()
    {
        Harness h;
        h.ready();
        h.form.txtGroup[0].setText(QStringLiteral("A1"));
        h.form.txtGroup[3].setText(QStringLiteral("B2"));
        h.form.cmdStart_Click();
        h.form.txtGroup[0].setText(QString());
        // Another box still holds a code: checking goes on.
        QCOMPARE(h.form.txtGroup[0].Tag, QString());
        QVERIFY(h.form.blnChecking && h.form.cmdStart.Enabled());

        // The same stop, save and stop line whether checking was on or not.
        for (const bool checking : { true, false }) {
            QFile::remove(h.settingsPath());
            if (!checking)
                h.form.txtGroup[5].setText(QStringLiteral("C"));
            (checking ? h.form.txtGroup[3] : h.form.txtGroup[5]).setText(QString());
            QVERIFY(!h.form.blnChecking && !h.form.Timer1.Enabled());
            QCOMPARE(h.form.cmdStart.Caption(), QStringLiteral("&Start"));
            QVERIFY(!h.form.cmdStart.Enabled());
            QCOMPARE(logLines(h.form).count(texts::stoppedChecking), checking ? 1 : 2);
            QCOMPARE(logLines(h.form).last(), texts::stoppedChecking);
            QVERIFY(QFile::exists(h.settingsPath()));
        }
    }

    void blankTypedIntoAnEmptyBoxStopsTwice()
    {
        Harness h;
        h.ready();
        h.form.txtGroup[2].setText(QStringLiteral(" "));
        QVERIFY(h.form.txtGroup[2].Text().isEmpty() && h.form.txtGroup[2].Tag.isEmpty());
        QCOMPARE(
            logLines(h.form), (QStringList { texts::stoppedChecking, texts::stoppedChecking }));
        QVERIFY(!h.form.cmdStart.Enabled());
    }

    void everyUrlEditStopsButTheLoadedUrlDoesNot_data()
    {
        QTest::addColumn<QString>("savedUrl");
        QTest::newRow("another URL") << QStringLiteral("http://saved.example/");
        // No change is raised, and the next edit is an edit all the same.
        QTest::newRow("the design URL") << texts::defaultUrl;
    }

    void everyUrlEditStopsButTheLoadedUrlDoesNot()
    {
        QFETCH(QString, savedUrl);
        Harness h;
        writeFile(h.settingsPath(),
            encodeRecords({ savedUrl, QStringLiteral("1 minute"), QStringLiteral("off") }));
        h.form.LoadSettingsFile();
        h.form.strNetSendFile = h.netSendPath();
        QCOMPARE(h.form.txtURL.Text(), savedUrl);
        QVERIFY(!logLines(h.form).contains(texts::stoppedChecking));

        h.form.cmdStart_Click();
        QFile::remove(h.settingsPath());
        h.form.txtURL.setText(savedUrl + QStringLiteral("x"));
        QVERIFY(!h.form.blnChecking && QFile::exists(h.settingsPath()));
        QCOMPARE(logLines(h.form).last(), texts::stoppedChecking);
        h.form.txtURL.setText(savedUrl + QStringLiteral("xy"));
        h.form.txtURL.setText(savedUrl + QStringLiteral("xy")); // the same text is no change
        QCOMPARE(logLines(h.form).count(texts::stoppedChecking), 2);
    }

    void netSendBoxSetsTheSwitchOnly()
    {
        Harness h;
        h.ready();
        h.form.chkNetSend.setValue(1);
        QCOMPARE(h.form.strNetSend, QStringLiteral("on"));
        QVERIFY(!QFile::exists(h.settingsPath()));
        h.form.chkNetSend.setValue(0);
        QCOMPARE(h.form.strNetSend, QStringLiteral("off"));
        QVERIFY(h.form.txtNetSend.Enabled());
    }
};

QTEST_GUILESS_MAIN(EditHandlersTest)
#include "test_edit_handlers.moc"
