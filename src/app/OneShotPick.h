#pragma once

#include "ColorValue.h"
#include "CssForms.h"

#include <QObject>

#include <cstdio>
#include <memory>
#include <optional>

namespace tintaro {

class PickSession;
class ScreenGrabber;

// A pick for scripts and hotkeys (tintaro --pick): the screen freezes at
// once, with the floating sample and the loupe, and the session ends with
// one colour printed, or with none. No data file is read or written and
// the main window never opens.
class OneShotPick : public QObject
{
    Q_OBJECT

public:
    struct Request
    {
        std::optional<CssForm> form; // none: #RRGGBB
        bool copy = false;           // the text to the clipboard as well
    };

    OneShotPick(const Request& request, std::unique_ptr<ScreenGrabber> grabber, std::FILE* out,
                std::FILE* err);
    ~OneShotPick() override;

    void start();
    PickSession* session() const { return m_session.get(); }

    // The whole pick in a running application: its exit status.
    static int run(const Request& request);

Q_SIGNALS:
    // 0: a colour was printed; 2: none (stopped, or nothing to pick from).
    void finished(int status);

private:
    void pick();
    void finish(int status);

    Request m_request;
    std::unique_ptr<ScreenGrabber> m_grabber;
    std::unique_ptr<PickSession> m_session;
    std::FILE* m_out;
    std::FILE* m_err;
    std::optional<ColorValue> m_color; // the pixel under the pointer, once it moved
    bool m_done = false;
};

} // namespace tintaro
