#pragma once

#include <QBuffer>

// A device that accepts `budget` bytes and then fails every write, to see
// how writers behave when the disk fills up or the medium goes away.
class FailingDevice : public QBuffer
{
public:
    explicit FailingDevice(qint64 budget) : m_budget(budget) {}

protected:
    qint64 writeData(const char* data, qint64 length) override;

private:
    qint64 m_budget;
};
