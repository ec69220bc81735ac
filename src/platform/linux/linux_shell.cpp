#include "linux_shell.h"

#include "platform/line_ends.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

namespace gridvane {

namespace {

constexpr qint32 accepted = 33;
constexpr qint32 notFound = 2;

} // namespace

LinuxShell::LinuxShell(QObject* parent)
    : QObject(parent)
{
}

qint32 LinuxShell::ShellExecute(const QString& file, const QString& parameters)
{
    if (file.compare(netSendFile, Qt::CaseInsensitive) == 0 && parameters.startsWith(netSendVerb)) {
        return broadcast(parameters.mid(netSendVerb.size()));
    }
    if (parameters.isEmpty())
        return openUrl(file);
    return notFound;
}

qint32 LinuxShell::broadcast(const QString& message)
{
    const QString wall = QStandardPaths::findExecutable(QStringLiteral("wall"));
    if (wall.isEmpty())
        return notFound;

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
        return notFound;
    // Buffered until the child reads it; a wall that never reads is ended by the deadline.
    process->write(input);
    process->closeWriteChannel();
    return accepted;
}

qint32 LinuxShell::openUrl(const QString& target)
{
    const QUrl url(target, QUrl::StrictMode);
    if (!url.isValid() || url.isRelative())
        return notFound;
    return QDesktopServices::openUrl(url) ? accepted : notFound;
}

} // namespace gridvane
