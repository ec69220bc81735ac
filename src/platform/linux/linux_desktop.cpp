#include "linux_desktop.h"

#include "broadcast_channels.h"
#include "platform/line_ends.h"

#include <QDesktopServices>
#include <QProcess>
#include <QTimer>
#include <QUrl>

namespace gridvane {

namespace {

// Runs a program beside this one with the input on its standard input, never in a shell. It
// may wait on a terminal or a server that does not answer: one that has not ended by the
// deadline is killed, and then reaped like any other. Nothing here waits for it.
void runBeside(QProcess* process, const QByteArray& input, std::chrono::milliseconds deadline)
{
    auto* timer = new QTimer(process);
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, process, &QProcess::kill);
    // finished comes only after the child has been reaped; a failed start has no child.
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    QObject::connect(
        process, &QProcess::errorOccurred, process, [process](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                process->deleteLater();
        });
    timer->start(deadline);
    process->start();
    if (process->state() != QProcess::NotRunning) {
        // Buffered until the child reads it.
        process->write(input);
        process->closeWriteChannel();
    }
}

} // namespace

LinuxDesktop::LinuxDesktop(const QString& broadcastTitle, QObject* parent)
    : QObject(parent)
    , m_broadcastTitle(broadcastTitle)
{
}

void LinuxDesktop::broadcast(const QString& message)
{
    // The message goes to standard input, never into arguments or a shell, so no character
    // in it has a meaning to anything. Terminals and Apprise get plain LF line ends.
    const QString text = withLineFeeds(message);
    if (const QString wall = wallProgram(); !wall.isEmpty()) {
        auto* process = new QProcess(this);
        process->setProgram(wall);
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
        runBeside(process, text.toLocal8Bit(), m_broadcastTimeout);
    }

    const QString apprise = appriseProgram();
    const QString places = broadcastFile();
    if (apprise.isEmpty() || places.isEmpty())
        return;
    auto* process = new QProcess(this);
    process->setProgram(apprise);
    // Apprise sends to all the places at once, so one that fails or hangs keeps the message
    // from none of the others. "all" takes the places that carry tags too; -v has it say what
    // failed.
    process->setArguments({ QStringLiteral("--config"), places, QStringLiteral("--title"),
        m_broadcastTitle, QStringLiteral("--tag"), QStringLiteral("all"), QStringLiteral("-v") });
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PYTHONIOENCODING"), QStringLiteral("utf-8"));
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(QProcess::MergedChannels);
    // The user learns nothing of it in the window; the session's journal, which keeps the
    // standard error of a desktop's programs, tells an administrator what went wrong.
    const auto failed = [process, places](const QString& why) {
        qWarning("The broadcast to the places in %s failed: %s\n%s", qUtf8Printable(places),
            qUtf8Printable(why), process->readAll().trimmed().constData());
    };
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(m_broadcastTimeout);
    connect(process, &QProcess::finished, process,
        [failed, seconds](int code, QProcess::ExitStatus status) {
            if (status == QProcess::CrashExit)
                failed(QStringLiteral("Apprise did not end within %1 s and was stopped.")
                           .arg(seconds.count()));
            else if (code != 0)
                failed(QStringLiteral("Apprise ended with exit code %1.").arg(code));
        });
    connect(process, &QProcess::errorOccurred, process, [failed](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            failed(QStringLiteral("Apprise could not be started."));
    });
    runBeside(process, text.toUtf8(), m_broadcastTimeout);
}

bool LinuxDesktop::openUrl(const QString& target)
{
    const QUrl url(target, QUrl::StrictMode);
    return url.isValid() && !url.isRelative() && QDesktopServices::openUrl(url);
}

} // namespace gridvane
