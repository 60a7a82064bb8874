#pragma once
// The arrival's windows in Qt: the open Send Fax dialog, the question box,
// the progress dialog with its nested loop, and the modal Send Fax dialog.

#include "faxcourier/app/arrival.h"
#include "faxcourier/app/send_fax_dialog.h"

#include <functional>

namespace korva::app {

class QtArrivalUi : public ArrivalUi {
public:
    // `showDialog` shows the Send Fax dialog modally for the current job.
    explicit QtArrivalUi(std::function<void()> showDialog) : showDialog_(std::move(showDialog)) {}

    bool sendFaxDialogOpen() override;
    bool askToAddDocument() override;
    void setSendFaxDialogEnabled(bool enabled) override;
    void redrawSendFaxDocuments() override;
    std::unique_ptr<Conversion> convertWithProgress(
        const std::function<std::unique_ptr<Conversion>(ProgressTarget*)>& start) override;
    void showSendFaxDialog() override { showDialog_(); }
    bool quitRequested() override;

private:
    std::function<void()> showDialog_;
};

}  // namespace korva::app
