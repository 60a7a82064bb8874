#include "faxcourier/app/send_fax_dialog.h"

#include "faxcourier/app/busy_until_shown.h"
#include "faxcourier/app/control_ids.h"
#include "faxcourier/app/private_message.h"
#include "faxcourier/app/quit_question.h"
#include "faxcourier/app/send_fax_rules.h"
#include "faxcourier/app/tif_launch.h"
#include "faxcourier/foundation/log.h"
#include "faxcourier/widgets/address_book_hook.h"
#include "faxcourier/widgets/dialog_support.h"
#include "faxcourier/widgets/recipient_list.h"
#include "faxcourier/widgets/text_convert.h"
#include "faxcourier/widgets/ui_seam.h"
#include "platform/file_ops.h"

#include <QComboBox>
#include <QEventLoop>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

namespace korva::app {
namespace {

SendFaxDialog* openDialog = nullptr;

const QString faxCaption = QStringLiteral("KORVA Fax");

// What goes to the server must fit its ANSI text; the box that does not
// takes the focus for correcting.
bool refuseUnfitBoxes(QWidget* dialog, QLineEdit* number, QLineEdit* name, QLineEdit* company)
{
    if (!refuseUnfitRecipient(dialog, name->text(), number->text(), company->text()))
        return false;
    for (QLineEdit* box : {number, name, company})
        if (!fitsAnsi(box->text())) {
            box->setFocus();
            break;
        }
    return true;
}

// An edit control's multi-line text keeps CR LF line ends.
String windowsLines(const QString& text)
{
    QString value = text;
    value.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return toKorva(value);
}

}  // namespace

SendFaxDialog::SendFaxDialog(FaxJob& job, Settings& settings, const TifViewer& tif, SendFaxServices services)
    : QDialog(nullptr), job_(job), settings_(settings), tif_(tif), services_(std::move(services))
{
    setObjectName(QStringLiteral("SendFaxDialog"));
    setWindowTitle(tr("Send KORVA Fax (V0.16)"));
    buildControls();
    connectCommands();
    resize(dluX(this, 340), dluY(this, 270));
}

SendFaxDialog::~SendFaxDialog()
{
    if (openDialog == this)
        openDialog = nullptr;
}

SendFaxDialog* SendFaxDialog::current() { return openDialog; }

void SendFaxDialog::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buildTop());
    auto* separator = new QFrame(this);
    separator->setObjectName(QStringLiteral("separator"));
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    layout->addWidget(separator);
    auto* middle = new QHBoxLayout;
    middle->addLayout(buildLeft(), 2);
    middle->addLayout(buildRight(), 3);
    layout->addLayout(middle, 1);
    layout->addLayout(buildBottom());
}

QLayout* SendFaxDialog::buildTop()
{
    auto* grid = new QGridLayout;
    subject_ = withId(new QLineEdit(this), IDC_SUBJECT);
    comments_ = withId(new QPlainTextEdit(this), IDC_COMMENTS);
    comments_->setTabChangesFocus(true);
    comments_->setFixedHeight(dluY(this, 67));
    configure_ = pushButton(this, tr("Co&nfigure..."), IDC_CONFIGURE);
    grid->addWidget(labelFor(this, tr("&Subject :"), subject_, IDC_SUBJECT), 0, 0);
    grid->addWidget(subject_, 0, 1);
    grid->addWidget(labelFor(this, tr("&Comments :"), comments_, IDC_COMMENTS), 1, 0, Qt::AlignTop);
    grid->addWidget(comments_, 1, 1, 2, 1);
    grid->addWidget(configure_, 2, 0, Qt::AlignTop | Qt::AlignLeft);
    grid->setColumnStretch(1, 1);
    return grid;
}

QLayout* SendFaxDialog::buildLeft()
{
    auto* column = new QVBoxLayout;
    addressBook_ = pushButton(this, tr("View Address &Book"), IDC_VIEW_ADDRESS_BOOK);
    column->addWidget(addressBook_, 0, Qt::AlignLeft);

    auto* group = new QGroupBox(tr("&Documents"), this);
    group->setObjectName(QStringLiteral("documentsGroup"));
    auto* inside = new QVBoxLayout(group);
    documents_ = withId(new QListWidget(group), IDC_DOCUMENT_LIST);
    documents_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    documents_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    documents_->setSortingEnabled(false);
    inside->addWidget(documents_, 1);
    totalPages_ = withId(new QLineEdit(group), IDC_TOTAL_PAGES);
    // Only a count: nothing to type or copy, so Tab passes it.
    setFieldReadOnly(totalPages_, true);
    totalPages_->setFocusPolicy(Qt::NoFocus);
    auto* totalRow = new QHBoxLayout;
    totalRow->addWidget(labelFor(group, tr("Total Pages: "), totalPages_, IDC_TOTAL_PAGES));
    totalRow->addWidget(totalPages_, 1);
    inside->addLayout(totalRow);
    delete_ = pushButton(group, tr("De&lete"), IDC_DELETE_DOCUMENT);
    preview_ = pushButton(group, tr("Preview Fa&x"), IDC_PREVIEW);
    hiddenEditView_ = pushButton(group, "Button1", IDC_HIDDEN_EDIT_VIEW);
    hiddenEditView_->hide();
    auto* documentButtons = new QHBoxLayout;
    documentButtons->addWidget(delete_);
    documentButtons->addWidget(preview_);
    documentButtons->addWidget(hiddenEditView_);
    inside->addLayout(documentButtons);
    column->addWidget(group, 1);
    return column;
}

