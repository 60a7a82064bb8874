#include "faxcourier/app/quit_question.h"

#include "faxcourier/widgets/quit_request.h"

#include <QCoreApplication>

namespace korva::app {

Answer askQuit(QWidget* owner)
{
    return showBox(owner, QStringLiteral("KORVA Fax Printer"),
                   QCoreApplication::translate("QuitQuestion",
                                               "Are you sure you wish to close the KORVA Fax Printer Helper program?\n"
                                               "You will not be able to send faxes until this program is restarted!"),
                   Buttons::YesNoCancel, BoxIcon::Question);
}

bool confirmQuit(QWidget* owner) { return askQuit(owner) == Answer::Yes; }

void quitUnlessRefused(bool faxInHand, QWidget* owner)
{
    if (faxInHand && !confirmQuit(owner))
        return;
    requestQuit();
}

}  // namespace korva::app
