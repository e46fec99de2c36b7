#pragma once

#include "ScreenGrabber.h"

// Hands the picking session a desktop image of the test's choosing, or no
// image at all, and counts how often it was asked.
class FakeScreenGrabber : public tintaro::ScreenGrabber
{
public:
    explicit FakeScreenGrabber(std::optional<tintaro::DesktopShot> shot) : m_shot(std::move(shot)) {}

    std::optional<tintaro::DesktopShot> grab(QString* whyNot) override;

    int grabs() const { return m_grabs; }

    // An image whose every pixel encodes its own coordinates: red and green
    // are x and y modulo 256, blue holds their upper bits.
    static QImage coordinateImage(QSize size);
    static QPoint decode(QRgb pixel);

    // A shot of the desktop Qt reports, made of coordinateImage().
    static tintaro::DesktopShot coordinateShot();

private:
    std::optional<tintaro::DesktopShot> m_shot;
    int m_grabs = 0;
};
