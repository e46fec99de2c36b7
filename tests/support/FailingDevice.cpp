#include "FailingDevice.h"

qint64 FailingDevice::writeData(const char* data, qint64 length)
{
    if (length > m_budget) {
        setErrorString(QStringLiteral("No space left on device"));
        return -1;
    }
    m_budget -= length;
    return QBuffer::writeData(data, length);
}
