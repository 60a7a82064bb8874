#pragma once
// The Send Fax dialog (template 101): the pending fax job's documents,
// subject, comments, cover page and recipients, and the Send command.
// Its result is 1 after a successful Send and 0 after Cancel.

#include "faxcourier/app/tif_viewer.h"
#include "faxcourier/settings/fax_job.h"
#include "faxcourier/settings/settings.h"

#include <QDialog>

#include <functional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace korva::app {

class RecipientList;

// What the dialog calls outside itself.
struct SendFaxServices {
    std::function<bool(QWidget* owner)> submitFax;  // SubmitFax with the job's documents
    std::function<int(QWidget* owner)> configure;   // the Configure dialog's result
    std::function<void()> requestQuit;              // ends the program's loops
    std::function<bool()> quitRequested;            // the program is ending
};

class SendFaxDialog : public QDialog {
    Q_OBJECT
public:
    SendFaxDialog(FaxJob& job, Settings& settings, const TifViewer& tif, SendFaxServices services);
    ~SendFaxDialog() override;

    // The dialog while it is open (between opening and Send or Cancel).
    static SendFaxDialog* current();

    // Opening, then a loop of its own until Send or Cancel (not modal: no
    // other window is blocked); returns the dialog's result.
    int run();
    // The opening steps alone: fills the dialog from the job, opens the
    // Configure dialog first when the configuration is needed.
    void initDialog();

    void FillCoverPageList();
    void refreshDocuments();

    RecipientList* recipientList() const { return recipients_; }

public slots:
    void accept() override;  // Send Fax
    void reject() override;  // Cancel, Esc and the close box

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    QLayout* buildTop();
    QLayout* buildLeft();
    QLayout* buildRight();
    QLayout* buildBottom();
    void connectCommands();
    void fillRecipientsFromJob();
    void updateRecipientButtons();
    void addRecipient();
    void replaceRecipient();
    void removeRecipient();
    void copyRowIntoBoxes();
    void deleteDocument();
    void previewDocument(bool editFirst);
    void configure();
    void viewAddressBook();
    int selectedDocument() const;
    void endDialog(int result);
    void keepEdits();
    std::vector<String> recipientLines() const;

    FaxJob& job_;
    Settings& settings_;
    const TifViewer& tif_;
    SendFaxServices services_;
    bool coverPagesShown_ = false;
    bool columnsSized_ = false;

    QLineEdit* subject_ = nullptr;
    QPlainTextEdit* comments_ = nullptr;
    QPushButton* configure_ = nullptr;
    QPushButton* addressBook_ = nullptr;
    QLineEdit* faxNumber_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* company_ = nullptr;
    RecipientList* recipients_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* replace_ = nullptr;
    QPushButton* remove_ = nullptr;
    QListWidget* documents_ = nullptr;
    QLineEdit* totalPages_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* preview_ = nullptr;
    QPushButton* hiddenEditView_ = nullptr;
    QLabel* coverPageLabel_ = nullptr;
    QComboBox* coverPageList_ = nullptr;
};

}  // namespace korva::app
