#include "faxcourier/outbox/server_submitter.h"

#include "faxcourier/foundation/log.h"
#include "faxcourier/foundation/server_error.h"
#include "faxcourier/net/fax_submission.h"

namespace korva {

Submitter serverSubmitter(const Settings& settings)
{
    return [&settings](FaxJob& job) {
        ServerErrorSink previous = setThreadServerErrorSink(
            [](const ServerErrorBox& box) { LogAlways(0, "%s: %s\n", box.caption.c_str(), box.text.c_str()); });
        SubmitReport report;
        const bool accepted = SubmitFax(nullptr, job.documents, job, settings, &report);
        setThreadServerErrorSink(std::move(previous));
        return SubmitResult{accepted, report.failure == SubmitFailure::Permanent, report.reason, report.words};
    };
}

Submitter serverSubmitter(std::shared_ptr<const Settings> settings)
{
    return [settings, submit = serverSubmitter(*settings)](FaxJob& job) { return submit(job); };
}

}  // namespace korva
