#pragma once

#include <sys/stat.h>

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

// Whether files read for judging may be kept between reads; on by default. Off, every
// read goes to the disk again (kept for comparing the two in a benchmark).
void SetFileCaching(bool enabled);
bool FileCachingEnabled();

// Judging reads the same few files for every rule of every message. Inside this scope a
// file is looked at once per message (per step) instead of at every read, so a change made
// meanwhile counts from the next message; outside it, every read looks.
class FileCheckScope {
public:
    FileCheckScope();
    ~FileCheckScope();
    FileCheckScope(const FileCheckScope&) = delete;
    FileCheckScope& operator=(const FileCheckScope&) = delete;

    // Files are looked at again from here on.
    void NextStep();
};

// The step of the innermost FileCheckScope, or 0 when none is open (or files are not kept).
unsigned long CurrentFileCheckStep();

// Keeps what was made of a file until the file changes on disk, so reading it at every use
// costs one look at its identity. The maker gets the file's bytes.
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
    };
    std::unordered_map<std::string, Entry> entries_;
};

// The whole file, or nothing when it is missing or cannot be read.
std::shared_ptr<const std::string> ReadFileShared(const std::string& path);

template <typename T>
std::shared_ptr<const T> FileCache<T>::Get(const std::string& path, const Maker& make) {
    const unsigned long step = CurrentFileCheckStep();
    if (step != 0 && FileCachingEnabled()) {
        const auto found = entries_.find(path);
        if (found != entries_.end() && found->second.checkedInStep == step)
            return found->second.value;
    }
    const FileIdentity identity = IdentityOf(path);
    if (FileCachingEnabled() && identity.exists) {
        const auto found = entries_.find(path);
        if (found != entries_.end() && found->second.identity == identity) {
            found->second.checkedInStep = step;
            return found->second.value;
        }
    }
    entries_.erase(path);
    if (!identity.exists)
        return nullptr;
    const auto bytes = ReadFileShared(path);
    if (!bytes)
        return nullptr;
    auto value = make(*bytes);
    if (FileCachingEnabled())
        entries_[path] = {identity, value, step};
    return value;
}

}  // namespace sievo
