#include "faxcourier/pipeline/conversion.h"

#include "faxcourier/foundation/log.h"
#include "faxcourier/pipeline/fax_document.h"
#include "faxcourier/pipeline/page_converter.h"
#include "faxcourier/pipeline/page_hand_off.h"
#include "faxcourier/pipeline/print_file.h"
#include "faxcourier/pipeline/watch_file.h"
#include "platform/file_ops.h"
#include "platform/named_event.h"
#include "platform/paths.h"
#include "platform/translation.h"

#include <cerrno>
#include <ctime>
#include <functional>
#include <optional>
#include <system_error>
#include <thread>

namespace korva {
namespace {

// Pages reported to the user one by one; beyond that only counted, so that
// a damaged file of many pages does not bury the user in messages.
constexpr uint32_t kPagesReportedSingly = 5;

// A page as the reading thread hands it on: converted, or why not; or the
// mark that a stop was asked for before it.
struct ConvertedPage {
    uint32_t number = 0;
    bool converted = false;
    bool stop = false;
    FaxPage fax;
    std::string why;
};
using PageDelivery = std::function<bool(ConvertedPage&&)>;  // false: no more pages wanted

class Conversion {
public:
    Conversion(const ConversionRequest& request, std::atomic<int>& counter) : request_(request), counter_(counter) {}
    ConversionResult run();

private:
    std::string takeWatchFile(const std::string& target);
    void convertPages(PrintFile& file, const std::string& target);
    void readPages(PrintFile& file, const PageDelivery& deliver);
    bool storePage(ConvertedPage& page, const std::string& target);
    bool stopAsked() const
    {
        return (request_.stop && request_.stop->load()) || (request_.cancel && request_.cancel->load());
    }
    bool cancelledByUser() const
    {
        return request_.cancel && request_.cancel->load() && !(request_.stop && request_.stop->load());
    }
    void pageFailed(uint32_t page, const std::string& why);
    void publish(uint32_t pages);
    void post(unsigned message, std::intptr_t lParam);
    void report(const std::string& text);
    void setAside(const std::string& workFile);
    void writeFailed();

