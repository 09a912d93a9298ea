#pragma once

#include <string>
#include <string_view>

namespace sievo {

// A settings file with the semantics of Windows private-profile files: section and key
// names match without regard to case, blanks around keys and values are dropped, a value
// in matching quotes loses them, a line without "=" is no key, and at most
// kMaxIniValueBytes of a value are read. The file is read anew by every call and every
// write replaces it atomically; other sections, keys, comments and their order survive.
class TIniFile {
public:
    explicit TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}

    const std::string& FileName() const { return fileName_; }

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // Decimal, or hexadecimal after "$" or (in texts longer than two) "0x"/"0X";
    // anything else gives the default.
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
    // Any non-zero integer is true; a text that is no number gives the default.
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

    // Each raises "Unable to write to <file>" when the file cannot be replaced, or when the
    // value holds a line break or NUL that the file could not keep.
    void WriteString(std::string_view section, std::string_view key, std::string_view value) const;
    void WriteInteger(std::string_view section, std::string_view key, int value) const;
    void WriteBool(std::string_view section, std::string_view key, bool value) const;
    void EraseSection(std::string_view section) const;

private:
    std::string fileName_;
};

// The longest value a read returns, as the system's profile functions did.
inline constexpr std::size_t kMaxIniValueBytes = 1023;

// The integer a profile text stands for, as ReadInteger reads it.
bool ParseProfileInteger(std::string_view text, int& value);

}  // namespace sievo
