#pragma once
// faxcourier on the D-Bus session bus: the running one offers openConfigure,
// openAddressBook, openOutboxWindow and quit to a second start of the
// program. Without a
// session bus neither side does anything but log.

#include <QObject>
#include <QString>

#include <functional>

namespace korva::app {

inline constexpr const char* kCourierBusService = "com.korva.Fax";

class CourierBus : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.korva.Fax")
public:
    // `activationToken`: the launcher's token for bringing a window to the
    // front (empty when the caller had none).
    using Opener = std::function<void(const QString& activationToken)>;
    struct Requests {
        Opener openConfigure;
        Opener openAddressBook;
        Opener openOutboxWindow;
        std::function<void()> quit;
    };
    explicit CourierBus(Requests requests);
    ~CourierBus() override;

    // Takes the service name and offers this object as "/"; false (logged)
    // when there is no session bus or the name is taken.
    bool publish();

public slots:
    // Each answers at once: the work runs from the event loop afterwards,
    // so the caller never waits for a dialog. The forms without a token are
    // what older versions call.
    Q_SCRIPTABLE void openConfigure();
    Q_SCRIPTABLE void openConfigure(const QString& activationToken);
    Q_SCRIPTABLE void openAddressBook();
    Q_SCRIPTABLE void openAddressBook(const QString& activationToken);
    Q_SCRIPTABLE void openOutboxWindow();
    Q_SCRIPTABLE void openOutboxWindow(const QString& activationToken);
    Q_SCRIPTABLE void quit();

private:
    void later(std::function<void()> work);

    Requests requests_;
    bool published_ = false;
};

// The token the launcher gave this process to bring a window to the front:
// XDG_ACTIVATION_TOKEN (Wayland) or else DESKTOP_STARTUP_ID (X11).
QString launcherActivationToken();
// Reads it now: the application object takes both variables away.
void keepLauncherActivationToken();

// True when a faxcourier holds its name on this session bus.
bool courierOnBus();

// Asks the faxcourier on this session bus to run `method` (openConfigure,
// openAddressBook, openOutboxWindow or quit), passing `activationToken` when there is one;
// true when it answered.
bool askRunningCourier(const char* method, const QString& activationToken = {});

}  // namespace korva::app
