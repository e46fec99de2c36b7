#pragma once

#include "ScreenGrabber.h"

#include <QObject>
#include <QVariantMap>

namespace tintaro {

// Asks the desktop portal's Screenshot interface, without a dialog, for an
// image of the whole desktop: the one way a Wayland client may read it.
class PortalScreenGrabber : public QObject, public ScreenGrabber
{
    Q_OBJECT

public:
    std::optional<DesktopShot> grab(QString* whyNot) override;

private Q_SLOTS:
    void onResponse(uint response, const QVariantMap& results);

private:
    bool m_answered = false;
    uint m_response = 0;
    QVariantMap m_results;
};

} // namespace tintaro
