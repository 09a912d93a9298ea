#include "engine/address_lists.h"

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "config/activity_log.h"
#include "config/data_folder.h"
#include "config/errors.h"
#include "config/file_cache.h"
#include "config/text.h"
#include "net/event_pump.h"

namespace sievo {

namespace {

std::size_t CountLineFeeds(std::string_view text) {
    std::size_t count = 0;
    for (const char *p = text.data(), *end = p + text.size();
         (p = static_cast<const char*>(std::memchr(p, '\n', std::size_t(end - p)))) != nullptr; ++p)
        ++count;
    return count;
}

// The entries of a list file, folded to one case (blanks and empty lines kept), kept until
// the file changes on disk. The folded text is held once, and an open-addressing table of
// hashes and places refers into it, so a list of a million lines loads in a blink and
// costs little more than its own size.
class FoldedEntries {
public:
    explicit FoldedEntries(const std::string& bytes) {
        std::vector<Slot> entries;
        entries.reserve(CountLineFeeds(bytes) + 1);
        folded_.reserve(bytes.size());
        ForEachLine(bytes, [&](std::string_view line) { entries.push_back(Fold(line)); });
        if (folded_.size() >= kUnused)
            throw Exception("The list is too large to be read (4 GB or more)");
        std::size_t capacity = 16;
        while (capacity < 2 * entries.size())
            capacity *= 2;
        slots_.assign(capacity, Slot{});
        InsertAll(entries);
    }
    FoldedEntries(const FoldedEntries&) = delete;
    FoldedEntries& operator=(const FoldedEntries&) = delete;

    bool Holds(std::string_view foldedText) const {
        const std::size_t hash = std::hash<std::string_view>{}(foldedText);
        for (std::size_t i = hash & (slots_.size() - 1);; i = (i + 1) & (slots_.size() - 1)) {
            const Slot& slot = slots_[i];
            if (slot.length == kUnused)
                return false;
            if (slot.hash == hash && Text(slot) == foldedText)
                return true;
        }
    }

private:
    static constexpr std::uint32_t kUnused = 0xFFFFFFFF;

    struct Slot {
        std::uint64_t hash = 0;
        std::uint32_t start = 0;
        std::uint32_t length = kUnused;
    };

    std::string_view Text(const Slot& slot) const {
        return std::string_view(folded_).substr(slot.start, slot.length);
    }

    // Appends the folded line to the text and answers where it stands.
    Slot Fold(std::string_view line) {
        const std::size_t start = folded_.size();
        if (IsAsciiText(line)) {
            folded_.append(line);
            for (std::size_t i = start; i < folded_.size(); ++i)
                if (folded_[i] >= 'A' && folded_[i] <= 'Z')
                    folded_[i] += 'a' - 'A';
        } else {
            folded_ += FoldCase(line);
        }
        const std::string_view text = std::string_view(folded_).substr(start);
        return Slot{std::hash<std::string_view>{}(text), std::uint32_t(start),
                    std::uint32_t(text.size())};
    }

    // The table is far larger than the caches, so each entry's first slot is asked for a
    // few entries ahead: the memory waits overlap instead of adding up.
    void InsertAll(const std::vector<Slot>& entries) {
        constexpr std::size_t kAhead = 8;
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t n = 0; n < entries.size(); ++n) {
            if (n + kAhead < entries.size())
                __builtin_prefetch(&slots_[entries[n + kAhead].hash & mask], 1);
            Insert(entries[n]);
        }
    }

    void Insert(const Slot& entry) {
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = entry.hash & mask;; i = (i + 1) & mask) {
            Slot& slot = slots_[i];
            if (slot.length == kUnused) {
                slot = entry;
                return;
            }
            if (slot.hash == entry.hash && Text(slot) == Text(entry))
                return;  // a duplicate line adds nothing
        }
    }

    std::string folded_;
    std::vector<Slot> slots_;
};

// A missing file is an empty list: a check must not stop half-way with the connection
// open because a list was never created.
std::shared_ptr<const FoldedEntries> LoadList(const std::string& path) {
    static FileCache<FoldedEntries> cache;
    auto entries = cache.Get(path, [](const std::string& bytes) {
        return std::make_shared<const FoldedEntries>(bytes);
    });
    if (entries)
        return entries;
    if (!std::filesystem::exists(path)) {
        ActivityLog(path + " not found, taken as an empty list", true);
        return std::make_shared<const FoldedEntries>("");
    }
    throw Exception("Cannot open file \"" + path + "\"");
}

// Whole lines without regard to case; the looked-up text is turned to lower case first.
bool ListHolds(const FoldedEntries& entries, std::string_view text) {
    return entries.Holds(FoldCase(ToLowerText(text)));
}

bool ListHoldsAddressOrDomain(const FoldedEntries& entries, std::string_view address) {
    return ListHolds(entries, address) || ListHolds(entries, DomainOf(address));
}

// Within one step of judging the lists stand still, and every rule of a message asks about
// the same sender: the last answer is kept for the step.
class ListAnswer {
public:
    bool Holds(const std::string& path, const std::string& address) {
        const unsigned long step = CurrentFileCheckStep();
        if (step == 0 || step != step_ || address != address_) {
            holds_ = ListHoldsAddressOrDomain(*LoadList(path), address);
            step_ = step;
            address_ = address;
        }
        return holds_;
    }

private:
    unsigned long step_ = 0;
    std::string address_;
    bool holds_ = false;
};

void WriteEndFind() {
    ActivityLog("End Find", true);
    PumpEvents();
}

}  // namespace

std::string FriendsPath() {
    return ProgramFile("friends.lst");
}

std::string SpammersPath() {
    return ProgramFile("sievo.lst");
}

std::string_view DomainOf(std::string_view address) {
    const auto at = address.find('@');
    return at == std::string_view::npos ? address : address.substr(at + 1);
}

bool FBOOLIsAFriend(const std::string& address) {
    static ListAnswer friends;
    const bool found = friends.Holds(FriendsPath(), address);
    ActivityLog("BEGIN friends list check", true);
    const std::string_view domain = DomainOf(address);
    ActivityLog("The address is " + address, true);
    ActivityLog("The domain is " + std::string(domain), true);
    ActivityLog(
        found ? "END friends list check address WAS FOUND" : "END friends list check not found",
        true);
    return found;
}

bool LookUpSpammer(const std::string& address, const std::function<void()>& onFound) {
    ActivityLog("Reading SPAM List into memory", true);
    PumpEvents();
    static ListAnswer spammers;
    const bool found = spammers.Holds(SpammersPath(), address);
    ActivityLog("Begin Find", true);
    PumpEvents();
    try {
        if (found)
            onFound();
    } catch (...) {
        WriteEndFind();  // the closing line is written however the lookup ends
        throw;
    }
    WriteEndFind();
    return found;
}

}  // namespace sievo
