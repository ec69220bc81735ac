#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>
#include <cmath>

namespace gridvane {

// The windows are laid out in twips, 1/1440 inch: 15 twips make one pixel at 96 dots per inch.
inline int twipsToPixels(int twips, qreal logicalDpi)
{
    return int(std::lround(twips * logicalDpi / 1440.0));
}

// A control's place in twips, as pixels on the widget's screen. Both edges are rounded, so
// neighbours that touch in twips touch in pixels.
inline QRect twipsRect(int left, int top, int width, int height, qreal logicalDpi)
{
    const int x = twipsToPixels(left, logicalDpi);
    const int y = twipsToPixels(top, logicalDpi);
    return QRect(x, y, twipsToPixels(left + width, logicalDpi) - x,
        twipsToPixels(top + height, logicalDpi) - y);
}

// Colours are kept as 0x00BBGGRR.
inline QColor bgrColor(quint32 value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

// The text colour of an enabled control; a disabled one shows its text greyed.
inline void setTextColor(QWidget* widget, quint32 value)
{
    QPalette palette = widget->palette();
    for (const auto group : { QPalette::Active, QPalette::Inactive }) {
        palette.setColor(group, QPalette::Text, bgrColor(value));
        palette.setColor(group, QPalette::WindowText, bgrColor(value));
    }
    widget->setPalette(palette);
}

// Places a window's own area in the middle of its screen: its frame is not known before it
// is shown.
void centreOnScreen(QWidget* window);

// The font of the windows' controls, in which every caption fits the box the layout gives it.
QFont controlFont();
// A font by the name the layout gives it, and its size. The set-up installs the families that
// stand in for the Windows fonts; where one is missing, the desktop's font of the kind does.
QFont namedFont(const QString& family, qreal pointSize, QFont::StyleHint kind, bool bold = false);

} // namespace gridvane
