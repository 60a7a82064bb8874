// The icon shows where Qt's SVG plugins are missing, as on a desktop
// without them.

#include "faxcourier/widgets/app_icon.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QLibraryInfo>

#include <gtest/gtest.h>

namespace {

int opaquePixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 0;
    return count;
}

TEST(AppIcon, DrawnAtEverySizeWithoutQtsSvgPlugins)
{
    // Only the platform plugin may load; no image or icon-engine plugin.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_QPA_PLATFORM_PLUGIN_PATH",
            (QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms")).toUtf8());
    QCoreApplication::setLibraryPaths({});
    int argc = 1;
    char name[] = "app_icon_test";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    QCoreApplication::setLibraryPaths({});

    const QIcon& icon = korva::app::smallIcon();
    for (int side : {16, 22, 32, 48}) {
        QImage drawn = icon.pixmap(side, side).toImage();
        ASSERT_EQ(drawn.width(), side);
        EXPECT_GT(opaquePixels(drawn), side * side / 4) << side << " px";
    }
}

}  // namespace
