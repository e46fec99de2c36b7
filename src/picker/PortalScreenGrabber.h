#pragma once

#include "ScreenGrabber.h"

#include <QObject>
#include <QTimer>
#include <QVariantMap>

class QDBusPendingCallWatcher;

namespace tintaro {

// Asks the desktop portal's Screenshot interface, without a dialog, for an
// image of the whole desktop: the one way a Wayland client may read it.
// The request runs on the event loop, so the program stays responsive
// while the desktop asks the user for permission.
class PortalScreenGrabber : public QObject, public ScreenGrabber
{
    Q_OBJECT

public:
    // How long a portal that needs no answer from the user may take.
    static constexpr int kTimeoutMs = 15000;

    PortalScreenGrabber();
    ~PortalScreenGrabber() override;

    void request(Done done) override;
    void cancel() override;
    PickTraits traits() const override { return {true, false, false}; }

    // The message for a Screenshot call that failed with the D-Bus error `name`.
    static QString callFailure(const QString& name, const QString& message);
    // The result of a portal answer (response code and results) for a
    // desktop laid out as `layout`; the image file it names is removed.
    static GrabResult fromAnswer(uint response, const QVariantMap& results,
                                 const DesktopLayout& layout);

private Q_SLOTS:
    void onResponse(uint response, const QVariantMap& results);

private:
    void ask(bool userMayBeAsked);
    void listen(const QString& path);
    void finish(GrabResult result);
    // Stops waiting and closes the request, keeping the caller.
    void abandon();

    Done m_done;
    QString m_requestPath;
    QTimer m_timeout;
    QDBusPendingCallWatcher* m_call = nullptr;
};

} // namespace tintaro
