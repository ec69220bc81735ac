#include "layout.h"

#include <QFontMetrics>

namespace gridvane {

QFont controlFont()
{
    QFont font;
    font.setPointSizeF(8.25);
    return font;
}

QFont namedFont(const QString& family, qreal pointSize, QFont::StyleHint kind, bool bold)
{
    QFont font(family);
    font.setStyleHint(kind);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

void fitText(QWidget* widget, const QString& text, int width)
{
    QFont font = widget->font();
    for (int stretch = 100; stretch >= 50; stretch -= 5) {
        font.setStretch(stretch);
        if (QFontMetrics(font).horizontalAdvance(text) <= width)
            break;
    }
    if (font.stretch() != 100)
        widget->setFont(font);
}

} // namespace gridvane
