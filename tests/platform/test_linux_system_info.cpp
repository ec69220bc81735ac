#include "platform/linux/linux_system_info.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

using namespace gridvane;

class TestLinuxSystemInfo : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void configDirectoryFollowsXdgConfigHome_data()
    {
        QTest::addColumn<std::optional<QByteArray>>("configHome");
        QTest::addColumn<QString>("expected");
        const QByteArray absolute = QFile::encodeName(m_dir.filePath(QStringLiteral("config")));
        QTest::newRow("absolute") << std::optional(absolute) << "config/gridvane";
        QTest::newRow("unset") << std::optional<QByteArray>() << "home/.config/gridvane";
        QTest::newRow("empty") << std::optional(QByteArray("")) << "home/.config/gridvane";
        QTest::newRow("relative") << std::optional(QByteArray("relative/config"))
                                  << "home/.config/gridvane";
    }
    void configDirectoryFollowsXdgConfigHome()
    {
        QFETCH(std::optional<QByteArray>, configHome);
        QFETCH(QString, expected);
        configHome ? qputenv("XDG_CONFIG_HOME", *configHome) : qunsetenv("XDG_CONFIG_HOME");
        qputenv("HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("home"))));

        QCOMPARE(LinuxSystemInfo().configDirectory(), m_dir.filePath(expected));
        QVERIFY(QDir(m_dir.path()).isEmpty()); // nothing is created on the way
    }

    void canBroadcastFollowsTheSearchPath()
    {
        qputenv("PATH", QFile::encodeName(m_dir.path()));
        QVERIFY(!LinuxSystemInfo().canBroadcast());

        QFile wall(m_dir.filePath(QStringLiteral("wall")));
        QVERIFY(wall.open(QIODevice::WriteOnly));
        QVERIFY(wall.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        QVERIFY(LinuxSystemInfo().canBroadcast());
        QVERIFY(wall.remove());
    }
};

QTEST_GUILESS_MAIN(TestLinuxSystemInfo)
#include "test_linux_system_info.moc"
