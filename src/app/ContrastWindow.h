#pragma once

#include "SchemeCheck.h"

#include <QWidget>

#include <array>
#include <optional>

class QPushButton;

namespace tintaro {

// "Contrast check": the sample page's seven contrast pairs with their
// ratios and marks, a passing colour for each failing pair, and the page as
// seen with four colour-vision deficiencies. It follows the scheme live:
// taking a new scheme only works out the pairs and asks for a repaint, so
// a pointer movement while picking stays cheap; the proposals and the
// colour-vision flags are worked out when the window paints.
class ContrastWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr const char* kTitle = "Contrast check";

    explicit ContrastWindow(QWidget* owner);

    void setScheme(const SchemeCheck::Scheme& scheme);
    const SchemeCheck& check() const { return m_check; }

    // What the window shows, a line for each pair and each colour-vision
    // note, as plain text (also the window's accessible description).
    QStringList lines() const;
    // The passing colour shown for a pair, if any.
    std::optional<ColorValue> proposal(int pair) const;

Q_SIGNALS:
    // The user chose the passing colour of a pair for `element`.
    void proposalChosen(SchemeCheck::Element element, ColorValue color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void workOutLazyParts() const;
    void paintPreview(QPainter& painter, QRect area, Deficiency deficiency) const;

    SchemeCheck m_check;
    std::array<QPushButton*, SchemeCheck::kPairCount> m_use{};
    // Worked out when first needed after a change.
    mutable bool m_lazyValid = false;
    mutable std::array<std::optional<ColorValue>, SchemeCheck::kPairCount> m_proposals;
    mutable std::vector<SchemeCheck::VisionFlag> m_flags;
};

} // namespace tintaro
