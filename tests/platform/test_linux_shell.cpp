#include "platform/linux/linux_shell.h"

#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace gridvane;
using namespace std::chrono_literals;

namespace {

// Receives the URLs the desktop would have opened.
class UrlCatcher : public QObject
{
    Q_OBJECT
public Q_SLOTS:
    void open(const QUrl& url) { urls << url; }

public:
    QList<QUrl> urls;
};

} // namespace

class TestLinuxShell : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void broadcastHandsTheMessageToWallUntouched();
    void broadcastsAnEmptyMessageWhateverTheCaseOfTheFileName();
    void refusesBroadcastWhenWallIsMissing();
    void killsAndReapsAWallThatHangs();
    void reapsAWallThatExitsWithoutReading();
    void opensWebAndMailLinksThroughTheDesktop();
    void refusesOtherRequests();

private:
    // Puts a program named wall with the given script body first on the search path.
    void installWall(const QByteArray& body);
    QString recorded(const QString& name) const;
    static bool isGone(qint64 pid);

    QByteArray m_savedPath;
    std::unique_ptr<QTemporaryDir> m_bin;
    UrlCatcher m_catcher;
};

void TestLinuxShell::init()
{
    m_savedPath = qgetenv("PATH");
    m_bin = std::make_unique<QTemporaryDir>();
    QVERIFY(m_bin->isValid());
}

void TestLinuxShell::cleanup()
{
    qputenv("PATH", m_savedPath);
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    m_catcher.urls.clear();
}

void TestLinuxShell::installWall(const QByteArray& body)
{
    QFile script(m_bin->filePath(QStringLiteral("wall")));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\n" + body + "\n");
    script.close();
    QVERIFY(script.setPermissions(
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    qputenv("PATH", QFile::encodeName(m_bin->path()) + ':' + m_savedPath);
}

QString TestLinuxShell::recorded(const QString& name) const
{
    QFile file(m_bin->filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("<missing>");
    return QString::fromLocal8Bit(file.readAll());
}

bool TestLinuxShell::isGone(qint64 pid)
{
    // A child that was never reaped would still be listed, as a zombie.
    return !QFile::exists(QStringLiteral("/proc/%1").arg(pid));
}

// Records its argument count and its standard input beside itself.
static const QByteArray recordingWall
    = "here=$(dirname \"$0\")\ncat > \"$here/message\"\necho $# > \"$here/argc\"";

void TestLinuxShell::broadcastHandsTheMessageToWallUntouched()
{
    installWall(recordingWall);
    LinuxShell shell;
    const QString marker = m_bin->filePath(QStringLiteral("ran"));
    const QString message = QStringLiteral("Attention! $(touch %1); touch %1 ;\r\n"
                                           "\"quotes\" 'single' `touch %1` | & > %1 < * ~ \\n\r\n"
                                           "Grüße")
                                .arg(marker);

    QCOMPARE(shell.ShellExecute(netSendFile, netSendVerb + message), 33);

    QTRY_VERIFY(shell.findChildren<QProcess*>().isEmpty());
    QCOMPARE(recorded(QStringLiteral("message")), QString(message).replace("\r\n", "\n"));
    QCOMPARE(recorded(QStringLiteral("argc")), QStringLiteral("0\n"));
    QVERIFY(!QFile::exists(marker));
}

void TestLinuxShell::broadcastsAnEmptyMessageWhateverTheCaseOfTheFileName()
{
    installWall(recordingWall);
    LinuxShell shell;

    QCOMPARE(shell.ShellExecute(QStringLiteral("NET.EXE"), netSendVerb), 33);

    QTRY_VERIFY(shell.findChildren<QProcess*>().isEmpty());
    QCOMPARE(recorded(QStringLiteral("argc")), QStringLiteral("0\n"));
    QCOMPARE(recorded(QStringLiteral("message")), QString());
}

void TestLinuxShell::refusesBroadcastWhenWallIsMissing()
{
    qputenv("PATH", QFile::encodeName(m_bin->path()));
    LinuxShell shell;

    QCOMPARE(shell.ShellExecute(netSendFile, netSendVerb + "hello"), 2);
    QVERIFY(shell.findChildren<QProcess*>().isEmpty());
}

void TestLinuxShell::killsAndReapsAWallThatHangs()
{
    installWall("exec sleep 1000");
    LinuxShell shell;
    shell.setBroadcastTimeout(200ms);

    QCOMPARE(shell.ShellExecute(netSendFile, netSendVerb + "hello"), 33);

    // Still running after the call returned: the call did not wait for it.
    const auto children = shell.findChildren<QProcess*>();
    QCOMPARE(children.size(), 1);
    QVERIFY(children.first()->state() != QProcess::NotRunning);
    const qint64 pid = children.first()->processId();
    QVERIFY(pid > 0);
    QSignalSpy finished(children.first(), &QProcess::finished);

    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(finished.first().at(1).value<QProcess::ExitStatus>(), QProcess::CrashExit);
    QTRY_VERIFY(shell.findChildren<QProcess*>().isEmpty());
    QVERIFY(isGone(pid));
}

void TestLinuxShell::reapsAWallThatExitsWithoutReading()
{
    installWall("exit 1");
    LinuxShell shell;
    // More than a pipe holds, so writing runs into the closed pipe.
    const QString message(200000, QLatin1Char('x'));

    QCOMPARE(shell.ShellExecute(netSendFile, netSendVerb + message), 33);
    const auto children = shell.findChildren<QProcess*>();
    QCOMPARE(children.size(), 1);
    const qint64 pid = children.first()->processId();

    QTRY_VERIFY(shell.findChildren<QProcess*>().isEmpty());
    QVERIFY(isGone(pid));
}

void TestLinuxShell::opensWebAndMailLinksThroughTheDesktop()
{
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_catcher, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &m_catcher, "open");
    LinuxShell shell;

    QCOMPARE(
        shell.ShellExecute(QStringLiteral("https://example.com/a/b.shtml?x=1"), QString()), 33);
    QCOMPARE(shell.ShellExecute(
                 QStringLiteral("mailto:someone@example.com?Subject=Gridvane"), QString()),
        33);

    QCOMPARE(m_catcher.urls,
        (QList<QUrl> { QUrl(QStringLiteral("https://example.com/a/b.shtml?x=1")),
            QUrl(QStringLiteral("mailto:someone@example.com?Subject=Gridvane")) }));
}

void TestLinuxShell::refusesOtherRequests()
{
    installWall(recordingWall);
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_catcher, "open");
    LinuxShell shell;

    QCOMPARE(shell.ShellExecute(QStringLiteral("https://example.com/"), QStringLiteral("x")), 2);
    QCOMPARE(shell.ShellExecute(netSendFile, QStringLiteral(" /?")), 2);
    QCOMPARE(shell.ShellExecute(netSendFile, QString()), 2);
    QCOMPARE(shell.ShellExecute(QStringLiteral("wall"), netSendVerb + "hello"), 2);
    QCOMPARE(shell.ShellExecute(QString(), QString()), 2);

    QVERIFY(m_catcher.urls.isEmpty());
    QVERIFY(shell.findChildren<QProcess*>().isEmpty());
    QVERIFY(!QFile::exists(m_bin->filePath(QStringLiteral("message"))));
}

QTEST_MAIN(TestLinuxShell)
#include "test_linux_shell.moc"