    const ConversionRequest& request_;
    std::atomic<int>& counter_;
    ConversionResult result_;
    uint32_t failedPages_ = 0;
    Error writeFailure_;  // of the page that could not be written
};

ConversionResult Conversion::run()
{
    publish(0);
    const std::string& target = request_.target;
    std::string workFile = request_.printFile.empty() ? takeWatchFile(target) : request_.printFile;
    if (!request_.printFile.empty())
        discardFile(target);

    PrintFile file;
    if (Result<void> opened = file.open(workFile)) {
        result_.pageCount = file.pageCount();
    } else if (fileExists(workFile)) {
        const std::string& why = opened.error().text;
        LogAlways(1, "Cannot read print file %s - %s\n", workFile.c_str(), why.c_str());
        report(withArguments(
            translated("Conversion", "The printed document cannot be read (%1); no fax pages were made."), {why}));
    }
    publish(result_.pageCount);
    LogDebug("Converting %u pages to %s\n", result_.pageCount, target.c_str());
    if (request_.progress) {
        request_.progress->show();
        post(kProgressRange, result_.pageCount);
        request_.progress->bringToFront();
        post(kComeForward, 0);
    }
    convertPages(file, target);
    if (result_.writeFailed) {
        discardFile(target);
        result_.pagesStored = 0;
        writeFailed();
        publish(0);
        post(kConversionFinished, 0);
        return result_;
    }
    if (result_.stopped) {
        discardFile(target);
        publish(0);
        // The user said no to this print: it is kept where they can find it,
        // not faxed by the next run. When the program ends it stays in hand.
        if (cancelledByUser() && fileExists(workFile)) {
            setAside(workFile);
            if (!request_.printRecord.empty() && !fileExists(workFile))
                discardFile(request_.printRecord);
        }
        post(kConversionFinished, 0);
        return result_;
    }
    if (failedPages_ > kPagesReportedSingly)
        report(std::to_string(failedPages_) +
               " pages of the printed document could not be "
               "converted and are left out of the fax.");
    if (result_.pagesStored < result_.pageCount)
        publish(result_.pagesStored);
    if (result_.pagesStored == 0 && fileExists(workFile))
        setAside(workFile);
    else if (!request_.keepPrintFile)
        discardFile(workFile);
    if (!request_.printRecord.empty() && !fileExists(workFile))
        discardFile(request_.printRecord);
    post(kConversionFinished, 0);
    if (request_.setFinishedEvent)
        result_.eventSet = setNamedEvent(request_.finishedEvent);
    return result_;
}

// Moves the watch file to a numbered work file of its own, so that the exit
// library can hand over the next document at once. The target goes first: it
// is replaced, never extended.
std::string Conversion::takeWatchFile(const std::string& target)
{
    std::string workFile = workFilePath(request_.spoolFolder, counter_.fetch_add(1) + 1);
    discardFile(workFile);
    discardFile(target);
    if (auto moved = moveFile(watchFilePath(request_.spoolFolder), workFile); !moved)
        LogDebug("No print file to convert - %d\n", moved.code());
    return workFile;
}

// Page n + 1 is read and converted on a thread of its own while this one
// codes and stores page n: the Group 3 coding costs about as much as all
// the rest. Pages are stored, reported and posted here, in their order.
void Conversion::convertPages(PrintFile& file, const std::string& target)
{
    PageHandOff<ConvertedPage> handOff;
    std::thread reader;
    try {
        reader = std::thread([&] {
            readPages(file, [&handOff](ConvertedPage&& page) { return handOff.put(std::move(page)); });
            handOff.close();
        });
    } catch (const std::system_error& error) {
        LogAlways(1, "Pages converted on one thread - %s\n", error.what());
        readPages(file, [&](ConvertedPage&& page) { return storePage(page, target); });
        return;
    }
    while (std::optional<ConvertedPage> page = handOff.take())
        if (!storePage(*page, target))
            break;
    handOff.close();  // a reader waiting to hand on a page gives up
    reader.join();
}

void Conversion::readPages(PrintFile& file, const PageDelivery& deliver)
{
    PageConverter converter;  // its buffers are kept from page to page
    for (uint32_t n = 1; n <= result_.pageCount; ++n) {
        bool stop = stopAsked();
        ConvertedPage page;
        page.number = n;
        page.stop = stop;
        if (!stop) {
            Result<void> converted = converter.convert(file, n, page.fax);
            page.converted = converted.ok();
            if (!converted)
                page.why = converted.error().text;
        }
        if (!deliver(std::move(page)) || stop)
            return;
    }
}

// False when the conversion is to stop here.
bool Conversion::storePage(ConvertedPage& page, const std::string& target)
{
    if (page.stop || stopAsked()) {
        result_.stopped = true;
        return false;
    }
    if (page.converted) {
        // A page that cannot be written would leave a fax with a page
        // missing: the whole document fails instead.
        if (Result<void> appended = appendFaxPage(target, page.fax, result_.pagesStored == 0); !appended) {
            writeFailure_ = appended.error();
            result_.writeFailed = true;
            return false;
        }
        ++result_.pagesStored;
    } else {
        pageFailed(page.number, page.why);
    }
    post(kProgressPosition, page.number);
    return true;
}

void Conversion::pageFailed(uint32_t page, const std::string& why)
{
    LogAlways(1, "Page %u not converted - %s\n", page, why.c_str());
    if (++failedPages_ <= kPagesReportedSingly)
        report(withArguments(translated("Conversion",
                                        "Page %1 of the printed document cannot be converted (%2) and "
                                        "is left out of the fax."),
                             {std::to_string(page), why}));
}

void Conversion::publish(uint32_t pages)
{
    if (request_.publishedPageCount)
        request_.publishedPageCount->store(pages);
}

void Conversion::post(unsigned message, std::intptr_t lParam)
{
    if (request_.progress)
        request_.progress->postMessage(message, lParam);
}

// Nothing of it could be faxed: what was printed is kept for the user, who
// may open it elsewhere or print it again.
void Conversion::setAside(const std::string& workFile)
{
    const std::string folder = unsentFolder(request_.spoolFolder);
    const std::string name = workFile.substr(workFile.find_last_of('/') + 1);
    std::string kept = folder + "/" + std::to_string(std::time(nullptr)) + "-" + name;
    int error = makeFolders(folder, 0700).code();
    if (error == 0)
        error = moveFile(workFile, kept).code();
    if (error != 0) {
        // Never deleted to clean up: it stays, and the user learns where.
        LogAlways(1, "Cannot set the printed document aside in %s - %d; it stays as %s\n", folder.c_str(), error,
                  workFile.c_str());
        report(withArguments(translated("Conversion",
                                        "The printed document was not faxed. It could not be moved to "
                                        "%1 (error %2). It stays as %3."),
                             {folder, std::to_string(error), workFile}));
        return;
    }
    LogAlways(1, "The printed document is kept as %s\n", kept.c_str());
    report(withArguments(translated("Conversion", "The printed document was not faxed. It is kept as %1."), {kept}));
}

// Nothing of the document is faxed, and what was printed is kept for a
// later try.
void Conversion::writeFailed()
{
    LogAlways(1, "The fax document cannot be written - %s\n", writeFailure_.text.c_str());
    const int code = writeFailure_.code;
    const bool full = code == ENOSPC || code == EDQUOT || code == EFBIG;
    if (full)
        report(translated("Conversion",
                          "The disk is full: the printed document was not faxed. It is kept and faxed "
                          "when it can be written again."));
    else
        report(withArguments(translated("Conversion",
                                        "The fax document cannot be written (%1): the printed document "
                                        "was not faxed. It is kept and faxed when it can be written "
                                        "again."),
                             {writeFailure_.text}));
}

void Conversion::report(const std::string& text)
{
    if (request_.errors)
        request_.errors->reportError(text);
}

}  // namespace

ConversionResult convertPrintFile(const ConversionRequest& request, std::atomic<int>& printFileCounter)
{
    return Conversion(request, printFileCounter).run();
}

}  // namespace korva
