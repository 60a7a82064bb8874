#include "faxcourier/settings/prefs_js.h"

#include <cctype>
#include <cstring>

namespace korva {

const PrefValue* Prefs::find(const std::string& name) const
{
    auto it = values_.find(name);
    return it == values_.end() ? nullptr : &it->second;
}

std::optional<std::string> Prefs::text(const std::string& name) const
{
    const PrefValue* value = find(name);
    if (value == nullptr || !std::holds_alternative<std::string>(*value))
        return std::nullopt;
    return std::get<std::string>(*value);
}

std::optional<int64_t> Prefs::integer(const std::string& name) const
{
    const PrefValue* value = find(name);
    if (value == nullptr || !std::holds_alternative<int64_t>(*value))
        return std::nullopt;
    return std::get<int64_t>(*value);
}

namespace {

void appendLatin1(std::string& out, uint32_t codePoint)
{
    out.push_back(codePoint <= 0xFF ? static_cast<char>(codePoint) : '?');
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

class PrefsReader {
public:
    explicit PrefsReader(const std::string& text) : s_(text) {}

    Prefs readAll()
    {
        Prefs prefs;
        for (skipBlanks(); p_ < s_.size(); skipBlanks()) {
            std::string name;
            PrefValue value;
            if (statement(name, value)) {
                prefs.set(name, std::move(value));
            } else {
                skipLine();
            }
        }
        return prefs;
    }

private:
    bool at(char c) const { return p_ < s_.size() && s_[p_] == c; }
    bool startsWith(const char* word) const { return s_.compare(p_, std::strlen(word), word) == 0; }

    void skipLine()
    {
        size_t end = s_.find('\n', p_);
        p_ = end == std::string::npos ? s_.size() : end + 1;
    }

    void skipBlanks()
    {
        while (p_ < s_.size()) {
            if (std::isspace(static_cast<unsigned char>(s_[p_]))) {
                ++p_;
            } else if (startsWith("//") || at('#')) {
                skipLine();
            } else if (startsWith("/*")) {
                size_t end = s_.find("*/", p_ + 2);
                p_ = end == std::string::npos ? s_.size() : end + 2;
            } else {
                return;
            }
        }
    }

    bool expect(char c)
    {
        skipBlanks();
        if (!at(c))
            return false;
        ++p_;
        return true;
    }

    bool statement(std::string& name, PrefValue& value)
    {
        size_t start = p_;
        while (p_ < s_.size() && (std::isalpha(static_cast<unsigned char>(s_[p_])) || s_[p_] == '_'))
            ++p_;
        std::string word = s_.substr(start, p_ - start);
        if (word != "user_pref" && word != "pref" && word != "sticky_pref")
            return false;
        if (!expect('(') || !stringLiteral(name) || !expect(',') || !anyValue(value) || !expect(')'))
            return false;
        expect(';');
        return true;
    }

    bool anyValue(PrefValue& value)
    {
        skipBlanks();
        std::string text;
        if (at('"') || at('\'')) {
            if (!stringLiteral(text))
                return false;
            value = std::move(text);
            return true;
        }
        if (startsWith("true") || startsWith("false")) {
            value = startsWith("true");
            p_ += std::get<bool>(value) ? 4 : 5;
            return true;
        }
        return integerLiteral(value);
    }

    bool integerLiteral(PrefValue& value)
    {
        size_t start = p_;
        if (at('-') || at('+'))
            ++p_;
        size_t digits = p_;
        while (p_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[p_])))
            ++p_;
        if (p_ == digits || p_ - digits > 18)
            return false;
        value = static_cast<int64_t>(std::stoll(s_.substr(start, p_ - start)));
        return true;
    }

    // One UTF-8 sequence starting at p_; a byte that starts no valid
    // sequence stands for itself.
    uint32_t utf8CodePoint()
    {
        unsigned char lead = static_cast<unsigned char>(s_[p_]);
        int extra = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : 0;
        if (lead < 0x80 || extra == 0 || p_ + extra >= s_.size()) {
            ++p_;
            return lead;
        }
        uint32_t code = lead & (0x3F >> extra);
        for (int i = 1; i <= extra; ++i) {
            unsigned char next = static_cast<unsigned char>(s_[p_ + i]);
            if ((next & 0xC0) != 0x80) {
                ++p_;
                return lead;
            }
            code = (code << 6) | (next & 0x3F);
        }
        p_ += extra + 1;
        return code;
    }

    bool hexEscape(int digits, uint32_t& code)
    {
        if (p_ + digits > s_.size())
            return false;
        code = 0;
        for (int i = 0; i < digits; ++i) {
            int d = hexDigit(s_[p_ + i]);
            if (d < 0)
                return false;
            code = code * 16 + static_cast<uint32_t>(d);
        }
        p_ += digits;
        return true;
    }

    bool escape(uint32_t& code)
    {
        char c = s_[p_++];
        switch (c) {
            case 'n':
                code = '\n';
                return true;
            case 'r':
                code = '\r';
                return true;
            case 't':
                code = '\t';
                return true;
            case 'x':
                return hexEscape(2, code);
            case 'u': {
                if (!hexEscape(4, code))
                    return false;
                uint32_t low = 0;
                if (code >= 0xD800 && code < 0xDC00 && startsWith("\\u")) {
                    size_t mark = p_;
                    p_ += 2;
                    if (hexEscape(4, low) && low >= 0xDC00 && low < 0xE000) {
                        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                    } else {
                        p_ = mark;
                    }
                }
                return true;
            }
            default:
                code = static_cast<unsigned char>(c);
                return true;
        }
    }

    bool stringLiteral(std::string& out)
    {
        skipBlanks();
        if (!at('"') && !at('\''))
            return false;
        char quote = s_[p_++];
        out.clear();
        while (p_ < s_.size() && s_[p_] != quote) {
            if (s_[p_] == '\n')
                return false;
            uint32_t code = 0;
            if (s_[p_] == '\\') {
                ++p_;
                if (p_ >= s_.size() || !escape(code))
                    return false;
            } else {
                code = utf8CodePoint();
            }
            appendLatin1(out, code);
        }
        if (p_ >= s_.size())
            return false;
        ++p_;
        return true;
    }

    const std::string& s_;
    size_t p_ = 0;
};

}  // namespace

Prefs parsePrefsJs(const std::string& text) { return PrefsReader(text).readAll(); }

}  // namespace korva
