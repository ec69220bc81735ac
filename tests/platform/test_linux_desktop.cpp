#include "platform/linux/linux_desktop.h"

#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace gridvane;

// What the desktop is handed (broadcasts to wall, stand-in first on the search path; links to
// the URL handlers set here).
class TestLinuxDesktop : public QObject
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
        LinuxDesktop desktop;
        desktop.broadcast(QStringLiteral("Attention!\r\nGroup A1\r\n"));
        QTRY_VERIFY(desktop.findChildren<QProcess*>().isEmpty());
        QCOMPARE(recordedMessage(), QByteArray("Attention!\nGroup A1\n"));

        // An empty message still goes out.
        desktop.broadcast(QString());
        QTRY_VERIFY(desktop.findChildren<QProcess*>().isEmpty());
        QCOMPARE(recordedMessage(), QByteArray());
    }

    void killsAndReapsAWallThatHangs()
    {
        installWall("exec sleep 1000");
        LinuxDesktop desktop;
        desktop.setBroadcastTimeout(std::chrono::milliseconds(200));

        desktop.broadcast(QStringLiteral("hello"));
        // Still running after the call returned: the call did not wait for it.
        const auto children = desktop.findChildren<QProcess*>();
        QCOMPARE(children.size(), 1);
        QVERIFY(children.first()->state() != QProcess::NotRunning);
        const qint64 pid = children.first()->processId();
        QVERIFY(pid > 0);

        QTRY_VERIFY(desktop.findChildren<QProcess*>().isEmpty());
        // A child that was never reaped would still be listed, as a zombie.
        QVERIFY(!QFile::exists(QStringLiteral("/proc/%1").arg(pid)));
    }

    void opensWebAndMailLinksThroughTheDesktop()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("mailto"), this, "open");
        const QList<QUrl> links { QUrl("https://example.com/a/b.shtml?x=1"),
            QUrl("mailto:someone@example.com?Subject=Gridvane") };
        LinuxDesktop desktop;
        for (const QUrl& link : links)
            QVERIFY(desktop.openUrl(link.toString()));
        QCOMPARE(m_opened, links);
    }

    void refusesRelativeAddressesAndBroadcastsNothingWithoutWall()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open");
        LinuxDesktop desktop;
        for (const char* target : { "", "example.com/page", "http://[::1" })
            QVERIFY(!desktop.openUrl(QString::fromLatin1(target)));
        QVERIFY(m_opened.isEmpty());

        // Without wall on the search path, a broadcast starts nothing.
        qputenv("PATH", QFile::encodeName(m_bin->path()));
        desktop.broadcast(QStringLiteral("hello"));
        QVERIFY(desktop.findChildren<QProcess*>().isEmpty());
    }
};

QTEST_MAIN(TestLinuxDesktop)
#include "test_linux_desktop.moc"