QLayout* SendFaxDialog::buildRight()
{
    auto* column = new QVBoxLayout;
    faxNumber_ = withId(new QLineEdit(this), IDC_RECIPIENT_FAX);
    name_ = withId(new QLineEdit(this), IDC_RECIPIENT_NAME);
    company_ = withId(new QLineEdit(this), IDC_RECIPIENT_COMPANY);
    auto* boxes = new QGridLayout;
    boxes->addWidget(labelFor(this, tr("Recipient &Fax Number:"), faxNumber_, IDC_RECIPIENT_FAX), 0, 0);
    boxes->addWidget(faxNumber_, 0, 1);
    boxes->addWidget(labelFor(this, tr("&Recipient Name:"), name_, IDC_RECIPIENT_NAME), 1, 0);
    boxes->addWidget(name_, 1, 1);
    boxes->addWidget(labelFor(this, tr("Recipient C&ompany:"), company_, IDC_RECIPIENT_COMPANY), 2, 0);
    boxes->addWidget(company_, 2, 1);
    column->addLayout(boxes);

    recipients_ = withId(new RecipientList(this), IDC_RECIPIENT_LIST);
    column->addWidget(recipients_, 1);

    add_ = pushButton(this, tr("&Add Recipient"), IDC_ADD_RECIPIENT);
    add_->setDefault(true);
    replace_ = pushButton(this, tr("Re&place Recipient"), IDC_REPLACE_RECIPIENT);
    remove_ = pushButton(this, tr("Remo&ve Recipient"), IDC_REMOVE_RECIPIENT);
    for (QPushButton* b : {add_, replace_, remove_})
        b->setEnabled(false);
    auto* row = new QHBoxLayout;
    row->addWidget(add_);
    row->addWidget(replace_);
    row->addWidget(remove_);
    column->addLayout(row);
    return column;
}

QLayout* SendFaxDialog::buildBottom()
{
    auto* row = new QHBoxLayout;
    coverPageList_ = withId(new QComboBox(this), IDC_COVER_PAGE_LIST);
    coverPageList_->setEditable(false);
    coverPageList_->setMinimumContentsLength(20);
    coverPageLabel_ = withId(new QLabel(tr("Cover Pa&ge:"), this), IDC_COVER_PAGE_LABEL);
    coverPageLabel_->setBuddy(coverPageList_);
    coverPageLabel_->hide();
    coverPageList_->hide();
    row->addWidget(coverPageLabel_);
    row->addWidget(coverPageList_);
    row->addStretch(1);
    auto* cancel = pushButton(this, standardCancelText(), IDCANCEL);
    auto* send = pushButton(this, tr("S&end Fax"), IDOK);
    row->addWidget(cancel);
    row->addWidget(send);
    connect(cancel, &QPushButton::clicked, this, &SendFaxDialog::reject);
    connect(send, &QPushButton::clicked, this, &SendFaxDialog::accept);
    return row;
}

void SendFaxDialog::connectCommands()
{
    connect(faxNumber_, &QLineEdit::textChanged, this, &SendFaxDialog::updateRecipientButtons);
    connect(recipients_, &QTreeWidget::itemSelectionChanged, this, &SendFaxDialog::updateRecipientButtons);
    connect(recipients_, &QTreeWidget::itemDoubleClicked, this, &SendFaxDialog::copyRowIntoBoxes);
    connect(add_, &QPushButton::clicked, this, &SendFaxDialog::addRecipient);
    connect(replace_, &QPushButton::clicked, this, &SendFaxDialog::replaceRecipient);
    connect(remove_, &QPushButton::clicked, this, &SendFaxDialog::removeRecipient);
    connect(delete_, &QPushButton::clicked, this, &SendFaxDialog::deleteDocument);
    connect(preview_, &QPushButton::clicked, this, [this] { previewDocument(false); });
    connect(hiddenEditView_, &QPushButton::clicked, this, [this] { previewDocument(true); });
    connect(configure_, &QPushButton::clicked, this, &SendFaxDialog::configure);
    connect(addressBook_, &QPushButton::clicked, this, &SendFaxDialog::viewAddressBook);
}

