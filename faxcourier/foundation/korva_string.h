#pragma once
// faxcourier's heap string of 8-bit ANSI characters. A String without a
// buffer reads as "" everywhere. Operations that grow the buffer leave the
// value as it was when memory runs out; nothing is written past the buffer.

#include <cstddef>
#include <cstdint>

namespace korva {

class RegistryKey;

class String {
public:
    String();
    String(const char* text);  // NOLINT: texts convert implicitly, as everywhere in the program
    String(const String& other);
    String(String&& other) noexcept;
    // An identifier below 0x10000 in the program's string table; when it
    // cannot be loaded the String stays empty and the log says so.
    explicit String(unsigned resourceId);

    // Virtual operations, in this order.
    virtual ~String();
    virtual bool operator==(const char* text) const;
    virtual bool operator==(const String& other) const;
    virtual bool operator!=(const char* text) const;
    virtual bool operator!=(const String& other) const;
    virtual bool operator<(const char* text) const;
    virtual bool operator<(const String& other) const;

    String& operator=(const String& other);  // Assign
    String& operator=(const char* text);     // Assign
    String& operator=(String&& other) noexcept;

    // Copies the text (a null text empties the value, keeping the buffer)
    // and puts the token cursor at 0. False when memory ran out: the String
    // is then empty without a buffer.
    bool Assign(const char* text);
    bool Assign(const String& other);
    bool Append(const char* text);
    bool Append(const String& other);
    bool AppendChar(char c);
    // Room for n bytes (the NUL included); grows to n + 128 when short.
    bool Reserve(uint32_t n);
    void Clear();

    const char* Text() const;
    uint32_t Length() const { return length_; }
    uint32_t Capacity() const { return capacity_; }
    bool IsEmpty() const { return length_ == 0; }
    char GetAt(uint32_t position) const;

    void TrimRight();
    void TrimLeft();
    void Truncate(uint32_t position);
    void MakeUpper();

    int Find(char c, uint32_t start = 0) const;
    int FindNoCase(const char* text, uint32_t start = 0) const;
    int FindNoCase(const String& text, uint32_t start = 0) const;
    int ReverseFind(char c) const;

    String Left(uint32_t n) const;
    String Mid(uint32_t start) const;
    String Mid(uint32_t start, uint32_t n) const;

    int CompareNoCase(const char* text) const;
    int CompareNoCaseN(const char* text, uint32_t n) const;

    // The next token between characters of `delimiters`; `restart` starts
    // again from the beginning. Empty once the value is used up.
    String NextToken(const char* delimiters, bool restart);

    // Replaces the value with the base64 form (RFC 4648, no line breaks) of
    // `count` bytes.
    bool EncodeBase64(const void* bytes, uint32_t count);
    // The value read as Windows-1252, in UTF-8.
    String ToUtf8() const;
    uint32_t ParseHex() const;
    bool IsNumeric() const;

    // Reads a string value of any size; when it is missing the String takes
    // `defaultText`, or is cleared without one. True when the value was read.
    bool ReadRegistryValue(const RegistryKey& key, const char* valueName, const char* defaultText = nullptr);
    // Stores the value as REG_SZ with its NUL ("" as one NUL byte). Returns
    // the registry's result.
    int WriteRegistryValue(RegistryKey& key, const char* valueName) const;

    // Loads an entry of the program's string table; true when it is not empty.
    bool LoadResourceString(unsigned id);

private:
    bool AssignBytes(const char* bytes, uint32_t count);
    bool AppendBytes(const char* bytes, uint32_t count);
    bool Owns(const char* p) const;

    char* buffer_ = nullptr;
    uint32_t capacity_ = 0;
    uint32_t length_ = 0;
    uint32_t cursor_ = 0xFFFFFFFFu;
};

}  // namespace korva
