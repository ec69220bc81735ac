#include "platform/linux/linux_system_info.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace gridvane;

class TestLinuxSystemInfo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void configDirectoryFollowsXdgConfigHome();
    void configDirectoryFallsBackToHomeConfig_data();
    void configDirectoryFallsBackToHomeConfig();
    void canBroadcastFollowsTheSearchPath();

private:
    QTemporaryDir m_dir;
    QHash<QByteArray, std::optional<QByteArray>> m_saved;
};

void TestLinuxSystemInfo::init()
{
    QVERIFY(m_dir.isValid());
    for (const QByteArray name : { "HOME", "XDG_CONFIG_HOME", "PATH" })
        m_saved[name]
            = qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt;
}

void TestLinuxSystemInfo::cleanup()
{
    for (auto it = m_saved.cbegin(); it != m_saved.cend(); ++it) {
        if (it.value())
            qputenv(it.key(), *it.value());
        else
            qunsetenv(it.key());
    }
}

void TestLinuxSystemInfo::configDirectoryFollowsXdgConfigHome()
{
    const QString configHome = m_dir.filePath(QStringLiteral("config"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome));
    qputenv("HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("home"))));

    QCOMPARE(LinuxSystemInfo().configDirectory(), configHome + QStringLiteral("/gridvane"));
    QVERIFY(!QFile::exists(configHome));
}

void TestLinuxSystemInfo::configDirectoryFallsBackToHomeConfig_data()
{
    QTest::addColumn<bool>("isSet");
    QTest::addColumn<QByteArray>("configHome");
    QTest::newRow("unset") << false << QByteArray();
    QTest::newRow("empty") << true << QByteArray("");
    QTest::newRow("relative") << true << QByteArray("relative/config");
}

void TestLinuxSystemInfo::configDirectoryFallsBackToHomeConfig()
{
    QFETCH(bool, isSet);
    QFETCH(QByteArray, configHome);
    if (isSet)
        qputenv("XDG_CONFIG_HOME", configHome);
    else
        qunsetenv("XDG_CONFIG_HOME");
    const QString home = m_dir.filePath(QStringLiteral("home"));
    qputenv("HOME", QFile::encodeName(home));

    QCOMPARE(LinuxSystemInfo().configDirectory(), home + QStringLiteral("/.config/gridvane"));
    QVERIFY(!QFile::exists(home));
}

void TestLinuxSystemInfo::canBroadcastFollowsTheSearchPath()
{
    const QString bin = m_dir.filePath(QStringLiteral("bin"));
    QVERIFY(QDir().mkpath(bin));
    qputenv("PATH", QFile::encodeName(bin));
    QVERIFY(!LinuxSystemInfo().canBroadcast());

    QFile wall(bin + QStringLiteral("/wall"));
    QVERIFY(wall.open(QIODevice::WriteOnly));
    wall.write("#!/bin/sh\n");
    wall.close();
    QVERIFY(wall.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    QVERIFY(LinuxSystemInfo().canBroadcast());
}

QTEST_GUILESS_MAIN(TestLinuxSystemInfo)
#include "test_linux_system_info.moc"
