#include "config/file_cache.h"

#include "config/file_io.h"

namespace sievo {

namespace {

bool cachingEnabled = true;
int openScopes = 0;
unsigned long step = 0;  // counts up for ever, so an old step never comes back
unsigned long filesWritten = 0;

bool SameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

}  // namespace

bool FileIdentity::operator==(const FileIdentity& other) const {
    return exists == other.exists && device == other.device && inode == other.inode &&
           size == other.size && SameTime(modified, other.modified) &&
           SameTime(changed, other.changed);
}

FileIdentity IdentityOf(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return {};
    return {true, info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
}

timespec ClockNow() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return now;
}

bool SettledAt(const FileIdentity& identity, const timespec& readStart) {
    const timespec& modified = identity.modified;
    const long long nanosPerSecond = 1'000'000'000;
    const long long elapsed = (readStart.tv_sec - modified.tv_sec) * nanosPerSecond +
                              (readStart.tv_nsec - modified.tv_nsec);
    const timespec& settles = modified.tv_nsec != 0 ? kFineFileTimeSettles : kFileTimeSettles;
    return elapsed >= settles.tv_sec * nanosPerSecond + settles.tv_nsec;
}

FileCheckScope::FileCheckScope() {
    ++openScopes;
    BeginStep();
}

FileCheckScope::~FileCheckScope() {
    --openScopes;
}

void FileCheckScope::NextStep() {
    if (filesWritten != writesAtStep_ ||
        std::chrono::steady_clock::now() - stepBegan_ >= kFileLookInterval)
        BeginStep();
}

void FileCheckScope::BeginStep() {
    ++step;
    stepBegan_ = std::chrono::steady_clock::now();
    writesAtStep_ = filesWritten;
}

void NoteFileWritten() {
    ++filesWritten;
}

unsigned long CurrentFileCheckStep() {
    return openScopes > 0 && cachingEnabled ? step : 0;
}

void SetFileCaching(bool enabled) {
    cachingEnabled = enabled;
}

bool FileCachingEnabled() {
    return cachingEnabled;
}

std::shared_ptr<const std::string> ReadFileShared(const std::string& path) {
    auto bytes = ReadWholeFile(path);
    if (!bytes)
        return nullptr;
    return std::make_shared<const std::string>(std::move(*bytes));
}

}  // namespace sievo
