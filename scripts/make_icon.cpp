// Draws the program icon, a yellow lightning bolt with a black outline and olive shading on a
// transparent background, at 16 x 16 and 32 x 32 pixels. Run once by hand; the PNGs it writes
// are kept in src/shell/ui/icons/.
//
//   g++ -std=c++20 -fPIC scripts/make_icon.cpp $(pkg-config --cflags --libs Qt6Gui) -o make_icon
//   QT_QPA_PLATFORM=offscreen ./make_icon src/shell/ui/icons

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace {

// The bolt on a 32-unit grid.
QPolygonF bolt()
{
    return QPolygonF({ { 13, 1 }, { 25, 1 }, { 18, 12 }, { 26, 12 }, { 7, 31 }, { 12, 18 },
        { 5, 18 }, { 13, 1 } });
}

QImage draw(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    // Hard edges: the icon keeps to a few solid colours like a 16-colour icon.
    painter.setRenderHint(QPainter::Antialiasing, false);
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
    const qreal shade = size >= 32 ? 2 : 1;
    painter.drawPath(outline.translated(-shade, -shade));
    painter.setClipping(false);

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawPath(outline);
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    for (const int size : { 16, 32 }) {
        if (!draw(size).save(folder + QStringLiteral("/gridvane-%1.png").arg(size)))
            return 1;
    }
    return 0;
}
