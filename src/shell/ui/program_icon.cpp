#include "program_icon.h"

// The resource lives in a static library; nothing would pull it into the program otherwise.
static void initIconResource()
{
    Q_INIT_RESOURCE(gridvane_icons);
}

namespace gridvane {

QIcon programIcon()
{
    initIconResource();
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/gridvane-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/gridvane-32.png"), QSize(32, 32));
    return icon;
}

} // namespace gridvane
