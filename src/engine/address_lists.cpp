#include "engine/address_lists.h"

#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "config/activity_log.h"
#include "config/data_folder.h"
#include "config/errors.h"
#include "config/file_cache.h"
#include "config/host.h"
#include "config/text.h"

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
        const std::size_t lines = CountLineFeeds(bytes);
        folded_.reserve(bytes.size());
        std::size_t capacity = 16;
        while (capacity < 2 * (lines + 1))
            capacity *= 2;
        slots_.assign(capacity, Slot{});
        ForEachLine(bytes, [this](std::string_view line) { Insert(line); });
    }
    FoldedEntries(const FoldedEntries&) = delete;
    FoldedEntries& operator=(const FoldedEntries&) = delete;

    bool Holds(std::string_view foldedText) const {
        const std::size_t hash = std::hash<std::string_view>{}(foldedText);
        for (std::size_t i = hash & (slots_.size() - 1);; i = (i + 1) & (slots_.size() - 1)) {
            const Slot& slot = slots_[i];
            if (!slot.used)
                return false;
            if (slot.hash == hash && Text(slot) == foldedText)
                return true;
        }
    }

private:
    struct Slot {
        std::size_t hash = 0;
        std::size_t start = 0;
        std::size_t length = 0;
        bool used = false;
    };

    std::string_view Text(const Slot& slot) const {
        return std::string_view(folded_).substr(slot.start, slot.length);
    }

    void Insert(std::string_view line) {
        const std::size_t start = folded_.size();
        if (IsAsciiText(line)) {
            folded_.append(line);
            for (std::size_t i = start; i < folded_.size(); ++i)
                if (folded_[i] >= 'A' && folded_[i] <= 'Z')
                    folded_[i] += 'a' - 'A';
        } else {
            folded_ += FoldCase(line);
        }
        const Slot entry{std::hash<std::string_view>{}(std::string_view(folded_).substr(start)),
                         start, folded_.size() - start, true};
        for (std::size_t i = entry.hash & (slots_.size() - 1);; i = (i + 1) & (slots_.size() - 1)) {
            Slot& slot = slots_[i];
            if (!slot.used) {
                slot = entry;
                return;
            }
            if (slot.hash == entry.hash && Text(slot) == Text(entry)) {
                folded_.resize(start);  // a duplicate line adds nothing
                return;
            }
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
    TheHost().PumpEvents();
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
    TheHost().PumpEvents();
    static ListAnswer spammers;
    const bool found = spammers.Holds(SpammersPath(), address);
    ActivityLog("Begin Find", true);
    TheHost().PumpEvents();
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
