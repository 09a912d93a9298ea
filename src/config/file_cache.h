#pragma once

#include <sys/stat.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

namespace sievo {

// What tells one state of a file from another: where it lives, its size and its times.
// Every write of the program replaces a file by a new one, so its inode changes too.
struct FileIdentity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    bool operator==(const FileIdentity& other) const;
};

FileIdentity IdentityOf(const std::string& path);

// Some file systems keep times in ticks as coarse as a second or two, so a rewrite of the
// same size soon after a read can leave the identity unchanged. A file read at least this
// long after its modification time is safe to keep; one read sooner is read again.
inline constexpr timespec kFileTimeSettles{2, 0};
// A time with a fraction of a second comes from a file system with fine ticks (at most a
// kernel tick of a few milliseconds), where the same wait would make every file written
// during a check, such as the hit counts, be read again for every message.
inline constexpr timespec kFineFileTimeSettles{0, 100'000'000};

// Whether a reading that began at readStart can be trusted to match the identity's state.
bool SettledAt(const FileIdentity& identity, const timespec& readStart);
timespec ClockNow();

// Whether files read for judging may be kept between reads; on by default. Off, every
// read goes to the disk again (kept for comparing the two in a benchmark).
void SetFileCaching(bool enabled);
bool FileCachingEnabled();

// Judging reads the same few files for every rule of every message. Inside this scope a
// file is looked at once per step (a message) instead of at every read, and steps begin
// at most this often, so a large mailbox is not a file lookup per message: a change made
// by another program counts from a message at most this much later, one saved by this
// program (a window open during the check) from the next message. Outside the scope,
// every read looks.
inline constexpr std::chrono::milliseconds kFileLookInterval{50};

class FileCheckScope {
public:
    FileCheckScope();
    ~FileCheckScope();
    FileCheckScope(const FileCheckScope&) = delete;
    FileCheckScope& operator=(const FileCheckScope&) = delete;

    // Files are looked at again from here on, once kFileLookInterval has passed since the
    // scope's last look.
    void NextStep();

private:
    void BeginStep();

    std::chrono::steady_clock::time_point stepBegan_;
    unsigned long writesAtStep_ = 0;
};

// Called for every file this program writes, so that judging looks at files again.
void NoteFileWritten();

// The step of the innermost FileCheckScope, or 0 when none is open (or files are not kept).
unsigned long CurrentFileCheckStep();

// Keeps what was made of a file until the file changes on disk, so reading it at every use
// costs one look at its identity. The maker gets the file's bytes. A file read too soon
// after its modification is read again at the next use; while its bytes stay the same,
// what was made of them is kept.
template <typename T>
class FileCache {
public:
    using Maker = std::function<std::shared_ptr<const T>(const std::string& bytes)>;

    // Nothing when the file does not exist or cannot be read.
    std::shared_ptr<const T> Get(const std::string& path, const Maker& make);
    void Forget(const std::string& path) { entries_.erase(path); }

private:
    struct Entry {
        FileIdentity identity;
        std::shared_ptr<const T> value;
        unsigned long checkedInStep = 0;
        std::shared_ptr<const std::string> unsettledBytes;  // none once settled
    };

    std::shared_ptr<const T> ReadAndMake(const std::string& path, const FileIdentity& identity,
                                         unsigned long step, const Maker& make);
    std::unordered_map<std::string, Entry> entries_;
};

// The whole file, or nothing when it is missing or cannot be read.
std::shared_ptr<const std::string> ReadFileShared(const std::string& path);

template <typename T>
std::shared_ptr<const T> FileCache<T>::Get(const std::string& path, const Maker& make) {
    const unsigned long step = CurrentFileCheckStep();
    const auto found = entries_.find(path);
    if (step != 0 && FileCachingEnabled() && found != entries_.end() &&
        found->second.checkedInStep == step)
        return found->second.value;
    const FileIdentity identity = IdentityOf(path);
    if (!identity.exists) {
        entries_.erase(path);
        return nullptr;
    }
    if (FileCachingEnabled() && found != entries_.end() && found->second.identity == identity &&
        !found->second.unsettledBytes) {
        found->second.checkedInStep = step;
        return found->second.value;
    }
    return ReadAndMake(path, identity, step, make);
}

template <typename T>
std::shared_ptr<const T> FileCache<T>::ReadAndMake(const std::string& path,
                                                   const FileIdentity& identity, unsigned long step,
                                                   const Maker& make) {
    const timespec readStart = ClockNow();
    const auto bytes = ReadFileShared(path);
    if (!bytes || !FileCachingEnabled()) {
        entries_.erase(path);
        return bytes ? make(*bytes) : nullptr;
    }
    const auto found = entries_.find(path);
    const bool sameBytes = found != entries_.end() && found->second.unsettledBytes &&
                           *found->second.unsettledBytes == *bytes;
    auto value = sameBytes ? found->second.value : make(*bytes);
    entries_[path] = {identity, value, step, SettledAt(identity, readStart) ? nullptr : bytes};
    return value;
}

}  // namespace sievo
