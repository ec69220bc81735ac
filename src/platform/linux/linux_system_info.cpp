#include "linux_system_info.h"

#include "broadcast_channels.h"

#include <QDir>

namespace gridvane {

QString LinuxSystemInfo::configDirectory() const
{
    return QDir::cleanPath(userConfigFolder() + QStringLiteral("/gridvane"));
}

bool LinuxSystemInfo::canBroadcast() const
{
    return !wallProgram().isEmpty() || (!appriseProgram().isEmpty() && !broadcastFile().isEmpty());
}

} // namespace gridvane
