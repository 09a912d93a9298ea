#include "config/ini_file.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>
#include <unordered_map>
#include <vector>

#include "config/errors.h"
#include "config/file_cache.h"
#include "config/file_io.h"
#include "config/text.h"

namespace sievo {

namespace {

struct SectionRange {
    std::size_t header;  // index of the "[name]" line
    std::size_t end;     // one past the section's last line
};

bool IsSectionHeader(std::string_view line, std::string_view* name = nullptr) {
    line = TrimBlanks(line);
    if (line.empty() || line.front() != '[')
        return false;
    const auto close = line.rfind(']');
    if (close == std::string_view::npos)
        return false;
    if (name)
        *name = TrimBlanks(line.substr(1, close - 1));
    return true;
}

// "key=value" with blanks around either part; comment lines and lines without "=" hold no key.
bool SplitKeyLine(std::string_view line, std::string_view* key, std::string_view* value) {
    line = TrimBlanks(line);
    if (line.empty() || line.front() == ';')
        return false;
    const auto equals = line.find('=');
    if (equals == std::string_view::npos)
        return false;
    *key = TrimBlanks(line.substr(0, equals));
    *value = TrimBlanks(line.substr(equals + 1));
    return true;
}

std::string_view StripMatchingQuotes(std::string_view value) {
    if (value.size() > 1 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// Appends the pieces in one buffer; also keeps GCC 12 from a false -Wrestrict alarm that
// chained string additions raise at -O3.
std::string Joined(std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (const auto piece : pieces)
        text.append(piece);
    return text;
}

// A settings file is text in sections. A NUL byte, or lines of text without a single
// section, mean the file holds something else; reading it as empty would pass for "no
// accounts" or "no rules", and the next write would replace it.
bool HoldsSettingsText(std::string_view bytes) {
    if (bytes.find('\0') != std::string_view::npos)
        return false;
    bool anyText = false;
    bool anySection = false;
    ForEachLine(bytes, [&](std::string_view line) {
        line = TrimBlanks(line);
        anySection = anySection || IsSectionHeader(line);
        anyText = anyText || (!line.empty() && line.front() != ';');
    });
    return anySection || !anyText;
}

void CheckSettingsText(const std::string& fileName, std::string_view bytes) {
    if (!HoldsSettingsText(bytes))
        throw Exception(fileName +
                        " is damaged: it is not a settings file. It is left as it "
                        "is; repair or remove it.");
}

// The file's bytes for changing it: empty for a missing file, raises for a damaged one.
std::string ReadForEdit(const std::string& fileName) {
    std::string bytes = ReadWholeFile(fileName).value_or("");
    CheckSettingsText(fileName, bytes);
    return bytes;
}

FileCache<IniIndex>& IndexCache() {
    static FileCache<IniIndex> cache;
    return cache;
}

}  // namespace

// The lines of a settings file, for changing it while keeping everything else as it is.
class IniDocument {
public:
    explicit IniDocument(const std::string& fileName) : lines_(SplitLines(ReadForEdit(fileName))) {}

    std::optional<SectionRange> FindSection(std::string_view name) const {
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            std::string_view found;
            if (IsSectionHeader(lines_[i], &found) && SameText(found, name))
                return SectionRange{i, SectionEnd(i)};
        }
        return std::nullopt;
    }

    std::optional<std::size_t> FindKey(const SectionRange& section, std::string_view name,
                                       std::string_view* value = nullptr) const {
        for (std::size_t i = section.header + 1; i < section.end; ++i) {
            std::string_view key, found;
            if (SplitKeyLine(lines_[i], &key, &found) && SameText(key, name)) {
                if (value)
                    *value = found;
                return i;
            }
        }
        return std::nullopt;
    }

    void SetValue(std::string_view section, std::string_view key, std::string_view value) {
        const auto range = FindSection(section);
        if (!range) {
            if (!lines_.empty() && !TrimBlanks(lines_.back()).empty())
                lines_.emplace_back();
            lines_.push_back(Joined({"[", section, "]"}));
            lines_.push_back(Joined({key, "=", value}));
            return;
        }
        if (const auto line = FindKey(*range, key)) {
            std::string_view storedKey, oldValue;
            SplitKeyLine(lines_[*line], &storedKey, &oldValue);
            lines_[*line] = Joined({storedKey, "=", value});
            return;
        }
        auto insertAt = range->end;
        while (insertAt > range->header + 1 && TrimBlanks(lines_[insertAt - 1]).empty())
            --insertAt;
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                      Joined({key, "=", value}));
    }

