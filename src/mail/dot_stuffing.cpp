#include "mail/dot_stuffing.h"

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

QByteArray Stuff(const QByteArray& data, bool keepStuffedLoneDots) {
    QByteArray result;
    result.reserve(data.size());
    for (qsizetype i = 0; i < data.size(); ++i) {
        if (data[i] == kDot && StartsLine(data, i) &&
            !(keepStuffedLoneDots && IsStuffedLoneDot(data, i)))
            result.append(kDot);
        result.append(data[i]);
    }
    return result;
}

}  // namespace

QByteArray RemoveDotStuffing(const QByteArray& data) {
    QByteArray result;
    result.reserve(data.size());
    for (qsizetype i = 0; i < data.size(); ++i) {
        if (data[i] == kDot && StartsLine(data, i) && i + 1 < data.size() && data[i + 1] == kDot)
            continue;
        result.append(data[i]);
    }
    return result;
}

QByteArray AddDotStuffing(const QByteArray& data) {
    return Stuff(data, false);
}

QByteArray StuffEncodedText(const QByteArray& text) {
    return Stuff(text, true);
}

}  // namespace sievo
