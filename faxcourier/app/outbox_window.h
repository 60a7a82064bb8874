#pragma once
// The Outbox window: what waits in the outbox and why, with Retry Now, Open
// in Send Fax and Delete, and a second tab with the journal of the faxes the
// server accepted. A top-level window of its own that blocks nothing; it
// follows the outbox and the journal while it is open.

#include <QString>
#include <QWidget>

#include <functional>
#include <string>

class QFileSystemWatcher;
class QLabel;
class QPushButton;
class QTabWidget;
class QTimer;
class QTreeWidget;

namespace korva {
struct OutboxEntry;
}

namespace korva::app {

class OutboxKeeper;

class OutboxWindow : public QWidget {
    Q_OBJECT
public:
    struct Actions {
        // Offers the entry in the Send Fax dialog; returns when it ends.
        std::function<void(const std::string& id)> openInSendFax;
        // Why no Send Fax dialog can open now; empty when one can.
        std::function<QString()> sendFaxBlocked;
    };
    OutboxWindow(OutboxKeeper& keeper, Actions actions);
    ~OutboxWindow() override;

    // Reads the outbox and the journal again, keeping the selection.
    void refresh();

    // The outbox's columns, in order.
    enum Column { State, Recipients, Subject, Pages, Created, Attempts, NextTry, Reason, ColumnCount };
    // The journal's columns, in order.
    enum SentColumn { SentWhen, SentRecipients, SentSubject, SentPages, SentHow, SentColumnCount };

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QWidget* buildOutboxTab();
    QWidget* buildSentTab();
    void fillEntries();
    void fillSent();
    void watchFiles();
    void updateButtons();
    std::string selectedId() const;
    bool selectedEntry(OutboxEntry& entry) const;
    void retryNow();
    void openInSendFax();
    void deleteEntry();

    OutboxKeeper& keeper_;
    Actions actions_;
    std::string inDialog_;  // the entry the Send Fax dialog has
    bool retrying_ = false;

    QTabWidget* tabs_ = nullptr;
    QTreeWidget* entries_ = nullptr;
    QTreeWidget* sent_ = nullptr;
    QPushButton* retry_ = nullptr;
    QPushButton* open_ = nullptr;
    QPushButton* delete_ = nullptr;
    QLabel* note_ = nullptr;
    QFileSystemWatcher* watcher_ = nullptr;
    QTimer* refreshSoon_ = nullptr;
};

}  // namespace korva::app
