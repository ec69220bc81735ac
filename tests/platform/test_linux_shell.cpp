#include "platform/linux/linux_shell.h"

#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace gridvane;

// What the shell hands to the desktop (broadcasts to wall, stand-in first on the search
// path; links to the URL handlers set here).
class TestLinuxShell : public QObject
{
    Q_OBJECT

    QByteArray m_savedPath = qgetenv("PATH");
    std::unique_ptr<QTemporaryDir> m_bin;
    QList<QUrl> m_opened;

    // Puts a wall first on the search path; by default one that records its input.
    void installWall(const QByteArray& body = "cat > \"$(dirname \"$0\")/message\"")
    {
        QFile script(m_bin->filePath(QStringLiteral("wall")));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n" + body + "\n");
        QVERIFY(script.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        qputenv("PATH", QFile::encodeName(m_bin->path()) + ':' + m_savedPath);
    }
    QByteArray recordedMessage() const
    {
        QFile file(m_bin->filePath(QStringLiteral("message")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

public Q_SLOTS:
    void open(const QUrl& url) { m_opened << url; }

private Q_SLOTS:
    void init()
    {
        m_bin = std::make_unique<QTemporaryDir>();
        QVERIFY(m_bin->isValid());
        m_opened.clear();
    }
    void cleanup()
    {
        qputenv("PATH", m_savedPath);
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    }

    void broadcastsTheMessageOnWallsInput()
    {
        installWall();
        LinuxShell shell;
        QCOMPARE(shell.ShellExecute(netSendFile, netSendVerb + "Attention!\r\nGroup A1\r\n"), 33);
        QTRY_VERIFY(shell.findChildren<QProcess*>().isEmpty());
        QCOMPARE(recordedMessage(), QByteArray("Attention!\nGroup A1\n"));

        // An empty message still goes out; the file name may come in any case.
        QCOMPARE(shell.ShellExecute(QStringLiteral("NET.EXE"), netSendVerb), 33);
        QTRY_VERIFY(shell.findChildren<QProcess*>().isEmpty());
        QCOMPARE(recordedMessage(), QByteArray());
    }

    void killsAndReapsAWallThatHangs()
    {
        installWall("exec sleep 1000");
        LinuxShell shell;
        shell.setBroadcastTimeout(std::chrono::milliseconds(200));

        QCOMPARE(shell.ShellExecute(netSendFile, netSendVerb + "hello"), 33);
        // Still running after the call returned: the call did not wait for it.
        const auto children = shell.findChildren<QProcess*>();
        QCOMPARE(children.size(), 1);
        QVERIFY(children.first()->state() != QProcess::NotRunning);
        const qint64 pid = children.first()->processId();
        QVERIFY(pid > 0);

        QTRY_VERIFY(shell.findChildren<QProcess*>().isEmpty());
        // A child that was never reaped would still be listed, as a zombie.
        QVERIFY(!QFile::exists(QStringLiteral("/proc/%1").arg(pid)));
    }

    void opensWebAndMailLinksThroughTheDesktop()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("mailto"), this, "open");
        const QList<QUrl> links { QUrl("https://example.com/a/b.shtml?x=1"),
            QUrl("mailto:someone@example.com?Subject=Gridvane") };
        LinuxShell shell;
        for (const QUrl& link : links)
            QCOMPARE(shell.ShellExecute(link.toString(), QString()), 33);
        QCOMPARE(m_opened, links);
    }

    void refusesOtherRequestsAndBroadcastsWithoutWall()
    {
        installWall();
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open");
        LinuxShell shell;

        const QList<std::pair<QString, QString>> requests { { "https://example.com/", "x" },
            { netSendFile, " /?" }, { netSendFile, "" }, { "wall", netSendVerb + "hello" },
            { "", "" } };
        for (const auto& [file, parameters] : requests)
            QCOMPARE(shell.ShellExecute(file, parameters), 2);
        QVERIFY(m_opened.isEmpty());
        QVERIFY(shell.findChildren<QProcess*>().isEmpty());
        QCOMPARE(recordedMessage(), QByteArray("<missing>"));

        // Without wall on the search path, a broadcast starts nothing.
        qputenv("PATH", QFile::encodeName(m_bin->path()));
        QVERIFY(QFile::remove(m_bin->filePath(QStringLiteral("wall"))));
        QCOMPARE(shell.ShellExecute(netSendFile, netSendVerb + "hello"), 2);
        QVERIFY(shell.findChildren<QProcess*>().isEmpty());
    }
};

QTEST_MAIN(TestLinuxShell)
#include "test_linux_shell.moc"