int SendFaxDialog::run()
{
    initDialog();
    // Without an owner and not modal: the status icon, Configure and the
    // address book opened from outside stay usable meanwhile. The caller
    // still waits here for the answer.
    setWindowModality(Qt::NonModal);
    setResult(0);
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    show();
    if (!services_.quitRequested || !services_.quitRequested())
        loop.exec(QEventLoop::DialogExec);
    int result = this->result();
    if (result != 1 && services_.quitRequested && services_.quitRequested())
        keepEdits();
    if (openDialog == this)
        openDialog = nullptr;
    return result;
}

void SendFaxDialog::initDialog()
{
    openDialog = this;
    setSmallIcon(this);
    postMessage(this, kRedrawDocuments);
    subject_->setText(toQt(job_.subject));
    comments_->clear();
    fillRecipientsFromJob();
    bringToForeground(this);
    if (settings_.configurationNeeded && services_.configure)
        services_.configure(nullptr);
    if (settings_.NoConfig)
        configure_->hide();
    postMessage(this, kComeForward);
    FillCoverPageList();
    if (!tif_.tifOpenAvailable && tif_.tifEditVerb.IsEmpty()) {
        preview_->setEnabled(false);
        hiddenEditView_->setEnabled(false);
    }
}

void SendFaxDialog::fillRecipientsFromJob()
{
    for (const String& line : job_.recipients) {
        if (auto row = splitRecipientLine(line.Text()))
            addRecipientRow(recipients_, toQt(row->name), toQt(row->number), toQt(row->company));
    }
}

void SendFaxDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!columnsSized_) {
        recipients_->sizeColumns();
        columnsSized_ = true;
    }
}

void SendFaxDialog::FillCoverPageList()
{
    std::string wanted = coverPageList_->currentIndex() >= 0 ? toAnsi(coverPageList_->currentText())
                                                             : std::string(job_.coverPage.Text());
    coverPageList_->clear();
    CoverPageChoice choice = chooseCoverPages(settings_.CoverPages, wanted);
    for (const std::string& name : choice.names)
        coverPageList_->addItem(toQt(name));
    coverPagesShown_ = !choice.names.empty();
    coverPageLabel_->setVisible(coverPagesShown_);
    coverPageList_->setVisible(coverPagesShown_);
    if (coverPagesShown_)
        coverPageList_->setCurrentIndex(choice.selected);
}

void SendFaxDialog::refreshDocuments()
{
    documents_->clear();
    int total = 0;
    for (const FaxDocument& document : job_.documents) {
        documents_->addItem(toQt(documentLine(document.name.Text(), document.pages)));
        total += int(document.pages);
    }
    totalPages_->setText(QString::fromStdString(pageTotalText(total)));
}

void SendFaxDialog::updateRecipientButtons()
{
    bool hasNumber = !faxNumber_->text().isEmpty();
    int selected = recipients_->selectedCount();
    add_->setEnabled(hasNumber);
    // The boxes hold one recipient: it replaces one row, never several.
    replace_->setEnabled(hasNumber && selected == 1);
    remove_->setEnabled(selected > 0);
}

void SendFaxDialog::copyRowIntoBoxes()
{
    int row = recipients_->firstSelectedRow();
    if (row < 0)
        return;
    name_->setText(recipients_->cell(row, ColumnName).left(99));
    faxNumber_->setText(recipients_->cell(row, ColumnNumber).left(99));
    company_->setText(recipients_->cell(row, ColumnCompany).left(99));
}

void SendFaxDialog::addRecipient()
{
    if (refuseUnfitBoxes(this, faxNumber_, name_, company_))
        return;
    if (FindDuplicateRecipient(name_->text(), faxNumber_->text(), recipients_, -1)) {
        ui().beep();
        return;
    }
    recipients_->clearSelection();
    InsertRecipientRows(recipients_, name_->text(), company_->text(), faxNumber_->text());
    updateRecipientButtons();
}

void SendFaxDialog::replaceRecipient()
{
    if (refuseUnfitBoxes(this, faxNumber_, name_, company_))
        return;
    int row = recipients_->selectedCount() == 1 ? recipients_->firstSelectedRow() : -1;
    if (row < 0 || FindDuplicateRecipient(name_->text(), faxNumber_->text(), recipients_, row)) {
        ui().beep();
        return;
    }
    delete recipients_->takeTopLevelItem(row);
    InsertRecipientRows(recipients_, name_->text(), company_->text(), faxNumber_->text());
    updateRecipientButtons();
}

void SendFaxDialog::removeRecipient()
{
    qDeleteAll(recipients_->selectedItems());
    updateRecipientButtons();
}

