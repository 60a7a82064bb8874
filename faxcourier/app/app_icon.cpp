#include "faxcourier/app/app_icon.h"

static void initResources() { Q_INIT_RESOURCE(app); }

namespace korva::app {

const QIcon& smallIcon()
{
    static const QIcon icon = [] {
        initResources();
        return QIcon(QStringLiteral(":/korvafax/korvafax.svg"));
    }();
    return icon;
}

}  // namespace korva::app
