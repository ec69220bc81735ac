#include "fakes/files.h"
#include "saver_versions.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

using namespace gridvane;
using namespace gridvane::testing;

class SaveKilledTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedSavesLeaveEachFileWholeInItsOldOrNewVersion()
    {
        QTemporaryDir dir;
        const QString folder = dir.path() + QStringLiteral("/gridvane");
        QCOMPARE(
            QProcess::execute(QStringLiteral(SAVER_PATH), { folder, QStringLiteral("--once") }), 0);

        const QList<QByteArray> settings { encodeRecords(saverRecords(0)),
            encodeRecords(saverRecords(1)) };
        const QList<QByteArray> messages { encodeUtf16Le(saverMessage(0)),
            encodeUtf16Le(saverMessage(1)) };
        auto* random = QRandomGenerator::global();
        for (int round = 0; round < 40; ++round) {
            QProcess saver;
            saver.start(QStringLiteral(SAVER_PATH), { folder });
            QVERIFY(saver.waitForReadyRead(10000));
            QTest::qWait(int(random->bounded(1, 40)));
            ::kill(pid_t(saver.processId()), SIGKILL);
            QVERIFY(saver.waitForFinished(10000));

            QVERIFY2(settings.contains(readFile(folder + QStringLiteral("/Settings.ini"))),
                qPrintable(QStringLiteral("Settings.ini damaged in round %1").arg(round)));
            QVERIFY2(messages.contains(readFile(folder + QStringLiteral("/NetSend.ini"))),
                qPrintable(QStringLiteral("NetSend.ini damaged in round %1").arg(round)));
        }
    }
};

QTEST_GUILESS_MAIN(SaveKilledTest)
#include "test_save_killed.moc"
