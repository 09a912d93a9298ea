#pragma once

#include <istream>
#include <string>
#include <string_view>

namespace sievo {

// Reads a stream line by line. CR LF, a lone CR and a lone LF each end a line; the line
// comes without its break. At the end of the data every call returns the sentinel and
// Eof() is true.
class TLineStream {
public:
    static constexpr std::string_view kEndSentinel = "\xFF\xFF\xFF\xFF";

    // Lines are read from the stream's current position, which Reset returns to.
    explicit TLineStream(std::istream& stream);

    std::string ReadLine();
    bool Eof() const { return eof_; }
    void Reset();
    // Everything from the start position to the end of the data.
    std::string ReadAll();

private:
    bool FillBuffer();

    std::istream& stream_;
    std::istream::pos_type start_;
    std::string buffer_;
    std::size_t pos_ = 0;
    bool eof_ = false;
    bool skipLineFeed_ = false;  // a CR ended the last block; its LF may begin the next
};

}  // namespace sievo
