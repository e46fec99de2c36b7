#include "FakeScreenGrabber.h"

std::optional<tintaro::DesktopShot> FakeScreenGrabber::grab(QString* whyNot)
{
    ++m_grabs;
    if (!m_shot)
        *whyNot = QStringLiteral("the test hands in no image");
    return m_shot;
}

QImage FakeScreenGrabber::coordinateImage(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = qRgb(x & 255, y & 255, ((x >> 8) & 15) | (((y >> 8) & 15) << 4));
    }
    return image;
}

QPoint FakeScreenGrabber::decode(QRgb pixel)
{
    return QPoint(qRed(pixel) | ((qBlue(pixel) & 15) << 8), qGreen(pixel) | ((qBlue(pixel) >> 4) << 8));
}

tintaro::DesktopShot FakeScreenGrabber::coordinateShot()
{
    tintaro::DesktopLayout layout = tintaro::DesktopLayout::current();
    return {coordinateImage(layout.physicalBounds().size()), layout};
}
