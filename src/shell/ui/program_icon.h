#pragma once

#include <QIcon>

namespace gridvane {

// The lightning bolt, 16 x 16 and 32 x 32: the windows', the tray's and the About picture.
QIcon programIcon();

} // namespace gridvane
