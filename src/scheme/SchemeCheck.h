#pragma once

#include "ColorSetRecord.h"
#include "ColorValue.h"
#include "ColorVision.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace tintaro {

// The contrast of a page's whole colour scheme, as readers meet it: the
// text and each link state on the background, and the normal and visited
// link against the text (links told from text by colour alone need 3:1
// there). Ratios follow WCAG 2.2 and are shown two decimals, never rounded
// up; a pass is judged on the exact ratio.
//
// Evaluating is cheap (it runs on every pointer movement while picking);
// the proposals and the colour-vision flags are worked out when asked for.
class SchemeCheck
{
public:
    using Element = ColorSetRecord::Field;
    // A colour the scheme does not know (a damaged saved record) is none.
    using Scheme = std::array<std::optional<ColorValue>, ColorSetRecord::kFieldCount>;
    static constexpr int kPairCount = 7;
    static constexpr int kMaxMarks = 4;
    // Two colours closer than this in OKLab (deltaE) are hard to tell apart
    // as thin text: a few times the just-noticeable difference of about 0.02.
    static constexpr double kHardToTell = 0.06;

    struct Mark
    {
        const char* name; // "AA normal", "AA large", "AAA normal", "AAA large", "3:1"
        double required;
        bool pass;
    };
    struct Pair
    {
        Element element; // the foreground: what a proposal changes
        Element against; // the background, or the text
        std::optional<ColorValue> color;
        std::optional<ColorValue> otherColor;
        std::optional<double> ratio; // none while a colour is unknown
        std::array<Mark, kMaxMarks> marks{};
        int markCount = 0;
        double required = 0; // what AA asks of this pair
        // Known, and meets what AA asks.
        bool passesAa() const { return ratio && *ratio >= required; }
    };
    struct VisionFlag
    {
        Deficiency deficiency;
        Element link;
        Element from; // the text or another link state
        double deltaE;
    };

    explicit SchemeCheck(const Scheme& scheme = {});

    // Takes the scheme's colours anew and works out the seven pairs.
    void evaluate(const Scheme& scheme);

    const Scheme& scheme() const { return m_scheme; }
    const std::array<Pair, kPairCount>& pairs() const { return m_pairs; }
    bool allPassAa() const;
    bool anyUnknown() const;

    // The colour nearest to a failing pair's foreground that passes AA
    // against its other colour, keeping the foreground's hue and chroma
    // where sRGB allows; none for a passing or unknown pair, or where no
    // colour passes.
    std::optional<ColorValue> proposal(int pair) const;

    // Each link that a colour-vision deficiency makes hard to tell from the
    // text or from another link state, which it could be told from before.
    std::vector<VisionFlag> visionFlags() const;

    // "Text on background", "Normal link against text", ...
    static QString pairTitle(const Pair& pair);
    static QString elementName(Element element);
    // One line of plain text for a pair, as the command line prints it.
    static QString pairLine(const Pair& pair);
    static QString flagLine(const VisionFlag& flag);

private:
    Scheme m_scheme;
    std::array<Pair, kPairCount> m_pairs;
};

} // namespace tintaro
