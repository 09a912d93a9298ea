#include "mail/capped_buffer.h"

#include <algorithm>

namespace sievo {

CappedBuffer::CappedBuffer(qint64 limit) : limit_(limit) {
    open(QIODevice::WriteOnly);
}

qint64 CappedBuffer::readData(char*, qint64) {
    return -1;
}

qint64 CappedBuffer::writeData(const char* data, qint64 size) {
    const qint64 room = std::max<qint64>(limit_ - data_.size(), 0);
    data_.append(data, static_cast<qsizetype>(std::min(room, size)));
    written_ += size;
    return size;
}

}  // namespace sievo
