#pragma once
// faxcourier on the D-Bus session bus: the running one offers openConfigure
// to a second start of the program. Without a session bus neither side
// does anything but log.

#include <QObject>

#include <functional>

namespace korva::app {

inline constexpr const char* kCourierBusService = "com.korva.Fax";

class CourierBus : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.korva.Fax")
public:
    explicit CourierBus(std::function<void()> openConfigure);
    ~CourierBus() override;

    // Takes the service name and offers this object as "/"; false (logged)
    // when there is no session bus or the name is taken.
    bool publish();

public slots:
    // Answers at once: the dialog opens from the event loop afterwards, so
    // the caller never waits for it.
    Q_SCRIPTABLE void openConfigure();

private:
    std::function<void()> openConfigure_;
    bool published_ = false;
};

// Asks the faxcourier on this session bus to open Configure; true when it
// answered.
bool askRunningCourierToConfigure();

}  // namespace korva::app
