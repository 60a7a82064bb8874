#include "faxcourier/app/program_courier.h"

#include "faxcourier/app/pipeline_converter.h"
#include "faxcourier/net/fax_submission.h"
#include "faxcourier/settings/fax_job.h"
#include "faxcourier/settings/settings.h"
#include "faxcourier/widgets/ui_sinks.h"

namespace korva::app {

std::unique_ptr<Courier> makeProgramCourier()
{
    return std::make_unique<Courier>(
        [](QWidget* owner, SubmitReport* report) {
            return SubmitFax(owner, globalFaxJob().documents, globalFaxJob(), globalSettings(), report);
        },
        [](const std::string& spoolFolder, PipelineState& state, BoxErrorSink* errors) {
            return std::make_unique<PipelineConverter>(spoolFolder, state, errors);
        });
}

}  // namespace korva::app
