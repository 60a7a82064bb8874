#include "faxcourier/app/outbox_window.h"

#include "faxcourier/app/outbox_keeper.h"
#include "faxcourier/net/submit_words.h"
#include "faxcourier/outbox/outbox_text.h"
#include "faxcourier/widgets/dialog_support.h"
#include "faxcourier/widgets/ui_seam.h"
#include "platform/paths.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace korva::app {
namespace {

constexpr int kIdRole = Qt::UserRole;

QString utf8(const std::string& text) { return QString::fromUtf8(text.c_str()); }

QTreeWidget* listView(QWidget* parent, const QStringList& headers)
{
    auto* view = new QTreeWidget(parent);
    view->setHeaderLabels(headers);
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    return view;
}

QStringList entryRow(const OutboxEntry& entry)
{
    QStringList row;
    row << utf8(outboxStateWords(entry.state)) << utf8(shownRecipients(entry.job)) << utf8(shownText(entry.job.subject))
        << QString::number(jobPages(entry.job)) << utf8(localTimeText(entry.created)) << QString::number(entry.attempts)
        << (entry.state == OutboxState::Waiting ? utf8(localTimeText(entry.nextTry)) : QString())
        << utf8(shownReason(entry.reason));
    return row;
}

QStringList sentRow(const SentRecord& record)
{
    std::string recipients;
    for (const std::string& recipient : record.recipients)
        recipients += (recipients.empty() ? "" : ", ") + recipient;
    return {utf8(localTimeText(record.when)), utf8(recipients), utf8(record.subject), QString::number(record.pages),
            utf8(sentHowWords(record.how))};
}

}  // namespace

OutboxWindow::OutboxWindow(OutboxKeeper& keeper, Actions actions)
    : QWidget(nullptr, Qt::Window), keeper_(keeper), actions_(std::move(actions))
{
    setObjectName(QStringLiteral("OutboxWindow"));
    setWindowTitle(QCoreApplication::translate("OutboxWindow", "KORVA Fax Outbox"));
    setSmallIcon(this);
    tabs_ = new QTabWidget(this);
    tabs_->addTab(buildOutboxTab(), QCoreApplication::translate("OutboxWindow", "Out&box"));
    tabs_->addTab(buildSentTab(), QCoreApplication::translate("OutboxWindow", "&Sent"));
    auto* close = new QPushButton(QCoreApplication::translate("OutboxWindow", "&Close"), this);
    close->setObjectName(QStringLiteral("close"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addLayout(bottom);

    refreshSoon_ = new QTimer(this);
    refreshSoon_->setSingleShot(true);
    refreshSoon_->setInterval(50);
    connect(refreshSoon_, &QTimer::timeout, this, &OutboxWindow::refresh);
    // Changes made outside this program too: --outbox-drop, --outbox-retry.
    watcher_ = new QFileSystemWatcher(this);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, refreshSoon_, qOverload<>(&QTimer::start));
    connect(watcher_, &QFileSystemWatcher::fileChanged, refreshSoon_, qOverload<>(&QTimer::start));
    keeper_.onChanged([this] { refreshSoon_->start(); });
    resize(dluX(this, 560), dluY(this, 200));
    refresh();
}

OutboxWindow::~OutboxWindow() { keeper_.onChanged({}); }

QWidget* OutboxWindow::buildOutboxTab()
{
    auto* tab = new QWidget(this);
    entries_ = listView(tab, {QCoreApplication::translate("OutboxWindow", "State"),
                              QCoreApplication::translate("OutboxWindow", "Recipients"),
                              QCoreApplication::translate("OutboxWindow", "Subject"),
                              QCoreApplication::translate("OutboxWindow", "Pages"),
                              QCoreApplication::translate("OutboxWindow", "Created"),
                              QCoreApplication::translate("OutboxWindow", "Attempts"),
                              QCoreApplication::translate("OutboxWindow", "Next Try"),
                              QCoreApplication::translate("OutboxWindow", "Reason")});
    entries_->setObjectName(QStringLiteral("entries"));
    connect(entries_, &QTreeWidget::itemSelectionChanged, this, &OutboxWindow::updateButtons);
    retry_ = new QPushButton(QCoreApplication::translate("OutboxWindow", "&Retry Now"), tab);
    retry_->setObjectName(QStringLiteral("retry"));
    open_ = new QPushButton(QCoreApplication::translate("OutboxWindow", "&Open in Send Fax"), tab);
    open_->setObjectName(QStringLiteral("open"));
    delete_ = new QPushButton(QCoreApplication::translate("OutboxWindow", "&Delete"), tab);
    delete_->setObjectName(QStringLiteral("delete"));
    connect(retry_, &QPushButton::clicked, this, &OutboxWindow::retryNow);
    connect(open_, &QPushButton::clicked, this, &OutboxWindow::openInSendFax);
    connect(delete_, &QPushButton::clicked, this, &OutboxWindow::deleteEntry);
    note_ = new QLabel(tab);
    note_->setObjectName(QStringLiteral("note"));
    note_->setWordWrap(true);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {retry_, open_, delete_})
        buttons->addWidget(button);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(entries_);
    layout->addLayout(buttons);
    layout->addWidget(note_);
    return tab;
}

QWidget* OutboxWindow::buildSentTab()
{
    auto* tab = new QWidget(this);
    sent_ = listView(tab, {QCoreApplication::translate("OutboxWindow", "Date and Time"),
                           QCoreApplication::translate("OutboxWindow", "Recipients"),
                           QCoreApplication::translate("OutboxWindow", "Subject"),
                           QCoreApplication::translate("OutboxWindow", "Pages"),
                           QCoreApplication::translate("OutboxWindow", "How")});
    sent_->setObjectName(QStringLiteral("sent"));
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(sent_);
    return tab;
}

void OutboxWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    refresh();
    entries_->setFocus();
}

// A Send Fax dialog may have opened or closed meanwhile.
void OutboxWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        updateButtons();
}

void OutboxWindow::refresh()
{
    fillEntries();
    fillSent();
    watchFiles();
    updateButtons();
}

void OutboxWindow::fillEntries()
{
    const std::string selected = selectedId();
    entries_->clear();
    QTreeWidgetItem* keep = nullptr;
    for (const OutboxEntry& entry : keeper_.list()) {
        auto* item = new QTreeWidgetItem(entries_, entryRow(entry));
        item->setData(0, kIdRole, utf8(entry.id));
        if (entry.id == selected)
            keep = item;
    }
    if (!keep)
        keep = entries_->topLevelItem(0);
    if (keep)
        entries_->setCurrentItem(keep);
    for (int column = 0; column < ColumnCount - 1; ++column)
        entries_->resizeColumnToContents(column);
}

void OutboxWindow::fillSent()
{
    sent_->clear();
    std::vector<SentRecord> records = keeper_.journal().read();
    for (auto record = records.rbegin(); record != records.rend(); ++record)
        new QTreeWidgetItem(sent_, sentRow(*record));
    if (sent_->topLevelItemCount() > 0)
        sent_->setCurrentItem(sent_->topLevelItem(0));
    for (int column = 0; column < SentColumnCount - 1; ++column)
        sent_->resizeColumnToContents(column);
}

// The folders are watched for entries and a journal made or renamed, the
// journal itself for appends. A trim renames a new file in, so each refresh
// watches whatever is there now.
void OutboxWindow::watchFiles()
{
    const std::string journal = keeper_.journal().path();
    const std::string journalFolder = journal.substr(0, journal.rfind('/'));
    for (const std::string& folder : {keeper_.folder(), journalFolder})
        (void)makeFolders(folder, 0700);
    QStringList wanted{utf8(keeper_.folder()), utf8(journalFolder)};
    if (QFileInfo::exists(utf8(journal)))
        wanted << utf8(journal);
    QStringList watched = watcher_->directories() + watcher_->files();
    for (const QString& path : wanted)
        if (!watched.contains(path))
            watcher_->addPath(path);
}

std::string OutboxWindow::selectedId() const
{
    QList<QTreeWidgetItem*> selected = entries_->selectedItems();
    return selected.isEmpty() ? std::string() : selected.first()->data(0, kIdRole).toString().toStdString();
}

bool OutboxWindow::selectedEntry(OutboxEntry& entry) const
{
    const std::string id = selectedId();
    return !id.empty() && keeper_.load(id, entry);
}

void OutboxWindow::updateButtons()
{
    OutboxEntry entry;
    const bool selected = selectedEntry(entry);
    const bool inDialog = selected && entry.id == inDialog_;
    const QString blocked = actions_.sendFaxBlocked ? actions_.sendFaxBlocked() : QString();
    retry_->setEnabled(selected && entry.state != OutboxState::NeedsDialog);
    open_->setEnabled(selected && !inDialog && blocked.isEmpty());
    delete_->setEnabled(selected && !inDialog);
    QString note;
    if (retrying_ && keeper_.running())
        note = QCoreApplication::translate("OutboxWindow", "Sending…");
    else if (inDialog)
        note = QCoreApplication::translate("OutboxWindow", "This fax is open in the Send Fax dialog.");
    else if (selected && !blocked.isEmpty())
        note = blocked;
    else if (selected && entry.state == OutboxState::NeedsDialog)
        note = QCoreApplication::translate("OutboxWindow", "This fax is sent only from the Send Fax dialog.");
    else if (selected)
        note = entry.reason.empty() ? utf8(outboxStateLine(entry))
                                    : QCoreApplication::translate("OutboxWindow", "%1: %2")
                                          .arg(utf8(outboxStateLine(entry)), utf8(shownReason(entry.reason)));
    if (!keeper_.running())
        retrying_ = false;
    note_->setText(note);
}

void OutboxWindow::retryNow()
{
    const std::string id = selectedId();
    if (id.empty())
        return;
    retrying_ = true;
    keeper_.retryNow(id);
    updateButtons();
}

void OutboxWindow::openInSendFax()
{
    const std::string id = selectedId();
    if (id.empty() || !actions_.openInSendFax)
        return;
    inDialog_ = id;
    updateButtons();
    actions_.openInSendFax(id);
    inDialog_.clear();
    refresh();
}

void OutboxWindow::deleteEntry()
{
    OutboxEntry entry;
    if (!selectedEntry(entry))
        return;
    const QString question =
        QCoreApplication::translate("OutboxWindow", "Delete the fax \"%1\" to %2 and its documents from the outbox?")
            .arg(utf8(shownText(entry.job.subject)), utf8(shownRecipients(entry.job)));
    if (showBox(this, windowTitle(), question, Buttons::YesNo, BoxIcon::Question, Answer::No) != Answer::Yes)
        return;
    if (!keeper_.drop(entry.id))
        showBox(this, windowTitle(),
                QCoreApplication::translate("OutboxWindow", "The fax could not be removed from %1.")
                    .arg(utf8(keeper_.folder())),
                Buttons::Ok, BoxIcon::Warning);
    refresh();
}

}  // namespace korva::app
