// Draws the program icon, a yellow lightning bolt with a black outline and olive shading on a
// transparent background. Without options it writes the 16 and 32 pixel PNGs kept in
// src/shell/ui/icons/; with --theme it writes the icon theme's sizes and a scalable SVG of the
// same bolt into a hicolor folder (the build does that for the installed icons).
//
//   g++ -std=c++20 -fPIC scripts/make_icon.cpp $(pkg-config --cflags --libs Qt6Gui) -o make_icon
//   QT_QPA_PLATFORM=offscreen ./make_icon src/shell/ui/icons
//   QT_QPA_PLATFORM=offscreen ./make_icon --theme build/hicolor

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>

namespace {

// The bolt on a 32-unit grid.
QPolygonF bolt()
{
    return QPolygonF({ { 13, 1 }, { 25, 1 }, { 18, 12 }, { 26, 12 }, { 7, 31 }, { 12, 18 },
        { 5, 18 }, { 13, 1 } });
}

// Width of the olive band along the lower right edges, in grid units.
constexpr int shadeUnits = 2;

QImage draw(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    // Hard edges up to 32 pixels: the small icons keep to a few solid colours like a
    // 16-colour icon. The larger ones are smoothed, with the outline growing with them.
    painter.setRenderHint(QPainter::Antialiasing, size > 32);
    const qreal scale = size / 32.0;
    QPainterPath outline;
    outline.addPolygon(bolt());
    outline = QTransform::fromScale(scale, scale).map(outline);

    painter.setPen(Qt::NoPen);
    // Olive everywhere, then yellow over all but a band along the lower right edges.
    painter.setBrush(QColor(128, 128, 0));
    painter.drawPath(outline);
    painter.setClipPath(outline);
    painter.setBrush(QColor(255, 255, 0));
    painter.drawPath(outline.translated(-shadeUnits * scale, -shadeUnits * scale));
    painter.setClipping(false);

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, std::max<qreal>(1, scale)));
    painter.drawPath(outline);
    return image;
}

// The same bolt, colours and shading band as draw() at 32 units, as SVG.
QByteArray svg()
{
    QByteArray points;
    for (const QPointF& p : bolt())
        points += QByteArray::number(p.x()) + ',' + QByteArray::number(p.y()) + ' ';
    points.chop(1);
    const QByteArray shade = QByteArray::number(-shadeUnits);
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"32\" "
           "viewBox=\"0 0 32 32\">\n  <clipPath id=\"bolt\"><polygon points=\""
        + points + "\"/></clipPath>\n  <polygon points=\"" + points
        + "\" fill=\"#808000\"/>\n  <g clip-path=\"url(#bolt)\"><polygon points=\"" + points
        + "\" fill=\"#ffff00\" transform=\"translate(" + shade + ',' + shade
        + ")\"/></g>\n  <polygon points=\"" + points
        + "\" fill=\"none\" stroke=\"#000000\" stroke-width=\"1\" "
          "stroke-linejoin=\"bevel\"/>\n</svg>\n";
}

bool writeTheme(const QString& hicolor)
{
    for (const int size : { 16, 32, 48, 64, 128, 256 }) {
        const QString folder = hicolor + QStringLiteral("/%1x%1/apps").arg(size);
        if (!QDir().mkpath(folder) || !draw(size).save(folder + QStringLiteral("/gridvane.png")))
            return false;
    }
    const QString folder = hicolor + QStringLiteral("/scalable/apps");
    QFile file(folder + QStringLiteral("/gridvane.svg"));
    return QDir().mkpath(folder) && file.open(QIODevice::WriteOnly) && file.write(svg()) > 0;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.value(0) == QStringLiteral("--theme"))
        return writeTheme(args.value(1, QStringLiteral("hicolor"))) ? 0 : 1;
    const QString folder = args.value(0, QStringLiteral("."));
    for (const int size : { 16, 32 }) {
        if (!draw(size).save(folder + QStringLiteral("/gridvane-%1.png").arg(size)))
            return 1;
    }
    return 0;
}
