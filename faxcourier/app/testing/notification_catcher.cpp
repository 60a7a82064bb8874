#include "faxcourier/app/testing/notification_catcher.h"

#include "faxcourier/app/testing/courier_process.h"

#include <QCoreApplication>
#include <QDBusMessage>

namespace korva::app::testing {
namespace {

const char* kConnectionName = "notification-catcher";
const char* kPath = "/org/freedesktop/Notifications";
const char* kInterface = "org.freedesktop.Notifications";

}  // namespace

NotificationCatcher::NotificationCatcher(const std::string& busAddress, const QStringList& capabilities)
    : bus_(QDBusConnection::connectToBus(QString::fromStdString(busAddress), kConnectionName)),
      capabilities_(capabilities)
{
    listening_ = bus_.isConnected() && bus_.registerVirtualObject(kPath, this) &&
                 bus_.registerService("org.freedesktop.Notifications");
}

NotificationCatcher::~NotificationCatcher()
{
    bus_.unregisterService("org.freedesktop.Notifications");
    bus_.unregisterObject(kPath);
    QDBusConnection::disconnectFromBus(kConnectionName);
}

std::vector<CaughtNotice> NotificationCatcher::waitForNotices(size_t count, std::chrono::milliseconds timeout)
{
    pollUntil(
        [&] {
            QCoreApplication::processEvents();
            std::lock_guard lock(mutex_);
            return notices_.size() >= count;
        },
        timeout);
    std::lock_guard lock(mutex_);
    return notices_;
}

QStringList NotificationCatcher::waitForSummaries(int count, std::chrono::milliseconds timeout)
{
    QStringList summaries;
    for (const CaughtNotice& notice : waitForNotices(size_t(count), timeout))
        summaries << notice.summary;
    return summaries;
}

void NotificationCatcher::invokeAction(uint id, const QString& key)
{
    QDBusMessage signal = QDBusMessage::createSignal(kPath, kInterface, "ActionInvoked");
    signal << id << key;
    bus_.send(signal);
}

QString NotificationCatcher::introspect(const QString&) const { return {}; }

bool NotificationCatcher::handleMessage(const QDBusMessage& message, const QDBusConnection& connection)
{
    if (message.member() == "GetCapabilities") {
        connection.send(message.createReply(capabilities_));
        return true;
    }
    const QList<QVariant> arguments = message.arguments();
    if (message.member() != "Notify" || arguments.size() < 6)
        return false;
    uint id = 0;
    {
        std::lock_guard lock(mutex_);
        id = uint(notices_.size() + 1);
        notices_.push_back(
            {id, arguments.at(3).toString(), arguments.at(4).toString(), arguments.at(5).toStringList()});
    }
    connection.send(message.createReply(QVariant::fromValue(id)));
    return true;
}

}  // namespace korva::app::testing
