#include "mail/dot_stuffing.h"

#include <cstring>

namespace sievo {

namespace {

constexpr char kDot = '.';
constexpr char kLineFeed = '\n';

bool StartsLine(const QByteArray& data, qsizetype index) {
    return index == 0 || data[index - 1] == kLineFeed;
}

// A line that is exactly "..", starting at `index`.
bool IsStuffedLoneDot(const QByteArray& data, qsizetype index) {
    const qsizetype after = index + 2;
    return data.mid(index, 2) == ".." &&
           (after == data.size() || data[after] == '\r' || data[after] == kLineFeed);
}

}  // namespace

// Line by line, so the bytes are copied in runs rather than one at a time.
QByteArray RemoveDotStuffing(const QByteArray& data) {
    QByteArray result;
    result.reserve(data.size());
    const char* line = data.constData();
    const char* const end = line + data.size();
    while (line < end) {
        if (end - line > 1 && line[0] == kDot && line[1] == kDot)
            ++line;
        const void* lineFeed = std::memchr(line, kLineFeed, static_cast<std::size_t>(end - line));
        const char* next = lineFeed ? static_cast<const char*>(lineFeed) + 1 : end;
        result.append(line, next - line);
        line = next;
    }
    return result;
}

QByteArray StuffEncodedText(const QByteArray& text) {
    QByteArray result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == kDot && StartsLine(text, i) && !IsStuffedLoneDot(text, i))
            result.append(kDot);
        result.append(text[i]);
    }
    return result;
}

}  // namespace sievo
