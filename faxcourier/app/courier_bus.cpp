#include "faxcourier/app/courier_bus.h"

#include "faxcourier/foundation/log.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QTimer>

#include <optional>

namespace korva::app {
namespace {

constexpr int kCallTimeoutMs = 5000;

QString tokenFromEnvironment()
{
    QString token = qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
    return token.isEmpty() ? qEnvironmentVariable("DESKTOP_STARTUP_ID") : token;
}

std::optional<QString>& keptToken()
{
    static std::optional<QString> token;
    return token;
}

}  // namespace

CourierBus::CourierBus(Requests requests) : requests_(std::move(requests)) {}

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

void CourierBus::later(std::function<void()> work) { QTimer::singleShot(0, this, std::move(work)); }

void CourierBus::openConfigure() { openConfigure(QString()); }

void CourierBus::openConfigure(const QString& activationToken)
{
    LogDebug("Asked on the bus to open Configure (activation token %s)\n",
             activationToken.isEmpty() ? "none" : activationToken.toLocal8Bit().constData());
    later([this, activationToken] { requests_.openConfigure(activationToken); });
}

void CourierBus::openAddressBook() { openAddressBook(QString()); }

void CourierBus::openAddressBook(const QString& activationToken)
{
    LogDebug("Asked on the bus to open the Fax Address Book (activation token %s)\n",
             activationToken.isEmpty() ? "none" : activationToken.toLocal8Bit().constData());
    later([this, activationToken] { requests_.openAddressBook(activationToken); });
}

void CourierBus::openOutboxWindow() { openOutboxWindow(QString()); }

void CourierBus::openOutboxWindow(const QString& activationToken)
{
    LogDebug("Asked on the bus to open the Outbox window (activation token %s)\n",
             activationToken.isEmpty() ? "none" : activationToken.toLocal8Bit().constData());
    later([this, activationToken] {
        if (requests_.openOutboxWindow)
            requests_.openOutboxWindow(activationToken);
    });
}

void CourierBus::quit()
{
    LogDebug("Asked on the bus to end\n");
    later([this] { requests_.quit(); });
}

QString launcherActivationToken() { return keptToken() ? *keptToken() : tokenFromEnvironment(); }

void keepLauncherActivationToken() { keptToken() = tokenFromEnvironment(); }

bool courierOnBus()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface()->isServiceRegistered(kCourierBusService);
}

bool askRunningCourier(const char* method, const QString& activationToken)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        LogDebug("No session bus to reach the running faxcourier\n");
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kCourierBusService, "/", kCourierBusService, method);
    if (!activationToken.isEmpty())
        call << activationToken;
    QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    // A running version that takes no token still opens the dialog.
    if (reply.type() == QDBusMessage::ErrorMessage && !activationToken.isEmpty() &&
        reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod"))
        return askRunningCourier(method);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        LogAlways(0, "The running faxcourier did not answer on the session bus: %s\n",
                  reply.errorMessage().toLocal8Bit().constData());
        return false;
    }
    return true;
}

}  // namespace korva::app
