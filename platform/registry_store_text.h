#pragma once
// The .reg text form of one hive: reading it into keys and values, and
// writing it back.

#include <cstdint>
#include <string>
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

struct ParsedHive {
    Hive hive;
    int badLine = 0;      // first line that could not be read (from 1), 0 when all was read
    std::string problem;  // what was wrong with it
};

// Reads `text` up to its first unreadable line. `rootName` is the hive's
// name ("HKEY_CURRENT_USER"); key lines naming another root are unreadable.
ParsedHive parseHive(const std::string& text, const char* rootName);

std::string formatHive(const Hive& hive, const char* rootName);

// A sub-key path as callers give it, with surrounding "\" dropped; false
// when a part is empty ("a\\b").
bool normalizePath(const std::string& path, std::string& normalized);

// Letter case does not matter in key paths and value names (ASCII rules).
bool sameName(const std::string& a, const std::string& b);

// The key with that path, or null.
Key* findKey(Hive& hive, const std::string& path);
const Key* findKey(const Hive& hive, const std::string& path);

// The value with that name, or null.
Value* findValue(Key& key, const std::string& name);

}  // namespace korva::registry
