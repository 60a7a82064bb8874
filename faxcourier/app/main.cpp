// faxcourier: runs in the background for the logged-on user, turns printed
// documents into faxes and sends them.

#include "faxcourier/app/courier.h"
#include "faxcourier/app/pipeline_converter.h"
#include "faxcourier/app/startup_rules.h"
#include "faxcourier/app/ui_sinks.h"
#include "faxcourier/net/fax_submission.h"
#include "faxcourier/settings/fax_job.h"

#include <QApplication>

int main(int argc, char** argv)
{
    using namespace korva;
    using namespace korva::app;

    std::vector<std::string> arguments(argv + 1, argv + argc);
    chooseDisplayPlatform();
    QApplication application(argc, argv);
    Courier courier([](QWidget* owner) { return SubmitFax(owner, globalFaxJob().documents); },
                    [](const std::string& spoolFolder, PipelineState& state, BoxErrorSink* errors) {
                        return std::make_unique<PipelineConverter>(spoolFolder, state, errors);
                    });
    courier.startUp(arguments);
    return courier.runAndShutDown();
}
