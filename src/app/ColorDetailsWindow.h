#pragma once

#include "ColorValue.h"
#include "CssForms.h"

#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tintaro {

class SwatchLabel;

// "Colour details": the current colour in every form a style sheet can
// write it, each with a button that copies its text. It follows the
// current colour live; while hidden it only remembers the colour, so a
// pointer movement pays for the forms only while they are shown.
class ColorDetailsWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr const char* kTitle = "Colour details";
    static constexpr int kFormCount = int(CssForm::Name) + 1;

    explicit ColorDetailsWindow(QWidget* owner);

    void setColor(ColorValue c);
    ColorValue color() const { return m_color; }

    // The text shown for each form, in the order of CssForm; empty where the
    // colour has no such form.
    QStringList texts() const;

Q_SIGNALS:
    // A Copy button was pressed: `text` is to go to the clipboard.
    void copyRequested(const QString& text);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refresh();

    ColorValue m_color = kWhite;
    SwatchLabel* m_swatch = nullptr;
    std::array<QLineEdit*, kFormCount> m_fields{};
    std::array<QPushButton*, kFormCount> m_copy{};
    // The name a Copy of the last row gives: the nearest one, without its
    // distance, which is only for reading.
    QString m_nameToCopy;
    bool m_refreshQueued = false;
};

} // namespace tintaro
