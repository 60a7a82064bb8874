#include "faxcourier/app/desktop_notice.h"

#include "faxcourier/app/text_convert.h"
#include "faxcourier/foundation/log.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace korva::app {

void showDesktopNotice(const std::string& text)
{
    LogAlways(1, "%s\n", text.c_str());
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage notify = QDBusMessage::createMethodCall(
        "org.freedesktop.Notifications", "/org/freedesktop/Notifications", "org.freedesktop.Notifications", "Notify");
    // app name, id to replace, icon, summary, body, actions, hints, time-out
    // (-1: the server's own).
    notify << QStringLiteral("KORVA Fax") << 0u << QStringLiteral("korvafax") << toQt(text) << QString()
           << QStringList() << QVariantMap() << -1;
    if (!bus.send(notify))
        LogDebug("The desktop notification could not be sent\n");
}

}  // namespace korva::app
