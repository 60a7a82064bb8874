#include "faxcourier/outbox/job_text.h"

#include <charconv>
#include <cstdio>
#include <sstream>

namespace korva {
namespace {

bool needsEscape(unsigned char c) { return c == '%' || c == '=' || c < 0x20 || c == 0x7F; }

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

template <typename Number>
bool parseNumber(const std::string& text, Number& number)
{
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
    return ec == std::errc() && end == text.data() + text.size();
}

bool parseState(const std::string& text, OutboxState& state)
{
    for (OutboxState s : {OutboxState::Waiting, OutboxState::Refused, OutboxState::NeedsDialog})
        if (text == outboxStateName(s)) {
            state = s;
            return true;
        }
    return false;
}

void line(std::string& out, const char* key, const std::string& value)
{
    out += key;
    out += '=';
    out += escapeJobValue(value);
    out += '\n';
}

std::string baseName(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string escapeJobValue(const std::string& value)
{
    std::string out;
    out.reserve(value.size());
    for (unsigned char c : value) {
        if (needsEscape(c)) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            out += hex;
        } else {
            out += char(c);
        }
    }
    return out;
}

bool unescapeJobValue(const std::string& text, std::string& value)
{
    value.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            value += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return false;
        int high = hexValue(text[i + 1]), low = hexValue(text[i + 2]);
        if (high < 0 || low < 0)
            return false;
        value += char(high * 16 + low);
        i += 2;
    }
    return true;
}

std::string formatJobText(const OutboxEntry& entry)
{
    std::string out;
    line(out, "state", outboxStateName(entry.state));
    line(out, "reason", entry.reason);
    line(out, "attempts", std::to_string(entry.attempts));
    line(out, "next", std::to_string(entry.nextTry));
    line(out, "created", std::to_string(entry.created));
    line(out, "subject", entry.job.subject.Text());
    line(out, "cover", entry.job.coverPage.Text());
    line(out, "comments", entry.job.comments.Text());
    for (const String& recipient : entry.job.recipients)
        line(out, "recipient", recipient.Text());
    for (const FaxDocument& document : entry.job.documents) {
        line(out, "document.file", baseName(document.file.Text()));
        line(out, "document.name", document.name.Text());
        line(out, "document.pages", std::to_string(document.pages));
    }
    return out;
}

bool parseJobText(const std::string& text, const std::string& folder, OutboxEntry& entry)
{
    OutboxEntry parsed;
    parsed.id = entry.id;
    bool haveState = false, haveCreated = false;
    std::istringstream lines(text);
    std::string raw;
    while (std::getline(lines, raw)) {
        if (raw.empty())
            continue;
        size_t equals = raw.find('=');
        if (equals == std::string::npos)
            return false;
        std::string key = raw.substr(0, equals), value;
        if (!unescapeJobValue(raw.substr(equals + 1), value))
            return false;
        bool ok = true;
        if (key == "state")
            ok = haveState = parseState(value, parsed.state);
        else if (key == "reason")
            parsed.reason = value;
        else if (key == "attempts")
            ok = parseNumber(value, parsed.attempts);
        else if (key == "next")
            ok = parseNumber(value, parsed.nextTry);
        else if (key == "created")
            ok = haveCreated = parseNumber(value, parsed.created);
        else if (key == "subject")
            parsed.job.subject = value.c_str();
        else if (key == "cover")
            parsed.job.coverPage = value.c_str();
        else if (key == "comments")
            parsed.job.comments = value.c_str();
        else if (key == "recipient")
            parsed.job.recipients.emplace_back(value.c_str());
        else if (key == "document.file") {
            // A bare name: an entry never points outside its own folder.
            ok = !value.empty() && value.find('/') == std::string::npos && value != "." && value != "..";
            FaxDocument document;
            document.file = (folder + "/" + value).c_str();
            parsed.job.documents.push_back(document);
        } else if (key == "document.name" || key == "document.pages") {
            if (parsed.job.documents.empty())
                return false;
            FaxDocument& document = parsed.job.documents.back();
            if (key == "document.name")
                document.name = value.c_str();
            else
                ok = parseNumber(value, document.pages);
        }
        // Other keys are left for later versions.
        if (!ok)
            return false;
    }
    if (!haveState || !haveCreated)
        return false;
    entry = std::move(parsed);
    return true;
}

}  // namespace korva
