// Submits one fax with 20 MB of attachments through SubmitFax to a local
// sink that reads and discards, then uploads the very same message with
// curl (AUTH LOGIN) to the same sink, and prints both times and the ratio.
// The same again over STARTTLS, against curl --ssl-reqd, to a second sink
// that requires TLS.

#include "discard_sink.h"
#include "faxcourier/foundation/server_error.h"
#include "faxcourier/net/fax_submission.h"
#include "platform/spool_names.h"

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

std::string writeDocument(const std::string& folder, int number, std::mt19937& random)
{
    std::string path = korva::workFilePath(folder, number);
    std::vector<uint32_t> words(kDocumentBytes / 4);
    for (uint32_t& w : words)
        w = random();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(words.data()), kDocumentBytes);
    return path;
}

bool run(std::vector<std::string> arguments)
{
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// `caFile` not empty: STARTTLS required, the sink's certificate trusted.
bool runCurl(int port, const std::string& message, const std::string& caFile = {})
{
    std::vector<std::string> arguments = {"/usr/bin/curl",
                                          "--silent",
                                          "--show-error",
                                          "--url",
                                          "smtp://127.0.0.1:" + std::to_string(port),
                                          "--mail-from",
                                          "anna@example.com",
                                          "--mail-rcpt",
                                          "fax@example.com",
                                          "--user",
                                          "anna:pw",
                                          "--login-options",
                                          "AUTH=LOGIN",
                                          "--upload-file",
                                          message};
    if (!caFile.empty())
        arguments.insert(arguments.end(), {"--ssl-reqd", "--cacert", caFile});
    return run(arguments);
}

// A self-signed certificate for 127.0.0.1, made with the openssl command.
bool makeCertificate(const std::string& certificate, const std::string& key)
{
    return run({"/usr/bin/openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256", "-nodes",
                "-keyout", key, "-out", certificate, "-days", "2", "-subj", "/CN=127.0.0.1", "-addext",
                "subjectAltName=IP:127.0.0.1"});
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Figures {
    std::vector<double> ours, curls;
};

// Alternating rounds, so that both see the same machine load.
bool measure(Figures& figures, korva::FaxJob& job, const korva::Settings& settings, const std::string& message,
             const std::string& caFile)
{
    for (int round = 0; round < kRounds; ++round) {
        auto start = Clock::now();
        if (!korva::SubmitFax(nullptr, job.documents, job, settings))
            return false;
        figures.ours.push_back(milliseconds(Clock::now() - start));
        start = Clock::now();
        if (!runCurl(settings.SMTPServerPort, message, caFile))
            return false;
        figures.curls.push_back(milliseconds(Clock::now() - start));
    }
    return true;
}

void print(const Figures& figures, const char* ours, const char* peer, const char* resultName)
{
    double our = median(figures.ours), their = median(figures.curls);
    std::printf("  %-23s median %8.1f ms  best %8.1f ms\n", ours, our,
                *std::min_element(figures.ours.begin(), figures.ours.end()));
    std::printf("  %-23s median %8.1f ms  best %8.1f ms\n", peer, their,
                *std::min_element(figures.curls.begin(), figures.curls.end()));
    std::printf("  ratio %-17s %.2f (median)\n", (std::string(ours) + " / curl").c_str(), our / their);
    // One line in the form bench/run collects into its table.
    std::printf("result: %s | %.1f ms | %s | %.1f ms | %.2f | at most 1.00\n", resultName, our, peer, their,
                our / their);
}

}  // namespace

int main()
{
    char pattern[] = "/tmp/smtp-submit-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        return 1;
    std::string folder = pattern;
    korva::setServerErrorSink(
        [](const korva::ServerErrorBox& box) { std::fprintf(stderr, "server error: %s\n", box.text.c_str()); });

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
    if (!korva::SubmitFax(nullptr, job.documents, job, settings))
        return 1;
    uint64_t messageBytes = std::filesystem::file_size(message);

    Figures plain;
    if (!measure(plain, job, settings, message, {}))
        return 1;
    uint64_t expected = (2 * kRounds + 1) * messageBytes;
    std::printf("smtp_submit: %zu MB of attachments, message of %.1f MB, %d rounds\n",
                2 * kDocumentBytes / (1024 * 1024), messageBytes / 1048576.0, kRounds);
    print(plain, "SubmitFax", "curl --upload-file", "smtp_submit");
    std::printf("  sink received %llu of %llu bytes in %llu messages\n",
                static_cast<unsigned long long>(sink.dataBytes()), static_cast<unsigned long long>(expected),
                static_cast<unsigned long long>(sink.messages()));

    std::string certificate = folder + "/sink.pem", key = folder + "/sink.key";
    if (!makeCertificate(certificate, key))
        return 1;
    DiscardSink tlsSink(certificate, key);
    korva::Settings tlsSettings = settings;
    tlsSettings.SMTPServerPort = static_cast<uint32_t>(tlsSink.port());
    tlsSettings.Encryption = korva::kEncryptionStartTls;
    tlsSettings.TLSCAFile = certificate.c_str();
    // A first submission to warm up, as for the plain rows.
    if (!korva::SubmitFax(nullptr, job.documents, job, tlsSettings))
        return 1;
    Figures tls;
    if (!measure(tls, job, tlsSettings, message, certificate))
        return 1;
    print(tls, "SubmitFax STARTTLS", "curl --ssl-reqd", "smtp_submit_tls");
    std::printf("  TLS sink received %llu of %llu bytes in %llu messages\n",
                static_cast<unsigned long long>(tlsSink.dataBytes()), static_cast<unsigned long long>(expected),
                static_cast<unsigned long long>(tlsSink.messages()));
    bool whole = sink.dataBytes() == expected && tlsSink.dataBytes() == expected;
    std::filesystem::remove_all(folder);
    return whole ? 0 : 1;
}
