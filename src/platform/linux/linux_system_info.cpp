#include "linux_system_info.h"

#include <QDir>
#include <QStandardPaths>

namespace gridvane {

QString LinuxSystemInfo::configDirectory() const
{
    // Read here rather than through QStandardPaths, which would create the folder.
    const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    const QString base = !configHome.isEmpty() && QDir::isAbsolutePath(configHome)
        ? configHome
        : QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(base + QStringLiteral("/gridvane"));
}

bool LinuxSystemInfo::canBroadcast() const
{
    return !QStandardPaths::findExecutable(QStringLiteral("wall")).isEmpty();
}

} // namespace gridvane
