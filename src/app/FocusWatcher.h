#pragma once

#include <QObject>

class QWidget;

namespace tintaro {

// Reports a control's keyboard focus arriving and leaving, with the reason,
// so that a window can answer the focus changes of its controls without
// filtering events itself.
class FocusWatcher : public QObject
{
    Q_OBJECT

public:
    // Watches `watched` for as long as it lives; owned by it.
    explicit FocusWatcher(QWidget* watched);

Q_SIGNALS:
    void focusIn(Qt::FocusReason reason);
    void focusOut(Qt::FocusReason reason);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace tintaro
