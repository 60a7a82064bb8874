#pragma once
// The Converter of the running program: each conversion runs on its own
// page-processing thread. A conversion dropped without waiting (a file
// target) is joined when the converter ends, since it reports to the
// owner's error sink and counts with the owner's counter.

#include "faxcourier/app/arrival.h"
#include "faxcourier/pipeline/error_sink.h"

#include <memory>
#include <string>

namespace korva::app {

class DroppedThreads;

class PipelineConverter : public Converter {
public:
    // `state`'s print file counter numbers the work files; `errors` may be null.
    PipelineConverter(std::string spoolFolder, PipelineState& state, ErrorSink* errors);
    // Waits for the conversions that were dropped without waiting; the
    // program's end has already asked them to stop.
    ~PipelineConverter() override;
    PipelineConverter(const PipelineConverter&) = delete;
    PipelineConverter& operator=(const PipelineConverter&) = delete;
    std::unique_ptr<Conversion> start(const std::string& printFile, const ConversionTarget& target,
                                      ProgressTarget* progress, const std::string& printRecord) override;

private:
    std::string spoolFolder_;
    PipelineState& state_;
    ErrorSink* errors_;
    std::shared_ptr<DroppedThreads> dropped_;
};

}  // namespace korva::app
