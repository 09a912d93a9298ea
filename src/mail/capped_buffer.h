#pragma once

#include <QByteArray>
#include <QIODevice>

namespace sievo {

// A write-only device that keeps the first `limit` bytes written to it and counts the
// rest without keeping them, so a reply of any length can be read to its end, keeping
// the session in step, while memory stays bounded.
class CappedBuffer : public QIODevice {
public:
    explicit CappedBuffer(qint64 limit);

    // True once more than `limit` bytes were written; `Data` then holds only the first.
    bool Overflowed() const { return written_ > limit_; }
    const QByteArray& Data() const { return data_; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    qint64 limit_;
    qint64 written_ = 0;
    QByteArray data_;
};

}  // namespace sievo
