#include "faxcourier/widgets/app_icon.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

static void initResources() { Q_INIT_RESOURCE(app); }

namespace korva::app {
namespace {

// Drawn here rather than by Qt's SVG image plugin, which a desktop may lack:
// the package depends on the library that draws it, so the icon never shows
// as a blank square.
QIcon drawIcon()
{
    QSvgRenderer renderer(QStringLiteral(":/korvafax/korvafax.svg"));
    QIcon icon;
    if (!renderer.isValid())
        return icon;
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

}  // namespace

const QIcon& smallIcon()
{
    static const QIcon icon = [] {
        initResources();
        return drawIcon();
    }();
    return icon;
}

}  // namespace korva::app
