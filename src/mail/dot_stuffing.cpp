#include "mail/dot_stuffing.h"

namespace sievo {

namespace {

constexpr char kDot = '.';
constexpr char kLineFeed = '\n';

bool StartsLine(const QByteArray& data, qsizetype index) {
    return index == 0 || data[index - 1] == kLineFeed;
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
    QByteArray result;
    result.reserve(data.size());
    for (qsizetype i = 0; i < data.size(); ++i) {
        if (data[i] == kDot && StartsLine(data, i))
            result.append(kDot);
        result.append(data[i]);
    }
    return result;
}

}  // namespace sievo
