#pragma once

#include <QLabel>

namespace tintaro {

// A label that reports mouse releases with the button as the old window
// system numbered them (1 left, 2 right, 4 middle) and plain clicks; the
// swatches, the current-colour display and the sample page are made of it.
class SwatchLabel : public QLabel
{
    Q_OBJECT

public:
    explicit SwatchLabel(QWidget* parent = nullptr);

    static short buttonNumber(Qt::MouseButton button);

    void setBackColor(const QColor& color);
    QColor backColor() const { return m_backColor; }
    void setForeColor(const QColor& color);
    QColor foreColor() const;

Q_SIGNALS:
    void mouseUp(short button);
    void clicked();
    void doubleClicked(); // with the left button

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QColor m_backColor; // none: transparent
    bool m_pressed = false;
};

} // namespace tintaro
