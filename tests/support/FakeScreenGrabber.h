#pragma once

#include "ScreenGrabber.h"

// Hands the picking session a desktop image of the test's choosing, or none,
// and counts how often it was asked. With TINTARO_TEST_PER_SCREEN set it acts
// as a compositor's portal does: a window per screen, the image at one scale,
// and answers that may be held back or refused.
class FakeScreenGrabber : public tintaro::ScreenGrabber
{
public:
    explicit FakeScreenGrabber(std::optional<tintaro::DesktopShot> shot) : m_shot(std::move(shot))
    {
    }

    std::optional<tintaro::DesktopShot> grab(QString* whyNot)
    {
        ++m_grabs;
        *whyNot = QStringLiteral("the test hands in no image");
        return m_shot;
    }
    int grabs() const { return m_grabs; }

    void request(Done done) override
    {
        m_held = std::move(done);
        if (!m_hold)
            answer();
    }
    void cancel() override
    {
        m_cancels +=
            bool(std::exchange(m_held, nullptr)) + bool(std::exchange(m_colorHeld, nullptr));
    }
    tintaro::PickTraits traits() const override
    {
        return perScreen() ? tintaro::PickTraits{true, false, false, true} : tintaro::PickTraits{};
    }
    // The next answers wait for answer(); `refusal` makes it a refusal.
    void hold(const QString& refusal = {}) { m_hold = true, m_refusal = refusal; }
    // Instead of an image, colours one at a time from the desktop's picker.
    void offerPicker() { m_picker = true; }
    void requestColor(ColorDone done) override { m_colorHeld = std::move(done); }
    // Answers the picker's request, if one is open.
    void answerColor(tintaro::ColorResult result)
    {
        if (ColorDone done = std::exchange(m_colorHeld, nullptr))
            done(std::move(result));
    }
    void answer()
    {
        tintaro::GrabResult result{std::nullopt, m_refusal, !m_refusal.isEmpty(), m_picker};
        if (m_picker)
            result.whyNot = QStringLiteral("No frozen image here.");
        else if (m_refusal.isEmpty())
            result.shot = grab(&result.whyNot);
        if (Done done = std::exchange(m_held, nullptr))
            done(std::move(result));
    }
    int cancels() const { return m_cancels; }
    // Where the session asked for the pointer, in physical desktop pixels;
    // Qt then puts it there in logical ones, as with no finer means.
    bool movePointer(QPoint physical) override
    {
        m_warps.push_back(physical);
        return false;
    }
    const QList<QPoint>& warps() const { return m_warps; }
    // Whether the main window is tied above the picking windows.
    void keepOwnerAbove(QWindow* owner, bool above) override
    {
        m_owner = owner;
        m_ownerAbove = above;
    }
    bool ownerAbove() const { return m_ownerAbove; }
    QWindow* owner() const { return m_owner; }
    static bool perScreen() { return qEnvironmentVariableIsSet("TINTARO_TEST_PER_SCREEN"); }

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
    // A coordinate image of the desktop Qt reports; a compositor's is at the
    // highest ratio throughout.
    static tintaro::DesktopShot coordinateShot()
    {
        tintaro::DesktopLayout layout = tintaro::DesktopLayout::current();
        if (perScreen())
            layout = *layout.fittedTo(layout.logicalBounds().size() * 2);
        return {coordinateImage(layout.physicalBounds().size()), layout};
    }

private:
    std::optional<tintaro::DesktopShot> m_shot;
    int m_grabs = 0, m_cancels = 0;
    bool m_hold = false, m_picker = false;
    ColorDone m_colorHeld;
    QString m_refusal;
    Done m_held;
    QList<QPoint> m_warps;
    QWindow* m_owner = nullptr;
    bool m_ownerAbove = false;
};
