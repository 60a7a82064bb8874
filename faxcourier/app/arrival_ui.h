#pragma once
// The arrival's windows in Qt: the open Send Fax dialog, the question box,
// the progress dialog with its nested loop, and the Send Fax dialog.

#include "faxcourier/app/arrival.h"
#include "faxcourier/app/send_fax_dialog.h"

#include <functional>

namespace korva::app {

class QtArrivalUi : public ArrivalUi {
public:
    // `showDialog` shows the Send Fax dialog for the current job, waits and
    // returns its result (1: sent). `headless`: no display to show it on.
    QtArrivalUi(std::function<int()> showDialog, bool headless)
        : showDialog_(std::move(showDialog)), headless_(headless)
    {
    }

    bool sendFaxDialogOpen() override;
    bool askToAddDocument() override;
    void setSendFaxDialogEnabled(bool enabled) override;
    void redrawSendFaxDocuments() override;
    std::unique_ptr<Conversion> convertWithProgress(
        const std::function<std::unique_ptr<Conversion>(ProgressTarget*)>& start) override;
    bool showSendFaxDialog() override { return showDialog_() == 1; }
    bool quitRequested() override;
    bool canShowDialogs() override { return !headless_; }

private:
    std::function<int()> showDialog_;
    bool headless_;
};

}  // namespace korva::app
