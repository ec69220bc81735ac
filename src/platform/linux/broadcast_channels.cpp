#include "broadcast_channels.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace gridvane {

QString userConfigFolder()
{
    // Read here rather than through QStandardPaths, which would create the folder.
    const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    return !configHome.isEmpty() && QDir::isAbsolutePath(configHome)
        ? configHome
        : QDir::homePath() + QStringLiteral("/.config");
}

QString broadcastFile()
{
    QStringList folders { userConfigFolder() };
    const QString system = qEnvironmentVariable("XDG_CONFIG_DIRS");
    for (const QString& folder :
        (system.isEmpty() ? QStringLiteral("/etc/xdg") : system).split(QLatin1Char(':'))) {
        if (QDir::isAbsolutePath(folder))
            folders << folder;
    }
    for (const QString& folder : folders) {
        for (const char* name : { "/gridvane/broadcast.yml", "/gridvane/broadcast.txt" }) {
            const QString file = QDir::cleanPath(folder + QLatin1String(name));
            if (QFileInfo(file).isFile())
                return file;
        }
    }
    return {};
}

QString wallProgram()
{
    return QStandardPaths::findExecutable(QStringLiteral("wall"));
}

QString appriseProgram()
{
    return QStandardPaths::findExecutable(QStringLiteral("apprise"));
}

} // namespace gridvane
