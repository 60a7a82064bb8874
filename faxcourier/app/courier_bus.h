#pragma once
// faxcourier on the D-Bus session bus: the running one offers openConfigure,
// openAddressBook and openOutboxWindow to a second start of the program. Without a session bus neither side
// does anything but log.

#include <QObject>

#include <functional>

namespace korva::app {

inline constexpr const char* kCourierBusService = "com.korva.Fax";

class CourierBus : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.korva.Fax")
public:
    CourierBus(std::function<void()> openConfigure, std::function<void()> openAddressBook,
               std::function<void()> openOutboxWindow = {});
    ~CourierBus() override;

    // Takes the service name and offers this object as "/"; false (logged)
    // when there is no session bus or the name is taken.
    bool publish();

public slots:
    // Answers at once: the dialog opens from the event loop afterwards, so
    // the caller never waits for it.
    Q_SCRIPTABLE void openConfigure();
    Q_SCRIPTABLE void openAddressBook();
    Q_SCRIPTABLE void openOutboxWindow();

private:
    std::function<void()> openConfigure_;
    std::function<void()> openAddressBook_;
    std::function<void()> openOutboxWindow_;
    bool published_ = false;
};

// Asks the faxcourier on this session bus to run `method` (openConfigure,
// openAddressBook or openOutboxWindow); true when it answered.
bool askRunningCourier(const char* method);

}  // namespace korva::app
