#pragma once

#include <QBuffer>

// Accepts `budget` bytes and then fails every write, as a full disk would.
class FailingDevice : public QBuffer
{
public:
    explicit FailingDevice(qint64 budget) : m_budget(budget) {}

protected:
    qint64 writeData(const char* data, qint64 length) override
    {
        if (length > m_budget) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        m_budget -= length;
        return QBuffer::writeData(data, length);
    }

private:
    qint64 m_budget;
};
