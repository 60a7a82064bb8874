#include "faxcourier/outbox/sent_journal.h"

#include "faxcourier/outbox/job_text.h"
#include "faxcourier/outbox/outbox_text.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/translation.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <ostream>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korva {
namespace {

// Trimmed once it holds a tenth more than it keeps, so that not every fax
// rewrites the file.
constexpr size_t kTrimAt = kSentJournalLimit + kSentJournalLimit / 10;
// The last field of every whole line: a line cut short lacks it.
constexpr const char* kEnd = ".";

const char* howKey(SentHow how)
{
    switch (how) {
        case SentHow::AtOnce:
            return "at-once";
        case SentHow::FromOutbox:
            return "outbox";
        case SentHow::ByHand:
            return "by-hand";
    }
    return "";
}

bool howFromKey(const std::string& key, SentHow& how)
{
    for (SentHow each : {SentHow::AtOnce, SentHow::FromOutbox, SentHow::ByHand})
        if (key == howKey(each)) {
            how = each;
            return true;
        }
    return false;
}

std::string lineOf(const SentRecord& record)
{
    std::string line = std::to_string(record.when) + "\t" + howKey(record.how) + "\t" + std::to_string(record.pages) +
                       "\t" + escapeJobValue(record.subject);
    for (const std::string& recipient : record.recipients)
        line += "\t" + escapeJobValue(recipient);
    return line + "\t" + kEnd + "\n";
}

std::vector<std::string> fieldsOf(const std::string& line)
{
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');)
        fields.push_back(field);
    return fields;
}

bool parseNumber(const std::string& text, int64_t& value)
{
    if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::stoll(text);
    return true;
}

bool parseLine(const std::string& line, SentRecord& record)
{
    std::vector<std::string> fields = fieldsOf(line);
    int64_t pages = 0;
    if (fields.size() < 5 || fields.back() != kEnd || !parseNumber(fields[0], record.when) ||
        !howFromKey(fields[1], record.how) || !parseNumber(fields[2], pages) ||
        !unescapeJobValue(fields[3], record.subject))
        return false;
    record.pages = static_cast<uint32_t>(pages);
    record.recipients.assign(fields.size() - 5, {});
    for (size_t i = 4; i + 1 < fields.size(); ++i)
        if (!unescapeJobValue(fields[i], record.recipients[i - 4]))
            return false;
    return true;
}

// The whole lines of the file: a last one without its line break was cut
// short.
std::vector<std::string> wholeLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

Result<std::string> readAll(int fd, const std::string& path)
{
    std::string text;
    char buffer[16384];
    for (off_t at = 0;;) {
        ssize_t got = pread(fd, buffer, sizeof buffer, at);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return Error::fromLastErrno("cannot read " + path);
        if (got == 0)
            return text;
        text.append(buffer, size_t(got));
        at += got;
    }
}

// The journal open and locked; the lock is taken again when a trim by
// another process replaced the file meanwhile.
Result<int> openLocked(const std::string& path)
{
    for (;;) {
        int fd = open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0)
            return Error::fromLastErrno("cannot open " + path);
        if (flock(fd, LOCK_EX) != 0) {
            Error error = Error::fromLastErrno("cannot lock " + path);
            close(fd);
            return error;
        }
        struct stat opened {
        }, named{};
        if (fstat(fd, &opened) == 0 && stat(path.c_str(), &named) == 0 && opened.st_ino == named.st_ino &&
            opened.st_dev == named.st_dev)
            return fd;
        close(fd);
    }
}

}  // namespace

SentRecord sentRecordOf(const FaxJob& job, SentHow how, int64_t when)
{
    SentRecord record;
    record.when = when;
    record.how = how;
    record.pages = jobPages(job);
    record.subject = shownText(job.subject);
    for (const String& recipient : job.recipients)
        record.recipients.push_back(recipientName(recipient));
    return record;
}

std::string sentHowWords(SentHow how)
{
    switch (how) {
        case SentHow::AtOnce:
            return translated("SentJournal", "at once");
        case SentHow::FromOutbox:
            return translated("SentJournal", "from the outbox");
        case SentHow::ByHand:
            return translated("SentJournal", "by hand");
    }
    return "";
}

SentJournal::SentJournal(std::string path) : path_(std::move(path)) {}

std::string SentJournal::defaultPath() { return stateHome() + "/KORVAFax/sent.journal"; }

Result<void> SentJournal::append(const SentRecord& record)
{
    const size_t slash = path_.rfind('/');
    if (slash != std::string::npos && slash > 0)
        if (Result<void> made = makeFolders(path_.substr(0, slash), 0700); !made)
            return Error::fromErrno(made.code(), "cannot make the folder of " + path_);
    Result<int> fd = openLocked(path_);
    if (!fd)
        return fd.error();
    Result<void> done = addLine(*fd, record);
    close(*fd);
    return done;
}

Result<void> SentJournal::addLine(int fd, const SentRecord& record) const
{
    Result<std::string> text = readAll(fd, path_);
    if (!text)
        return text.error();
    // A line cut short stays a line of its own, skipped when read.
    std::string line = (!text->empty() && text->back() != '\n') ? "\n" + lineOf(record) : lineOf(record);
    if (Result<void> written = writeAll(fd, line.data(), line.size()); !written)
        return written;
    if (wholeLines(*text).size() + 1 > kTrimAt)
        return trim(fd);
    return {};
}

// Keeps the newest records in a file written beside the journal and renamed
// over it, so a crash leaves the old journal or the new one.
Result<void> SentJournal::trim(int fd) const
{
    Result<std::string> text = readAll(fd, path_);
    if (!text)
        return text.error();
    std::vector<std::string> lines = wholeLines(*text);
    std::string kept;
    for (size_t i = lines.size() > kSentJournalLimit ? lines.size() - kSentJournalLimit : 0; i < lines.size(); ++i)
        kept += lines[i] + "\n";
    return writeFileAtomically(path_, kept.data(), kept.size(), 0600);
}

std::vector<SentRecord> SentJournal::read() const
{
    std::ifstream in(path_, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::vector<SentRecord> records;
    for (const std::string& line : wholeLines(text.str())) {
        SentRecord record;
        if (parseLine(line, record))
            records.push_back(std::move(record));
    }
    if (records.size() > kSentJournalLimit)
        records.erase(records.begin(), records.end() - kSentJournalLimit);
    return records;
}

void printSentJournal(std::ostream& out, const std::vector<SentRecord>& records)
{
    if (records.empty()) {
        out << translated("SentJournal", "No fax has been sent yet.") << "\n";
        return;
    }
    out << withArguments(translated("SentJournal", "%1 fax(es) sent, newest first:"), {std::to_string(records.size())})
        << "\n";
    for (auto record = records.rbegin(); record != records.rend(); ++record) {
        std::string recipients;
        for (const std::string& recipient : record->recipients)
            recipients += (recipients.empty() ? "" : ", ") + recipient;
        out << "\n"
            << localTimeText(record->when) << "  " << sentHowWords(record->how) << "\n"
            << listingLine(translated("SentJournal", "recipients"), recipients)
            << listingLine(translated("SentJournal", "subject"), record->subject)
            << listingLine(translated("SentJournal", "pages"), std::to_string(record->pages));
    }
}

}  // namespace korva
