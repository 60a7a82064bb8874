#pragma once
// Stands in for the desktop's notification service on a test's own session
// bus: takes the name org.freedesktop.Notifications, keeps every Notify
// call, and clicks a notification's action on request.

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QStringList>

#include <chrono>
#include <mutex>
#include <vector>

namespace korva::app::testing {

struct CaughtNotice {
    uint id = 0;
    QString summary;
    QString body;
    QStringList actions;  // key, label, key, label ...
};

class NotificationCatcher : public QDBusVirtualObject {
public:
    // What GetCapabilities answers.
    explicit NotificationCatcher(const std::string& busAddress, const QStringList& capabilities = {"body"});
    ~NotificationCatcher() override;

    bool listening() const { return listening_; }
    // Run the event loop until `count` notifications came or `timeout` passed.
    QStringList waitForSummaries(int count, std::chrono::milliseconds timeout);
    std::vector<CaughtNotice> waitForNotices(size_t count, std::chrono::milliseconds timeout);
    // As the user's click on the action `key` of notification `id`.
    void invokeAction(uint id, const QString& key);

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    QDBusConnection bus_;
    bool listening_ = false;
    QStringList capabilities_;
    std::mutex mutex_;
    std::vector<CaughtNotice> notices_;
};

}  // namespace korva::app::testing