int SendFaxDialog::selectedDocument() const
{
    int row = documents_->currentRow();
    if (row < 0 || !documents_->item(row)->isSelected() || size_t(row) >= job_.documents.size())
        return -1;
    return row;
}

void SendFaxDialog::deleteDocument()
{
    int row = selectedDocument();
    if (row < 0) {
        ui().beep();
        return;
    }
    // The converted file goes with its document: nothing else would ever
    // remove it once it has left the job.
    discardFile(job_.documents[size_t(row)].file.Text());
    job_.documents.erase(job_.documents.begin() + row);
    postMessage(this, kRedrawDocuments);
}

void SendFaxDialog::previewDocument(bool editFirst)
{
    int row = selectedDocument();
    if (row < 0) {
        ui().beep();
        return;
    }
    QString verb;
    if (editFirst)
        verb = tif_.tifEditVerb.IsEmpty() ? QStringLiteral("open") : toQt(tif_.tifEditVerb);
    else
        verb = tif_.tifOpenAvailable ? QStringLiteral("open") : toQt(tif_.tifEditVerb);
    busyUntilShown(this);
    openTifWithVerb(verb, toQt(job_.documents[size_t(row)].file));
}

void SendFaxDialog::configure()
{
    if (services_.configure && services_.configure(this) == 1)
        FillCoverPageList();
}

void SendFaxDialog::viewAddressBook()
{
    LogDebug("Launch Address Book\n");
    if (const AddressBookOpener& opener = addressBookOpener())
        opener(this, recipients_);
    else
        LogAlways(1, "Address book not available in this build\n");
    LogDebug("Return from Address Book\n");
}

void SendFaxDialog::accept()
{
    if (refuseUnfitText(this, subject_, tr("Subject"), subject_->text()) ||
        refuseUnfitText(this, comments_, tr("Comments"), comments_->toPlainText()))
        return;
    for (int row = 0; row < recipients_->rowCount(); ++row)
        for (int column : {ColumnName, ColumnNumber, ColumnCompany})
            if (refuseUnfitText(this, recipients_, tr("Recipient List"), recipients_->cell(row, column)))
                return;
    job_.subject = toKorva(subject_->text());
    job_.comments = windowsLines(comments_->toPlainText());
    if (coverPagesShown_)
        job_.coverPage = toKorva(coverPageList_->currentText());
    else
        job_.coverPage.Clear();
    if (job_.documents.empty()) {
        showBox(nullptr, faxCaption, tr("No Documents are ready to be sent"), Buttons::Ok, BoxIcon::Information);
        return;
    }
    if (recipients_->rowCount() == 0) {
        showBox(nullptr, faxCaption,
                tr("No Recipients Defined\nPress the ADD button to add recipients to the recipient list"), Buttons::Ok,
                BoxIcon::Information);
        return;
    }
    job_.recipients = recipientLines();
    bool sent = false;
    {
        WaitCursor wait;
        sent = services_.submitFax && services_.submitFax(this);
    }
    if (sent)
        endDialog(1);
}

void SendFaxDialog::reject()
{
    Qt::KeyboardModifiers held = ui().keyboardModifiers();
    if ((held & Qt::ShiftModifier) && (held & Qt::ControlModifier)) {
        Answer answer = askQuit(this);
        if (answer == Answer::Yes) {
            if (services_.requestQuit)
                services_.requestQuit();
            return;
        }
        if (answer != Answer::No)
            return;
    }
    endDialog(0);
}

// The program ends with the dialog open: the job that waits for the next
// run is what the user left here, never the recipients they removed.
void SendFaxDialog::keepEdits()
{
    job_.subject = toKorva(subject_->text());
    job_.comments = windowsLines(comments_->toPlainText());
    if (coverPagesShown_)
        job_.coverPage = toKorva(coverPageList_->currentText());
    job_.recipients = recipientLines();
}

std::vector<String> SendFaxDialog::recipientLines() const
{
    std::vector<String> lines;
    for (int row = 0; row < recipients_->rowCount(); ++row) {
        RecipientRow columns{toAnsi(recipients_->cell(row, ColumnName)), toAnsi(recipients_->cell(row, ColumnNumber)),
                             toAnsi(recipients_->cell(row, ColumnCompany))};
        lines.emplace_back(recipientLineForSend(columns).c_str());
    }
    return lines;
}

void SendFaxDialog::endDialog(int result)
{
    if (openDialog == this)
        openDialog = nullptr;
    done(result);
}

bool SendFaxDialog::event(QEvent* event)
{
    if (isPrivateMessage(event, kComeForward)) {
        bringToForeground(this);
        return true;
    }
    if (isPrivateMessage(event, kRedrawDocuments)) {
        refreshDocuments();
        return true;
    }
    return QDialog::event(event);
}

}  // namespace korva::app
