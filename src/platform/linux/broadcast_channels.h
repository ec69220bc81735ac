#pragma once

#include <QString>

namespace gridvane {

// Where a broadcast goes on Linux: through wall(1) to the terminals of this machine, and
// through Apprise to every place listed in the broadcast file, such as ntfy, e-mail or Matrix.

// The user's configuration folder: $XDG_CONFIG_HOME, or ~/.config when that is unset or not
// an absolute path.
QString userConfigFolder();

// The broadcast file, gridvane/broadcast.yml or gridvane/broadcast.txt (Apprise's YAML and
// text forms): the user's own in their configuration folder, else the first one in the
// folders of $XDG_CONFIG_DIRS (/etc/xdg when unset), where an administrator lists the
// office's places for every user of the machine. Empty when there is none.
QString broadcastFile();

// The programs, found on the search path; empty when not installed.
QString wallProgram();
QString appriseProgram();

} // namespace gridvane
