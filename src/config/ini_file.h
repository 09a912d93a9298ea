#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace sievo {

struct IniIndex;
class IniDocument;

// Reads and writes of one file that are saved together in one write.
class IniEdit {
public:
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
    void WriteInteger(std::string_view section, std::string_view key, int value);
    // Raises "Unable to write to <file>" for a value holding a line break or NUL.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteBool(std::string_view section, std::string_view key, bool value);
    void EraseSection(std::string_view section);
    // Removes the key from the section; nothing happens when it is not there.
    void EraseKey(std::string_view section, std::string_view key);
    // Gives every section of that name the new name, keys and all; false when none had it.
    bool RenameSection(std::string_view from, std::string_view to);

private:
    friend class TIniFile;
    IniEdit(IniDocument& document, const std::string& fileName)
        : document_(document), fileName_(fileName) {}

    IniDocument& document_;
    std::string fileName_;
};

// One reading of a settings file, with the reading rules of TIniFile.
class IniSnapshot {
public:
    // The value as ReadString gives it; nothing when the key is missing, so that a caller
    // can tell a missing key from an empty one.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
    // The highest n for which a section prefix + n (decimal, no leading zero) exists; 0 when
    // there is none.
    int HighestNumberedSection(std::string_view prefix) const;

    // Whether both were read from the same state of the file (while files are cached).
    bool SameReading(const IniSnapshot& other) const { return index_ && index_ == other.index_; }

private:
    friend class TIniFile;
    explicit IniSnapshot(std::shared_ptr<const IniIndex> index) : index_(std::move(index)) {}

    std::shared_ptr<const IniIndex> index_;  // none for a missing file
};

// A settings file with the semantics of Windows private-profile files: section and key
// names match without regard to case, blanks around keys and values are dropped, a value
// in matching quotes loses them, a line without "=" is no key, and at most
// kMaxIniValueBytes of a value are read. The file is read anew by every call and every
// write replaces it atomically; other sections, keys, comments and their order survive.
// A file that is not a settings file (a NUL byte, or text without any section) is neither
// read nor written: every call raises an error that names it.
class TIniFile {
public:
    explicit TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}

    const std::string& FileName() const { return fileName_; }

    // The file as it is now, for several reads that belong together.
    IniSnapshot Snapshot() const;
    // Whether the file is there but is no settings file, so every call would raise.
    bool Damaged() const;

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
    // Lets change read and write the file as it is now, then saves it in one write.
    void Edit(const std::function<void(IniEdit&)>& change) const;

private:
    std::string fileName_;
};

// The longest value a read returns, as the system's profile functions did.
inline constexpr std::size_t kMaxIniValueBytes = 1023;

// The integer a profile text stands for, as ReadInteger reads it.
bool ParseProfileInteger(std::string_view text, int& value);

}  // namespace sievo