    // False when the section was not there.
    bool RemoveSection(std::string_view section) {
        bool removed = false;
        while (const auto range = FindSection(section)) {
            lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(range->header),
                         lines_.begin() + static_cast<std::ptrdiff_t>(range->end));
            removed = true;
        }
        return removed;
    }

    void RemoveKey(std::string_view section, std::string_view key) {
        const auto range = FindSection(section);
        if (!range)
            return;
        if (const auto line = FindKey(*range, key))
            lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*line));
    }

    bool RenameSection(std::string_view from, std::string_view to) {
        bool renamed = false;
        for (auto& line : lines_) {
            std::string_view found;
            if (IsSectionHeader(line, &found) && SameText(found, from)) {
                line = Joined({"[", to, "]"});
                renamed = true;
            }
        }
        return renamed;
    }

    std::string Text() const { return JoinLinesCrLf(lines_); }

    // The value of a key as it stands in the file; empty when it is not there.
    std::string Value(std::string_view section, std::string_view key) const {
        std::string_view value;
        const auto range = FindSection(section);
        if (range && FindKey(*range, key, &value))
            return std::string(value);
        return "";
    }

private:
    std::size_t SectionEnd(std::size_t header) const {
        std::size_t i = header + 1;
        while (i < lines_.size() && !IsSectionHeader(lines_[i]))
            ++i;
        return i;
    }

    std::vector<std::string> lines_;
};

// Every section's keys by their folded names; the first section and the first key of a
// name count, as in the file's own lookup.
struct IniIndex {
    std::unordered_map<std::string, std::unordered_map<std::string, std::string>> sections;
    // For each folded name that numbered sections share ("user" of [USER1]...), the
    // highest number present.
    std::unordered_map<std::string, int> highestNumbers;

    explicit IniIndex(const std::string& bytes) {
        std::unordered_map<std::string, std::string>* current = nullptr;
        for (const auto& line : SplitLines(bytes)) {
            std::string_view name, key, value;
            if (IsSectionHeader(line, &name)) {
                const auto [entry, added] = sections.try_emplace(FoldCase(name));
                current = added ? &entry->second : nullptr;
                if (added)
                    NoteNumber(entry->first);
            } else if (current && SplitKeyLine(line, &key, &value)) {
                current->try_emplace(FoldCase(key), value);
            }
        }
    }

private:
    // "user12" counts for "user" as 12; a number with a leading zero names no entry.
    void NoteNumber(std::string_view name) {
        const auto digits = name.find_last_not_of("0123456789") + 1;
        int number = 0;
        if (digits == name.size() || name[digits] == '0' ||
            !ParseProfileInteger(name.substr(digits), number))
            return;
        int& highest = highestNumbers[std::string(name.substr(0, digits))];
        highest = std::max(highest, number);
    }
};

namespace {

[[noreturn]] void RaiseWriteError(const std::string& fileName) {
    throw Exception("Unable to write to " + fileName);
}

void Save(const IniDocument& document, const std::string& fileName) {
    if (!WriteFileAtomically(fileName, document.Text()))
        RaiseWriteError(fileName);
    IndexCache().Forget(fileName);
}

bool HoldsLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool ParseDigits(std::string_view digits, int base, std::uint64_t limit, std::uint64_t& out) {
    if (digits.empty())
        return false;
    const auto* end = digits.data() + digits.size();
    const auto result = std::from_chars(digits.data(), end, out, base);
    return result.ec == std::errc() && result.ptr == end && out <= limit;
}

}  // namespace

