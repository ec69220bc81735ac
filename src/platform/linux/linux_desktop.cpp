#include "linux_desktop.h"

#include "platform/line_ends.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

namespace gridvane {

LinuxDesktop::LinuxDesktop(QObject* parent)
    : QObject(parent)
{
}

void LinuxDesktop::broadcast(const QString& message)
{
    const QString wall = QStandardPaths::findExecutable(QStringLiteral("wall"));
    if (wall.isEmpty())
        return;

    // The message goes to wall's standard input, never into its arguments or a shell, so no
    // character in it has a meaning to anything. Terminals get plain LF line ends.
    const QByteArray input = withLineFeeds(message).toLocal8Bit();

    auto* process = new QProcess(this);
    process->setProgram(wall);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());

    // wall may wait on a terminal that does not read; never keep it past the timeout.
    auto* deadline = new QTimer(process);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, process, &QProcess::kill);

    // finished comes only after the child has been reaped; a failed start has no child.
    connect(process, &QProcess::finished, process, &QObject::deleteLater);
    connect(process, &QProcess::errorOccurred, process, [process](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            process->deleteLater();
    });
    deadline->start(m_broadcastTimeout);
    process->start();
    if (process->state() == QProcess::NotRunning)
        return;
    // Buffered until the child reads it; a wall that never reads is ended by the deadline.
    process->write(input);
    process->closeWriteChannel();
}

bool LinuxDesktop::openUrl(const QString& target)
{
    const QUrl url(target, QUrl::StrictMode);
    return url.isValid() && !url.isRelative() && QDesktopServices::openUrl(url);
}

} // namespace gridvane
