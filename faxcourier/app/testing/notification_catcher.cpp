#include "faxcourier/app/testing/notification_catcher.h"

#include "faxcourier/app/testing/courier_process.h"

#include <QCoreApplication>
#include <QDBusMessage>

namespace korva::app::testing {
namespace {

const char* kConnectionName = "notification-catcher";

}  // namespace

NotificationCatcher::NotificationCatcher(const std::string& busAddress)
    : bus_(QDBusConnection::connectToBus(QString::fromStdString(busAddress), kConnectionName))
{
    listening_ = bus_.isConnected() && bus_.registerVirtualObject("/org/freedesktop/Notifications", this) &&
                 bus_.registerService("org.freedesktop.Notifications");
}

NotificationCatcher::~NotificationCatcher()
{
    bus_.unregisterObject("/org/freedesktop/Notifications");
    QDBusConnection::disconnectFromBus(kConnectionName);
}

QStringList NotificationCatcher::waitForSummaries(int count, std::chrono::milliseconds timeout)
{
    pollUntil(
        [&] {
            QCoreApplication::processEvents();
            std::lock_guard lock(mutex_);
            return summaries_.size() >= count;
        },
        timeout);
    std::lock_guard lock(mutex_);
    return summaries_;
}

QString NotificationCatcher::introspect(const QString&) const { return {}; }

bool NotificationCatcher::handleMessage(const QDBusMessage& message, const QDBusConnection& connection)
{
    if (message.member() != "Notify" || message.arguments().size() < 4)
        return false;
    {
        std::lock_guard lock(mutex_);
        summaries_ << message.arguments().at(3).toString();
    }
    connection.send(message.createReply(QVariant::fromValue(uint(1))));
    return true;
}

}  // namespace korva::app::testing
