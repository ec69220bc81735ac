#include "fakes/fakes.h"
#include "monitor/texts.h"
#include "settings/file_formats.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace gridvane;
using namespace gridvane::testing;

namespace {
void ready(Harness& h)
{
    h.form.strSettingsFile = h.settingsPath();
    h.form.strNetSendFile = h.netSendPath();
    h.form.strInterval = QStringLiteral("30 seconds");
    h.form.strNetSend = texts::off;
}
} // namespace

class EditHandlersTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void typingACodeTagsItsBoxAndEnablesStart()
    {
        Harness h;
        ready(h);
        h.form.cmdStart.setEnabled(false);
        h.form.txtGroup[4].setText(QStringLiteral("A"));
        QCOMPARE(h.form.txtGroup[4].Tag, QStringLiteral("1"));
        QVERIFY(h.form.cmdStart.Enabled());
        QVERIFY(h.form.txtStatus.Text().isEmpty());
    }

    void onlyOuterBlanksAreTrimmed()
    {
        Harness h;
        ready(h);
        h.form.txtGroup[0].setText(QStringLiteral("  A 1  "));
        QCOMPARE(h.form.txtGroup[0].Text(), QStringLiteral("A 1"));
        h.form.txtGroup[1].setText(QStringLiteral("\tB2"));
        QCOMPARE(h.form.txtGroup[1].Text(), QStringLiteral("\tB2"));
        QCOMPARE(h.form.txtGroup[1].Tag, QStringLiteral("1"));
    }

    void removingTheLastCodeStopsSavesAndDisablesStart()
    {
        Harness h;
        ready(h);
        h.form.txtGroup[0].setText(QStringLiteral("A1"));
        h.form.txtGroup[3].setText(QStringLiteral("B2"));
        h.form.cmdStart_Click();
        h.form.txtGroup[0].setText(QString());
        // Another box still holds a code: checking goes on.
        QCOMPARE(h.form.txtGroup[0].Tag, QString());
        QCOMPARE(h.form.blnChecking, True);
        QVERIFY(h.form.cmdStart.Enabled());

        QFile::remove(h.settingsPath());
        h.form.txtGroup[3].setText(QString());
        QCOMPARE(h.form.blnChecking, False);
        QVERIFY(!h.form.Timer1.Enabled());
        QCOMPARE(h.form.cmdStart.Caption(), QStringLiteral("&Start"));
        QVERIFY(!h.form.cmdStart.Enabled());
        QCOMPARE(logLines(h.form).last(), texts::stoppedChecking);
        QVERIFY(QFile::exists(h.settingsPath()));

        // The same while stopped: the stop line and the save happen all the same.
        QFile::remove(h.settingsPath());
        h.form.txtGroup[5].setText(QStringLiteral("C"));
        h.form.txtGroup[5].setText(QString());
        QCOMPARE(logLines(h.form).count(texts::stoppedChecking), 2);
        QVERIFY(QFile::exists(h.settingsPath()));
    }

    void blankTypedIntoAnEmptyBoxStopsTwice()
    {
        Harness h;
        ready(h);
        h.form.txtGroup[2].setText(QStringLiteral(" "));
        QVERIFY(h.form.txtGroup[2].Text().isEmpty());
        QCOMPARE(h.form.txtGroup[2].Tag, QString());
        QCOMPARE(
            logLines(h.form), (QStringList { texts::stoppedChecking, texts::stoppedChecking }));
        QVERIFY(!h.form.cmdStart.Enabled());
    }

    void everyUrlEditStopsButTheLoadedUrlDoesNot()
    {
        Harness h;
        QDir().mkpath(h.system.configDir);
        QFile file(h.settingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(encodeRecords({ QStringLiteral("http://saved.example/"),
            QStringLiteral("1 minute"), QStringLiteral("off"), QStringLiteral("A1") }));
        file.close();
        h.form.LoadSettingsFile();
        h.form.strNetSendFile = h.netSendPath();
        QCOMPARE(h.form.txtURL.Text(), QStringLiteral("http://saved.example/"));
        QVERIFY(!logLines(h.form).contains(texts::stoppedChecking));
        QCOMPARE(h.form.blnLoading, False);

        h.form.cmdStart_Click();
        h.form.txtURL.setText(QStringLiteral("http://saved.example/x"));
        QCOMPARE(h.form.blnChecking, False);
        QCOMPARE(logLines(h.form).last(), texts::stoppedChecking);
        h.form.txtURL.setText(QStringLiteral("http://saved.example/xy"));
        QCOMPARE(logLines(h.form).count(texts::stoppedChecking), 2);
        QVERIFY(QFile(h.settingsPath()).open(QIODevice::ReadOnly));
        // Setting the same text is no change.
        h.form.txtURL.setText(QStringLiteral("http://saved.example/xy"));
        QCOMPARE(logLines(h.form).count(texts::stoppedChecking), 2);
    }

    void loadedUrlEqualToTheBoxLeavesTheNextEditAsAnEdit()
    {
        // The URL read from the file equals the box's design text, so no change is raised;
        // the one-shot flag is still cleared right after the assignment.
        Harness h;
        QDir().mkpath(h.system.configDir);
        QFile file(h.settingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(encodeRecords(
            { texts::defaultUrl, QStringLiteral("1 minute"), QStringLiteral("off") }));
        file.close();
        h.form.LoadSettingsFile();
        h.form.strNetSendFile = h.netSendPath();
        h.form.txtURL.setText(QStringLiteral("http://edited.example/"));
        QCOMPARE(logLines(h.form).last(), texts::stoppedChecking);
    }

    void netSendBoxSetsTheSwitchOnly()
    {
        Harness h;
        ready(h);
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
