#include "platform/registry_store_text.h"

#include "platform/registry_store.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <functional>

namespace korva::registry {
namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool startsWithNoCase(const std::string& text, size_t pos, const char* prefix)
{
    size_t n = std::strlen(prefix);
    if (text.size() - pos < n)
        return false;
    for (size_t i = 0; i < n; ++i)
        if (lowerAscii(text[pos + i]) != lowerAscii(prefix[i]))
            return false;
    return true;
}

void skipBlanks(const std::string& s, size_t& pos)
{
    while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t'))
        ++pos;
}

bool onlyBlanksFrom(const std::string& s, size_t pos)
{
    skipBlanks(s, pos);
    return pos == s.size();
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = lowerAscii(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// A quoted text starting at s[pos] == '"'. Besides \\ and \" the writer uses
// \r and \n for line ends inside a value; any other backslash is kept as is,
// so a hand-written "C:\temp" reads as typed.
bool readQuoted(const std::string& s, size_t& pos, std::string& out)
{
    out.clear();
    for (++pos; pos < s.size(); ++pos) {
        char c = s[pos];
        if (c == '"') {
            ++pos;
            return true;
        }
        if (c == '\\' && pos + 1 < s.size()) {
            char next = s[pos + 1];
            if (next == '\\' || next == '"' || next == 'r' || next == 'n') {
                out += next == 'r' ? '\r' : next == 'n' ? '\n' : next;
                ++pos;
                continue;
            }
        }
        out += c;
    }
    return false;
}

bool readDwordData(const std::string& s, size_t pos, std::string& data)
{
    uint32_t value = 0;
    int digits = 0;
    for (; pos < s.size() && hexDigit(s[pos]) >= 0; ++pos, ++digits)
        value = value << 4 | uint32_t(hexDigit(s[pos]));
    if (digits == 0 || digits > 8 || !onlyBlanksFrom(s, pos))
        return false;
    char bytes[4] = {char(value), char(value >> 8), char(value >> 16), char(value >> 24)};
    data.assign(bytes, 4);
    return true;
}

// "xx,xx,..." with blanks allowed around the bytes.
bool readHexBytes(const std::string& s, size_t pos, std::string& data)
{
    data.clear();
    skipBlanks(s, pos);
    while (pos < s.size()) {
        if (pos + 1 >= s.size() || hexDigit(s[pos]) < 0 || hexDigit(s[pos + 1]) < 0)
            return false;
        data += char(hexDigit(s[pos]) << 4 | hexDigit(s[pos + 1]));
        pos += 2;
        skipBlanks(s, pos);
        if (pos == s.size())
            break;
        if (s[pos] != ',')
            return false;
        ++pos;
        skipBlanks(s, pos);
    }
    return true;
}

bool readData(const std::string& s, size_t pos, Value& value)
{
    skipBlanks(s, pos);
    if (pos < s.size() && s[pos] == '"') {
        value.type = REG_SZ;
        if (!readQuoted(s, pos, value.data) || !onlyBlanksFrom(s, pos))
            return false;
        // A string value ends at its first NUL, as it does when written.
        value.data.resize(std::min(value.data.size(), value.data.find('\0')));
        return true;
    }
    if (startsWithNoCase(s, pos, "dword:")) {
        value.type = REG_DWORD;
        return readDwordData(s, pos + 6, value.data);
    }
    if (startsWithNoCase(s, pos, "hex:")) {
        value.type = REG_BINARY;
        return readHexBytes(s, pos + 4, value.data);
    }
    if (startsWithNoCase(s, pos, "hex(")) {
        size_t close = s.find("):", pos);
        if (close == std::string::npos || close == pos + 4)
            return false;
        uint32_t type = 0;
        for (size_t i = pos + 4; i < close; ++i) {
            if (hexDigit(s[i]) < 0 || i - pos - 4 >= 8)
                return false;
            type = type << 4 | uint32_t(hexDigit(s[i]));
        }
        value.type = type;
        return readHexBytes(s, close + 2, value.data);
    }
    return false;
}

bool readValueLine(const std::string& s, Value& value)
{
    size_t pos = 0;
    if (s[0] == '@') {
        value.name.clear();
        pos = 1;
    } else if (!readQuoted(s, pos, value.name)) {
        return false;
    }
    skipBlanks(s, pos);
    if (pos >= s.size() || s[pos] != '=')
        return false;
    return readData(s, pos + 1, value);
}

// "[ROOT\path]" -> path below the root.
bool readKeyLine(const std::string& s, const char* rootName, std::string& path)
{
    size_t end = s.find_last_not_of(" \t");
    if (s[end] != ']')
        return false;
    std::string inner = s.substr(1, end - 1);
    size_t rootLength = std::strlen(rootName);
    if (!startsWithNoCase(inner, 0, rootName))
        return false;
    if (inner.size() > rootLength && inner[rootLength] != '\\')
        return false;
    return normalizePath(inner.substr(rootLength), path);
}

void appendHex(std::string& out, const std::string& bytes)
{
    char pair[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(pair, sizeof pair, "%s%02x", i ? "," : "", unsigned(uint8_t(bytes[i])));
        out += pair;
    }
}

void appendQuoted(std::string& out, const std::string& text)
{
    out += '"';
    for (char c : text) {
        if (c == '\\' || c == '"')
            (out += '\\') += c;
        else if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    out += '"';
}

void appendValue(std::string& out, const Value& value)
{
    if (value.name.empty())
        out += '@';
    else
        appendQuoted(out, value.name);
    out += '=';
    if (value.type == REG_SZ) {
        appendQuoted(out, value.data.substr(0, value.data.find('\0')));
    } else if (value.type == REG_DWORD && value.data.size() == 4) {
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = v << 8 | uint8_t(value.data[size_t(i)]);
        char text[16];
        std::snprintf(text, sizeof text, "dword:%08x", v);
        out += text;
    } else {
        char prefix[24];
        if (value.type == REG_BINARY)
            std::snprintf(prefix, sizeof prefix, "hex:");
        else
            std::snprintf(prefix, sizeof prefix, "hex(%x):", value.type);
        out += prefix;
        appendHex(out, value.data);
    }
    out += '\n';
}

// Lines of the file; a line ending in "\" after hex data goes on in the next.
std::vector<std::pair<int, std::string>> logicalLines(const std::string& text)
{
    std::vector<std::pair<int, std::string>> lines;
    size_t start = 0;
    int number = 0;
    bool continued = false;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (continued) {
            size_t first = line.find_first_not_of(" \t");
            lines.back().second += first == std::string::npos ? "" : line.substr(first);
        } else {
            lines.emplace_back(number, line);
        }
        std::string& current = lines.back().second;
        continued = !current.empty() && current.back() == '\\' && current.find("=hex") != std::string::npos;
        if (continued)
            current.pop_back();
    }
    return lines;
}

std::atomic<size_t> parseCount{0};

// What the paths below a key start with: "a\" below "a", nothing below the root.
std::string prefixBelow(const std::string& foldedPath) { return foldedPath.empty() ? foldedPath : foldedPath + '\\'; }

}  // namespace

size_t HiveIndex::SlotHash::operator()(const ValueSlot& slot) const
{
    // Mixed rather than XORed with the key number: most values are default
    // values, all named "", and must still spread over the buckets.
    size_t seed = std::hash<std::string>()(slot.name);
    return seed ^ (slot.key + 0x9e3779b97f4a7c15u + (seed << 6) + (seed >> 2));
}

HiveIndex::HiveIndex(const Hive& hive)
{
    for (size_t k = 0; k < hive.keys.size(); ++k) {
        keys_.emplace(foldedName(hive.keys[k].path), k);
        for (size_t v = 0; v < hive.keys[k].values.size(); ++v)
            values_.emplace(ValueSlot{k, foldedName(hive.keys[k].values[v].name)}, v);
    }
}

size_t HiveIndex::findKey(const std::string& path) const
{
    auto found = keys_.find(foldedName(path));
    return found == keys_.end() ? npos : found->second;
}

Value* HiveIndex::findValue(Hive& hive, size_t key, const std::string& name) const
{
    auto found = values_.find(ValueSlot{key, foldedName(name)});
    return found == values_.end() ? nullptr : &hive.keys[key].values[found->second];
}

const Value* HiveIndex::findValue(const Hive& hive, size_t key, const std::string& name) const
{
    return findValue(const_cast<Hive&>(hive), key, name);
}

bool HiveIndex::keyExists(const std::string& path) const
{
    if (path.empty())
        return true;
    std::string folded = foldedName(path);
    if (keys_.count(folded))
        return true;
    std::string prefix = prefixBelow(folded);
    auto below = keys_.lower_bound(prefix);
    return below != keys_.end() && below->first.starts_with(prefix);
}

std::vector<std::string> HiveIndex::subKeys(const Hive& hive, const std::string& path) const
{
    std::string prefix = prefixBelow(foldedName(path));
    // Folded child name -> the earliest key naming it, whose spelling is kept.
    std::map<std::string, size_t> first;
    for (auto it = keys_.lower_bound(prefix); it != keys_.end() && it->first.starts_with(prefix); ++it) {
        if (it->first.size() == prefix.size())
            continue;  // the root's own section
        size_t end = it->first.find('\\', prefix.size());
        auto [slot, added] = first.emplace(it->first.substr(prefix.size(), end - prefix.size()), it->second);
        if (!added)
            slot->second = std::min(slot->second, it->second);
    }
    std::vector<std::string> names;
    names.reserve(first.size());
    for (auto& [folded, key] : first)
        names.push_back(hive.keys[key].path.substr(prefix.size(), folded.size()));
    return names;
}

size_t HiveIndex::addKey(Hive& hive, const std::string& path)
{
    auto [slot, added] = keys_.emplace(foldedName(path), hive.keys.size());
    if (added)
        hive.keys.push_back(Key{path, {}});
    return slot->second;
}

Value& HiveIndex::addValue(Hive& hive, size_t key, Value value)
{
    std::vector<Value>& values = hive.keys[key].values;
    values_.emplace(ValueSlot{key, foldedName(value.name)}, values.size());
    return values.emplace_back(std::move(value));
}

bool normalizePath(const std::string& path, std::string& normalized)
{
    size_t first = path.find_first_not_of('\\');
    if (first == std::string::npos) {
        normalized.clear();
        return true;
    }
    size_t last = path.find_last_not_of('\\');
    normalized = path.substr(first, last - first + 1);
    return normalized.find("\\\\") == std::string::npos;
}

bool sameName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

std::string foldedName(const std::string& name)
{
    std::string folded = name;
    for (char& c : folded)
        c = lowerAscii(c);
    return folded;
}

size_t hiveParseCount() { return parseCount.load(); }

ParsedHive parseHive(const std::string& text, const char* rootName)
{
    ++parseCount;
    ParsedHive result;
    size_t current = HiveIndex::npos;
    bool sawContent = false;
    for (auto& [number, line] : logicalLines(text)) {
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == ';')
            continue;
        std::string s = line.substr(first);
        if (!sawContent && (s == "REGEDIT4" || s == "Windows Registry Editor Version 5.00")) {
            sawContent = true;
            continue;
        }
        sawContent = true;
        if (s[0] == '[') {
            std::string path;
            if (!readKeyLine(s, rootName, path)) {
                result.badLine = number;
                result.problem = std::string("not a key of ") + rootName;
                return result;
            }
            current = result.index.addKey(result.hive, path);
            continue;
        }
        bool inKey = current != HiveIndex::npos;
        Value value;
        if (!inKey || (s[0] != '"' && s[0] != '@') || !readValueLine(s, value)) {
            result.badLine = number;
            result.problem = inKey ? "not a value line" : "value outside any key";
            return result;
        }
        // A value named twice takes the later line, spelling included.
        if (Value* existing = result.index.findValue(result.hive, current, value.name))
            *existing = std::move(value);
        else
            result.index.addValue(result.hive, current, std::move(value));
    }
    return result;
}

std::string formatHive(const Hive& hive, const char* rootName)
{
    std::string out = "REGEDIT4\n";
    for (const Key& key : hive.keys) {
        out += "\n[";
        out += rootName;
        if (!key.path.empty())
            (out += '\\') += key.path;
        out += "]\n";
        for (const Value& value : key.values)
            appendValue(out, value);
    }
    return out;
}

}  // namespace korva::registry
