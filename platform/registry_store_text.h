#pragma once
// The .reg text form of one hive: reading it into keys and values, and
// writing it back.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace korva::registry {

struct Value {
    std::string name;  // "" is the key's default value ("@" in the file)
    uint32_t type = 0;
    std::string data;  // the raw bytes; REG_SZ without its NUL
};

struct Key {
    std::string path;  // below the hive's root, parts joined by "\"; "" is the root
    std::vector<Value> values;
};

struct Hive {
    std::vector<Key> keys;  // in file order
};

// Where each key and value of one hive is, by key path and value name folded
// to lower case, so a lookup does not walk the hive. Add keys and values
// through it so that it stays in step with the hive.
class HiveIndex {
public:
    static constexpr size_t npos = size_t(-1);

    HiveIndex() = default;
    explicit HiveIndex(const Hive& hive);

    size_t findKey(const std::string& path) const;  // the key's place in hive.keys, or npos
    Value* findValue(Hive& hive, size_t key, const std::string& name) const;
    const Value* findValue(const Hive& hive, size_t key, const std::string& name) const;

    // A key exists when it has a section or some key below it has one.
    bool keyExists(const std::string& path) const;

    // The direct sub-keys, each in the spelling met first in the hive, in
    // alphabetical order without regard to case.
    std::vector<std::string> subKeys(const Hive& hive, const std::string& path) const;

    size_t addKey(Hive& hive, const std::string& path);    // the existing key, or a new one at the end
    Value& addValue(Hive& hive, size_t key, Value value);  // a name the key does not have yet

private:
    struct ValueSlot {
        size_t key;
        std::string name;
        bool operator==(const ValueSlot&) const = default;
    };
    struct SlotHash {
        size_t operator()(const ValueSlot& slot) const;
    };

    // Ordered, so that the keys below one path lie side by side.
    std::map<std::string, size_t> keys_;
    std::unordered_map<ValueSlot, size_t, SlotHash> values_;
};

struct ParsedHive {
    Hive hive;
    HiveIndex index;
    int badLine = 0;      // first line that could not be read (from 1), 0 when all was read
    std::string problem;  // what was wrong with it
};

// Reads `text` up to its first unreadable line. `rootName` is the hive's
// name ("HKEY_CURRENT_USER"); key lines naming another root are unreadable.
ParsedHive parseHive(const std::string& text, const char* rootName);

// How many times parseHive has run in this process; lets tests see that a
// hive is not read again when nothing changed.
size_t hiveParseCount();

std::string formatHive(const Hive& hive, const char* rootName);

// A sub-key path as callers give it, with surrounding "\" dropped; false
// when a part is empty ("a\\b").
bool normalizePath(const std::string& path, std::string& normalized);

// Letter case does not matter in key paths and value names (ASCII rules).
bool sameName(const std::string& a, const std::string& b);
std::string foldedName(const std::string& name);

}  // namespace korva::registry