bool ParseProfileInteger(std::string_view text, int& value) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    std::uint64_t limit = static_cast<std::uint64_t>(std::numeric_limits<int>::max()) + negative;
    if (!text.empty() && text.front() == '$') {
        text.remove_prefix(1);
        base = 16;
    } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    if (base == 16)
        limit = std::numeric_limits<std::uint32_t>::max();  // wraps like a 32-bit
    std::uint64_t magnitude = 0;
    if (!ParseDigits(text, base, limit, magnitude))
        return false;
    const auto bits = static_cast<std::uint32_t>(negative ? 0 - magnitude : magnitude);
    value = static_cast<int>(bits);
    return true;
}

bool TIniFile::Damaged() const {
    const auto bytes = ReadWholeFile(fileName_);
    return bytes && !HoldsSettingsText(*bytes);
}

IniSnapshot TIniFile::Snapshot() const {
    return IniSnapshot(IndexCache().Get(fileName_, [this](const std::string& bytes) {
        CheckSettingsText(fileName_, bytes);
        return std::make_shared<const IniIndex>(bytes);
    }));
}

int IniSnapshot::HighestNumberedSection(std::string_view prefix) const {
    if (!index_)
        return 0;
    const auto found = index_->highestNumbers.find(FoldCase(prefix));
    return found == index_->highestNumbers.end() ? 0 : found->second;
}

std::optional<std::string> IniSnapshot::Find(std::string_view section, std::string_view key) const {
    if (!index_)
        return std::nullopt;
    const auto found = index_->sections.find(FoldCase(section));
    if (found == index_->sections.end())
        return std::nullopt;
    const auto entry = found->second.find(FoldCase(key));
    if (entry == found->second.end())
        return std::nullopt;
    return std::string(Utf8Truncate(StripMatchingQuotes(entry->second), kMaxIniValueBytes));
}

std::string IniSnapshot::ReadString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const {
    return Find(section, key).value_or(std::string(Utf8Truncate(defaultValue, kMaxIniValueBytes)));
}

int IniSnapshot::ReadInteger(std::string_view section, std::string_view key,
                             int defaultValue) const {
    int value = 0;
    return ParseProfileInteger(ReadString(section, key, ""), value) ? value : defaultValue;
}

bool IniSnapshot::ReadBool(std::string_view section, std::string_view key,
                           bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
    return Snapshot().ReadString(section, key, defaultValue);
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
    return Snapshot().ReadInteger(section, key, defaultValue);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
    return Snapshot().ReadBool(section, key, defaultValue);
}

void TIniFile::WriteString(std::string_view section, std::string_view key,
                           std::string_view value) const {
    if (HoldsLineBreakOrNul(value) || HoldsLineBreakOrNul(key) || HoldsLineBreakOrNul(section))
        RaiseWriteError(fileName_);
    IniDocument document(fileName_);
    document.SetValue(section, key, value);
    Save(document, fileName_);
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int value) const {
    WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) const {
    WriteString(section, key, value ? "1" : "0");
}

int IniEdit::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
    int value = 0;
    const std::string text = document_.Value(section, key);
    return ParseProfileInteger(StripMatchingQuotes(text), value) ? value : defaultValue;
}

void IniEdit::WriteInteger(std::string_view section, std::string_view key, int value) {
    document_.SetValue(section, key, std::to_string(value));
}

void IniEdit::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    if (HoldsLineBreakOrNul(value) || HoldsLineBreakOrNul(key) || HoldsLineBreakOrNul(section))
        RaiseWriteError(fileName_);
    document_.SetValue(section, key, value);
}

void IniEdit::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void IniEdit::EraseSection(std::string_view section) {
    document_.RemoveSection(section);
}

void IniEdit::EraseKey(std::string_view section, std::string_view key) {
    document_.RemoveKey(section, key);
}

bool IniEdit::RenameSection(std::string_view from, std::string_view to) {
    if (HoldsLineBreakOrNul(to) || to.find(']') != std::string_view::npos)
        RaiseWriteError(fileName_);
    return document_.RenameSection(from, to);
}

void TIniFile::Edit(const std::function<void(IniEdit&)>& change) const {
    IniDocument document(fileName_);
    IniEdit edit(document, fileName_);
    change(edit);
    Save(document, fileName_);
}

void TIniFile::EraseSection(std::string_view section) const {
    IniDocument document(fileName_);
    if (document.RemoveSection(section))
        Save(document, fileName_);
}

}  // namespace sievo
