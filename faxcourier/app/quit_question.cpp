#include "faxcourier/app/quit_question.h"

#include "faxcourier/app/quit_request.h"
#include "faxcourier/app/ui_seam.h"

namespace korva::app {

bool confirmQuit(QWidget* owner)
{
    return showBox(owner, QStringLiteral("KORVA Fax Printer"),
                   QStringLiteral("Are you sure you wish to close the KORVA Fax Printer Helper program?\n"
                                  "You will not be able to send faxes until this program is restarted!"),
                   Buttons::YesNoCancel, BoxIcon::Question) == Answer::Yes;
}

void quitUnlessRefused(bool faxInHand, QWidget* owner)
{
    if (faxInHand && !confirmQuit(owner))
        return;
    requestQuit();
}

}  // namespace korva::app
