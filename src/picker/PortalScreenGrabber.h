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
    // How long a question to the user is waited for: the portal itself
    // gives up on it after 25 s, and then sends no answer at all.
    static constexpr int kAskTimeoutMs = 30000;

    PortalScreenGrabber();
    ~PortalScreenGrabber() override;

    // What the desktop's permission store says about screenshots by this
    // program: Unset until the user has been asked.
    enum class Permission
    {
        Unset,
        Yes,
        No
    };

    void request(Done done) override;
    void requestColor(ColorDone done) override;
    void cancel() override;
    PickTraits traits() const override { return {true, false, false, true}; }

    // The message for a Screenshot call that failed with the D-Bus error `name`.
    static QString callFailure(const QString& name, const QString& message);
    // The result of a portal answer (response code and results) for a
    // desktop laid out as `layout`, with the permission as it stands after
    // the answer; the image file it names is removed.
    static GrabResult fromAnswer(uint response, const QVariantMap& results,
                                 const DesktopLayout& layout, Permission permission);
    // The colour in a PickColor answer.
    static ColorResult colorFromAnswer(uint response, const QVariantMap& results);

private Q_SLOTS:
    void onResponse(uint response, const QVariantMap& results);

private:
    void lookUpPermission(std::function<void(Permission)> then);
    // Asks for `method`; with a time limit unless `limitMs` is 0.
    void ask(const QString& method, QVariantMap options, int limitMs);
    void listen(const QString& path);
    void finish(GrabResult result);
    // Stops waiting and closes the request, keeping the caller.
    void abandon();

    Done m_done;
    ColorDone m_colorDone;
    QString m_requestPath;
    QTimer m_timeout;
    QDBusPendingCallWatcher* m_call = nullptr;
};

} // namespace tintaro
