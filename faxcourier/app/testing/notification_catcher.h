#pragma once
// Stands in for the desktop's notification service on a test's own session
// bus: takes the name org.freedesktop.Notifications and keeps the summary
// of every Notify call.

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QStringList>

#include <chrono>
#include <mutex>

namespace korva::app::testing {

class NotificationCatcher : public QDBusVirtualObject {
public:
    explicit NotificationCatcher(const std::string& busAddress);
    ~NotificationCatcher() override;

    bool listening() const { return listening_; }
    // Runs the event loop until `count` notifications came or `timeout` passed.
    QStringList waitForSummaries(int count, std::chrono::milliseconds timeout);

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    QDBusConnection bus_;
    bool listening_ = false;
    std::mutex mutex_;
    QStringList summaries_;
};

}  // namespace korva::app::testing
