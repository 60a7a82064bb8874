#include "faxcourier/app/courier_bus.h"

#include "faxcourier/foundation/log.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QTimer>

namespace korva::app {
namespace {

constexpr int kCallTimeoutMs = 5000;

}  // namespace

CourierBus::CourierBus(std::function<void()> openConfigure, std::function<void()> openAddressBook,
                       std::function<void()> openOutboxWindow)
    : openConfigure_(std::move(openConfigure)),
      openAddressBook_(std::move(openAddressBook)),
      openOutboxWindow_(std::move(openOutboxWindow))
{
}

CourierBus::~CourierBus()
{
    if (!published_)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject("/");
    bus.unregisterService(kCourierBusService);
}

bool CourierBus::publish()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        LogDebug("No session bus: a second start cannot reach this faxcourier\n");
        return false;
    }
    if (!bus.registerObject("/", this, QDBusConnection::ExportScriptableSlots)) {
        LogAlways(0, "Unable to offer faxcourier on the session bus\n");
        return false;
    }
    if (!bus.registerService(kCourierBusService)) {
        LogAlways(0, "Unable to take the bus name %s: %s\n", kCourierBusService,
                  bus.lastError().message().toLocal8Bit().constData());
        bus.unregisterObject("/");
        return false;
    }
    published_ = true;
    return true;
}

void CourierBus::openConfigure()
{
    QTimer::singleShot(0, this, [this] { openConfigure_(); });
}

void CourierBus::openAddressBook()
{
    QTimer::singleShot(0, this, [this] { openAddressBook_(); });
}

void CourierBus::openOutboxWindow()
{
    QTimer::singleShot(0, this, [this] {
        if (openOutboxWindow_)
            openOutboxWindow_();
    });
}

bool askRunningCourier(const char* method)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        LogDebug("No session bus to reach the running faxcourier\n");
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kCourierBusService, "/", kCourierBusService, method);
    QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        LogAlways(0, "The running faxcourier did not answer on the session bus: %s\n",
                  reply.errorMessage().toLocal8Bit().constData());
        return false;
    }
    return true;
}

}  // namespace korva::app
