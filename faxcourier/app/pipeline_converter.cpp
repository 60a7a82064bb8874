#include "faxcourier/app/pipeline_converter.h"

#include "faxcourier/pipeline/conversion.h"

#include <atomic>
#include <thread>

namespace korva::app {
namespace {

// The thread keeps its own share of the page count, so a conversion that is
// dropped without waiting (a file target) never writes to freed memory.
class ThreadConversion : public Conversion {
public:
    ThreadConversion(ConversionRequest request, std::atomic<int>& counter)
        : pages_(std::make_shared<std::atomic<uint32_t>>(0)), stopped_(std::make_shared<std::atomic<bool>>(false))
    {
        request.publishedPageCount = pages_.get();
        thread_ = std::thread([request = std::move(request), pages = pages_, stopped = stopped_, &counter] {
            stopped->store(convertPrintFile(request, counter).stopped);
        });
    }
    ~ThreadConversion() override
    {
        if (thread_.joinable())
            thread_.detach();
    }
    void wait() override
    {
        if (thread_.joinable())
            thread_.join();
    }
    uint32_t pageCount() const override { return pages_->load(); }
    bool stopped() const override { return stopped_->load(); }

private:
    std::shared_ptr<std::atomic<uint32_t>> pages_;
    std::shared_ptr<std::atomic<bool>> stopped_;
    std::thread thread_;
};

}  // namespace

PipelineConverter::PipelineConverter(std::string spoolFolder, PipelineState& state, ErrorSink* errors)
    : spoolFolder_(std::move(spoolFolder)), state_(state), errors_(errors)
{
}

std::unique_ptr<Conversion> PipelineConverter::start(const std::string& printFile, const std::string& target,
                                                     ProgressTarget* progress)
{
    ConversionRequest request;
    request.spoolFolder = spoolFolder_;
    request.printFile = printFile;
    request.target = target;
    request.progress = progress;
    request.errors = errors_;
    request.stop = state_.stop;
    return std::make_unique<ThreadConversion>(std::move(request), state_.printFileCounter);
}

}  // namespace korva::app
