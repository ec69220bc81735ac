#pragma once

#include <QString>

class QWidget;

namespace gridvane {

// Brings a shown window to the front and gives it the focus. An activation token from the
// desktop (an xdg-activation token on Wayland, a startup id on X11; empty for none) shows
// that the user asked for it, so a desktop that keeps windows from taking the focus lets it.
void activateWindow(QWidget* window, const QString& activationToken);

} // namespace gridvane
