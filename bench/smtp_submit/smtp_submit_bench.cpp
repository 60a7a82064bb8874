// Submits one fax with 20 MB of attachments through SubmitFax to a local
// sink that reads and discards, then uploads the very same message with
// curl (AUTH LOGIN) to the same sink, and prints both times and the ratio.

#include "discard_sink.h"
#include "faxcourier/foundation/server_error.h"
#include "faxcourier/net/fax_submission.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr size_t kDocumentBytes = 10 * 1024 * 1024;
constexpr int kRounds = 5;

double milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

std::string writeDocument(const std::string& folder, int number, std::mt19937& random) {
    std::string path = folder + "/korvafax" + std::to_string(number) + ".tif";
    std::vector<uint32_t> words(kDocumentBytes / 4);
    for (uint32_t& w : words) w = random();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(words.data()), kDocumentBytes);
    return path;
}

bool runCurl(int port, const std::string& message) {
    std::string url = "smtp://127.0.0.1:" + std::to_string(port);
    pid_t pid = fork();
    if (pid == 0) {
        execl("/usr/bin/curl", "curl", "--silent", "--show-error", "--url", url.c_str(), "--mail-from",
              "anna@example.com", "--mail-rcpt", "fax@example.com", "--user", "anna:pw", "--login-options",
              "AUTH=LOGIN", "--upload-file", message.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main() {
    char pattern[] = "/tmp/smtp-submit-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) return 1;
    std::string folder = pattern;
    korva::setServerErrorSink([](const korva::ServerErrorBox& box) {
        std::fprintf(stderr, "server error: %s\n", box.text.c_str());
    });

    std::mt19937 random(17);
    korva::FaxJob job;
    job.subject = "Benchmark";
    job.recipients = {"0301 555~Berta Blau~Blau KG"};
    job.comments = "Twenty megabytes of attachments.";
    for (int n = 1; n <= 2; ++n) {
        korva::FaxDocument document;
        document.file = writeDocument(folder, n, random).c_str();
        job.documents.push_back(document);
    }
    DiscardSink sink;
    korva::Settings settings;
    settings.Server = "127.0.0.1";
    settings.SMTPServerPort = static_cast<uint32_t>(sink.port());
    settings.Username = "anna";
    settings.Password = "pw";
    settings.EmailAddress = "anna@example.com";
    settings.FaxAddress = "fax@example.com";

    // The first submission also records the message for curl.
    std::string message = folder + "/message.eml";
    sink.recordNextMessage(message);
    if (!korva::SubmitFax(nullptr, job.documents, job, settings)) return 1;
    uint64_t messageBytes = std::filesystem::file_size(message);

    std::vector<double> ours, curls;
    for (int round = 0; round < kRounds; ++round) {
        auto start = Clock::now();
        if (!korva::SubmitFax(nullptr, job.documents, job, settings)) return 1;
        ours.push_back(milliseconds(Clock::now() - start));
        start = Clock::now();
        if (!runCurl(sink.port(), message)) return 1;
        curls.push_back(milliseconds(Clock::now() - start));
    }
    uint64_t expected = (2 * kRounds + 1) * messageBytes;
    std::printf("smtp_submit: %zu MB of attachments, message of %.1f MB, %d rounds\n",
                2 * kDocumentBytes / (1024 * 1024), messageBytes / 1048576.0, kRounds);
    std::printf("  SubmitFax               median %8.1f ms  best %8.1f ms\n", median(ours),
                *std::min_element(ours.begin(), ours.end()));
    std::printf("  curl --upload-file      median %8.1f ms  best %8.1f ms\n", median(curls),
                *std::min_element(curls.begin(), curls.end()));
    std::printf("  ratio SubmitFax / curl  %.2f (median)\n", median(ours) / median(curls));
    // One line in the form bench/run collects into its table.
    std::printf("result: smtp_submit | %.1f ms | curl --upload-file | %.1f ms | %.2f | at most 1.00\n", median(ours),
                median(curls), median(ours) / median(curls));
    std::printf("  sink received %llu of %llu bytes in %llu messages\n",
                static_cast<unsigned long long>(sink.dataBytes()), static_cast<unsigned long long>(expected),
                static_cast<unsigned long long>(sink.messages()));
    std::filesystem::remove_all(folder);
    return sink.dataBytes() == expected ? 0 : 1;
}
