#include "mail/line_stream.h"

#include <iterator>

namespace sievo {

namespace {
// Large enough that a typical message takes a few reads, small enough to stay in cache.
constexpr std::size_t kBlockSize = 64 * 1024;
}  // namespace

TLineStream::TLineStream(std::istream& stream) : stream_(stream), start_(stream.tellg()) {}

bool TLineStream::FillBuffer() {
    buffer_.resize(kBlockSize);
    stream_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.resize(static_cast<std::size_t>(stream_.gcount()));
    pos_ = 0;
    if (buffer_.empty())
        return false;
    if (skipLineFeed_ && buffer_.front() == '\n')
        pos_ = 1;
    skipLineFeed_ = false;
    return pos_ < buffer_.size() || FillBuffer();
}

std::string TLineStream::ReadLine() {
    if (eof_)
        return std::string(kEndSentinel);
    std::string line;
    bool gotAny = false;
    while (pos_ < buffer_.size() || FillBuffer()) {
        gotAny = true;
        const std::size_t breakAt = buffer_.find_first_of("\r\n", pos_);
        if (breakAt == std::string::npos) {
            line.append(buffer_, pos_, std::string::npos);
            pos_ = buffer_.size();
            continue;
        }
        line.append(buffer_, pos_, breakAt - pos_);
        pos_ = breakAt + 1;
        if (buffer_[breakAt] == '\r') {
            if (pos_ < buffer_.size()) {
                if (buffer_[pos_] == '\n')
                    ++pos_;
            } else {
                skipLineFeed_ = true;
            }
        }
        return line;
    }
    if (gotAny)
        return line;  // the last line had no break
    eof_ = true;
    return std::string(kEndSentinel);
}

void TLineStream::Reset() {
    stream_.clear();
    stream_.seekg(start_);
    buffer_.clear();
    pos_ = 0;
    eof_ = false;
    skipLineFeed_ = false;
}

std::string TLineStream::ReadAll() {
    Reset();
    std::string all{std::istreambuf_iterator<char>(stream_), std::istreambuf_iterator<char>()};
    Reset();
    return all;
}

}  // namespace sievo
