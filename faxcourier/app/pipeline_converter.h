#pragma once
// The Converter of the running program: each conversion runs on its own
// page-processing thread.

#include "faxcourier/app/arrival.h"
#include "faxcourier/pipeline/error_sink.h"

#include <string>

namespace korva::app {

class PipelineConverter : public Converter {
public:
    // `state`'s print file counter numbers the work files; `errors` may be null.
    PipelineConverter(std::string spoolFolder, PipelineState& state, ErrorSink* errors);
    std::unique_ptr<Conversion> start(const std::string& printFile, const std::string& target,
                                      ProgressTarget* progress) override;

private:
    std::string spoolFolder_;
    PipelineState& state_;
    ErrorSink* errors_;
};

}  // namespace korva::app
