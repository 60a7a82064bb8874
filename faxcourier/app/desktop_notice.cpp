#include "faxcourier/app/desktop_notice.h"

#include "faxcourier/foundation/log.h"
#include "platform/windows1252.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusConnectionInterface>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include <set>
#include <vector>

namespace korva::app {
namespace {

const char* kService = "org.freedesktop.Notifications";
const char* kPath = "/org/freedesktop/Notifications";
const char* kInterface = "org.freedesktop.Notifications";

// Sends the notices in order and remembers which offer the outbox, so that
// the service's ActionInvoked for them opens it. What the service can show
// (actions, markup in the body) is asked once per service owner: asked
// early, a notice sent as the program ends is not held up by the question.
class NoticeCenter : public QObject {
    Q_OBJECT
public:
    static NoticeCenter& instance()
    {
        static auto* center = new NoticeCenter;  // lives as long as the session bus connection
        return *center;
    }

    void show(const DesktopNotice& notice)
    {
        if (!listening())
            return;
        queued_.push_back(notice);
        askCapabilitiesOfNewOwner();
        if (!asking_)
            sendQueued();
    }

    void setOpener(std::function<void()> open)
    {
        opener_ = std::move(open);
        if (listening())
            askCapabilitiesOfNewOwner();
    }

private slots:
    void actionInvoked(uint id, const QString& key)
    {
        if ((key == "outbox" || key == "default") && withOutbox_.count(id) != 0 && opener_)
            opener_();
    }
    void closed(uint id, uint) { withOutbox_.erase(id); }

private:
    // Connects to the service's signals once the session bus is there.
    bool listening()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected())
            return false;
        if (!connected_) {
            bus.connect({}, kPath, kInterface, "ActionInvoked", this, SLOT(actionInvoked(uint, QString)));
            bus.connect({}, kPath, kInterface, "NotificationClosed", this, SLOT(closed(uint, uint)));
            connected_ = true;
        }
        return true;
    }

    // The bus daemon answers who owns the service at once; the service
    // itself may be slow, so it is asked without waiting. A service started
    // on demand has no owner until asked: the question starts it.
    void askCapabilitiesOfNewOwner()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (asking_ || (!owner_.isEmpty() && currentOwner() == owner_))
            return;
        asking_ = true;
        QDBusMessage ask = QDBusMessage::createMethodCall(kService, kPath, kInterface, "GetCapabilities");
        auto* call = new QDBusPendingCallWatcher(bus.asyncCall(ask), this);
        connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* answered) {
            QDBusPendingReply<QStringList> reply = *answered;
            showsActions_ = reply.isValid() && reply.value().contains("actions");
            readsMarkup_ = reply.isValid() && reply.value().contains("body-markup");
            owner_ = reply.isValid() ? currentOwner() : QString();
            withOutbox_.clear();
            asking_ = false;
            answered->deleteLater();
            sendQueued();
        });
    }

    // A subject such as "Tom & Jerry" is text, not markup.
    QString body(const DesktopNotice& notice) const
    {
        QString text = QString::fromStdString(notice.body);
        return readsMarkup_ ? text.toHtmlEscaped() : text;
    }

    static QString currentOwner() { return QDBusConnection::sessionBus().interface()->serviceOwner(kService).value(); }

    void sendQueued()
    {
        std::vector<DesktopNotice> notices;
        notices.swap(queued_);
        for (const DesktopNotice& notice : notices)
            send(notice);
    }

    void send(const DesktopNotice& notice)
    {
        const bool offer = notice.offerOutbox && opener_ && showsActions_;
        QStringList actions;
        if (offer)
            actions << "default" << QCoreApplication::translate("DesktopNotice", "Open Outbox") << "outbox"
                    << QCoreApplication::translate("DesktopNotice", "Open Outbox");
        QDBusMessage notify = QDBusMessage::createMethodCall(kService, kPath, kInterface, "Notify");
        // app name, id to replace, icon, summary, body, actions, hints,
        // time-out (-1: the server's own).
        notify << QStringLiteral("KORVA Fax") << 0u << QStringLiteral("korvafax")
               << QString::fromStdString(notice.summary) << body(notice) << actions << QVariantMap() << -1;
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!offer) {
            if (!bus.send(notify))
                LogDebug("The desktop notification could not be sent\n");
            return;
        }
        auto* call = new QDBusPendingCallWatcher(bus.asyncCall(notify), this);
        connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* answered) {
            QDBusPendingReply<uint> reply = *answered;
            if (reply.isValid())
                withOutbox_.insert(reply.value());
            answered->deleteLater();
        });
    }

    std::function<void()> opener_;
    QString owner_;              // the service's unique name when it was asked
    bool showsActions_ = false;  // its answers
    bool readsMarkup_ = false;
    bool asking_ = false;
    bool connected_ = false;
    std::vector<DesktopNotice> queued_;
    std::set<uint> withOutbox_;  // shown notices that offer the outbox
};

}  // namespace

DesktopNotice noticeOf(const NoticeText& shown, const NoticeText& logged, bool offerOutbox)
{
    return {shown.summary, shown.body, offerOutbox, logged.summary, logged.body};
}

void showDesktopNotice(const DesktopNotice& notice)
{
    // One line in the log: "Fax sent: Offer; To Anna; 1 page".
    const bool english = !notice.loggedSummary.empty();
    const std::string& body = english ? notice.loggedBody : notice.body;
    std::string line = (english ? notice.loggedSummary : notice.summary) + (body.empty() ? "" : ": ");
    for (char c : body)
        line += c == '\n' ? std::string("; ") : std::string(1, c);
    LogAlways(1, "%s\n", line.c_str());
    NoticeCenter::instance().show(notice);
}

void showDesktopLine(const std::string& text) { showDesktopNotice(DesktopNotice{windows1252ToUtf8(text), {}}); }

void setOutboxOpener(std::function<void()> open) { NoticeCenter::instance().setOpener(std::move(open)); }

}  // namespace korva::app

#include "desktop_notice.moc"
