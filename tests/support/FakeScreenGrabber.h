#pragma once

#include "ScreenGrabber.h"

// Hands the picking session a desktop image of the test's choosing, or none,
// and counts how often it was asked.
class FakeScreenGrabber : public tintaro::ScreenGrabber
{
public:
    explicit FakeScreenGrabber(std::optional<tintaro::DesktopShot> shot) : m_shot(std::move(shot))
    {
    }

    std::optional<tintaro::DesktopShot> grab(QString* whyNot) override
    {
        ++m_grabs;
        *whyNot = QStringLiteral("the test hands in no image");
        return m_shot;
    }
    int grabs() const { return m_grabs; }

    // Each pixel holds its coordinates: red x, green y, blue their upper bits (under 4096).
    static QRgb colourAt(int x, int y) { return qRgb(x & 255, y & 255, x >> 8 | (y >> 8) << 4); }
    static QImage coordinateImage(QSize size)
    {
        QImage image(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                image.setPixel(x, y, colourAt(x, y));
        return image;
    }
    static QPoint decode(QRgb p)
    {
        return {qRed(p) | (qBlue(p) & 15) << 8, qGreen(p) | qBlue(p) >> 4 << 8};
    }
    // A coordinate image of the desktop Qt reports.
    static tintaro::DesktopShot coordinateShot()
    {
        const tintaro::DesktopLayout layout = tintaro::DesktopLayout::current();
        return {coordinateImage(layout.physicalBounds().size()), layout};
    }

private:
    std::optional<tintaro::DesktopShot> m_shot;
    int m_grabs = 0;
};
