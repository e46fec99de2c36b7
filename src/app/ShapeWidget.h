#pragma once

#include <QColor>
#include <QWidget>

namespace tintaro {

// A rectangle drawn over other controls: an outline (the selection frame)
// or a solid fill with a black border (the "Newest Pick" sample). It lets
// the mouse through to what lies beneath.
class ShapeWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ShapeWidget(QWidget* parent = nullptr);

    void setBorderColor(const QColor& color);
    QColor borderColor() const { return m_border; }
    void setFillColor(const QColor& color); // invalid colour: transparent
    QColor fillColor() const { return m_fill; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_border = Qt::black;
    QColor m_fill;
};

} // namespace tintaro
