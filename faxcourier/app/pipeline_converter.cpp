#include "faxcourier/app/pipeline_converter.h"

#include "faxcourier/pipeline/conversion.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace korva::app {

// Threads of conversions dropped without waiting (a file target). They use
// the counter and the error sink of the converter's owner, so the converter
// joins them before it goes; finished ones are joined as new ones come.
class DroppedThreads {
public:
    ~DroppedThreads() { joinAll(); }

    void keep(std::thread thread, std::shared_ptr<std::atomic<bool>> finished)
    {
        std::lock_guard lock(mutex_);
        std::erase_if(threads_, [](Dropped& d) {
            if (!d.finished->load())
                return false;
            d.thread.join();
            return true;
        });
        threads_.push_back({std::move(thread), std::move(finished)});
    }

    void joinAll()
    {
        std::vector<Dropped> threads;
        {
            std::lock_guard lock(mutex_);
            threads.swap(threads_);
        }
        for (Dropped& d : threads)
            d.thread.join();
    }

private:
    struct Dropped {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> finished;
    };
    std::mutex mutex_;
    std::vector<Dropped> threads_;
};

namespace {

// The thread keeps its own share of the page count and results, so a
// conversion object dropped without waiting is never written to.
class ThreadConversion : public Conversion {
public:
    ThreadConversion(ConversionRequest request, std::atomic<int>& counter, std::shared_ptr<DroppedThreads> dropped)
        : pages_(std::make_shared<std::atomic<uint32_t>>(0)),
          stopped_(std::make_shared<std::atomic<bool>>(false)),
          writeFailed_(std::make_shared<std::atomic<bool>>(false)),
          finished_(std::make_shared<std::atomic<bool>>(false)),
          cancel_(std::make_shared<std::atomic<bool>>(false)),
          dropped_(std::move(dropped))
    {
        request.publishedPageCount = pages_.get();
        request.cancel = cancel_.get();
        thread_ = std::thread([request = std::move(request), pages = pages_, stopped = stopped_,
                               writeFailed = writeFailed_, finished = finished_, cancel = cancel_, &counter] {
            const ConversionResult result = convertPrintFile(request, counter);
            stopped->store(result.stopped);
            writeFailed->store(result.writeFailed);
            finished->store(true);
        });
    }
    ~ThreadConversion() override
    {
        if (thread_.joinable())
            dropped_->keep(std::move(thread_), finished_);
    }
    void wait() override
    {
        if (thread_.joinable())
            thread_.join();
    }
    uint32_t pageCount() const override { return pages_->load(); }
    bool stopped() const override { return stopped_->load(); }
    bool writeFailed() const override { return writeFailed_->load(); }
    void cancel() override { cancel_->store(true); }
    bool cancelled() const override { return cancel_->load(); }

private:
    std::shared_ptr<std::atomic<uint32_t>> pages_;
    std::shared_ptr<std::atomic<bool>> stopped_;
    std::shared_ptr<std::atomic<bool>> writeFailed_;
    std::shared_ptr<std::atomic<bool>> finished_;
    std::shared_ptr<std::atomic<bool>> cancel_;  // the thread holds its share
    std::shared_ptr<DroppedThreads> dropped_;
    std::thread thread_;
};

}  // namespace

PipelineConverter::PipelineConverter(std::string spoolFolder, PipelineState& state, ErrorSink* errors)
    : spoolFolder_(std::move(spoolFolder)), state_(state), errors_(errors), dropped_(std::make_shared<DroppedThreads>())
{
}

PipelineConverter::~PipelineConverter() { dropped_->joinAll(); }

std::unique_ptr<Conversion> PipelineConverter::start(const std::string& printFile, const ConversionTarget& target,
                                                     ProgressTarget* progress, const std::string& printRecord)
{
    ConversionRequest request;
    request.spoolFolder = spoolFolder_;
    request.printFile = printFile;
    request.keepPrintFile = printRecord.empty();
    request.printRecord = printRecord;
    request.target = target.path;
    request.setFinishedEvent = target.setFinishedEvent;
    request.progress = progress;
    request.errors = errors_;
    request.stop = state_.stop;
    return std::make_unique<ThreadConversion>(std::move(request), state_.printFileCounter, dropped_);
}

}  // namespace korva::app
