#pragma once

#include <QBuffer>

// An in-memory device that takes failAfter bytes, then refuses every write, as a
// full disk would: write failures can be tested on every platform.
class FailDevice : public QBuffer {
public:
    explicit FailDevice(qint64 failAfter) : m_failAfter(failAfter) {}

protected:
    qint64 writeData(const char *data, qint64 size) override
    {
        if (pos() + size > m_failAfter) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        return QBuffer::writeData(data, size);
    }

private:
    qint64 m_failAfter;
};
