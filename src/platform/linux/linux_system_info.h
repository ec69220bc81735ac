#pragma once

#include "platform/system_info.h"

namespace gridvane {

class LinuxSystemInfo : public SystemInfo
{
public:
    // $XDG_CONFIG_HOME/gridvane, or ~/.config/gridvane when that is unset or not absolute.
    QString configDirectory() const override;
    // True while wall(1) is on the search path, or Apprise is and a broadcast file exists.
    bool canBroadcast() const override;
};

} // namespace gridvane
