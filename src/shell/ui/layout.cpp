#include "layout.h"

#include <QGuiApplication>
#include <QScreen>

namespace gridvane {

namespace {

const QString sansSerif = QStringLiteral("Liberation Sans");

// Liberation Serif has the metrics of Times New Roman; MS Sans Serif has no such twin, so the
// controls' sans serif takes its place.
QString installedFamily(const QString& family)
{
    if (family == QLatin1String("Times New Roman"))
        return QStringLiteral("Liberation Serif");
    if (family == QLatin1String("MS Sans Serif"))
        return sansSerif;
    return family;
}

} // namespace

void centreOnScreen(QWidget* window)
{
    // A Wayland compositor places windows itself.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return;
    if (const QScreen* where = window->screen())
        window->setGeometry(
            QRect(where->availableGeometry().center() - window->rect().center(), window->size()));
}

QFont controlFont()
{
    return namedFont(sansSerif, 7.5, QFont::SansSerif);
}

QFont namedFont(const QString& family, qreal pointSize, QFont::StyleHint kind, bool bold)
{
    QFont font(installedFamily(family));
    font.setStyleHint(kind);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace gridvane
