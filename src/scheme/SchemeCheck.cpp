#include "SchemeCheck.h"

#include "Contrast.h"
#include "NearestPassing.h"
#include "OkLab.h"

namespace tintaro {
namespace {

using E = ColorSetRecord::Field;

// The pairs in the order shown: foreground, then what it stands on or
// must be told from.
constexpr std::array<std::pair<E, E>, SchemeCheck::kPairCount> kPairs = {{
    {E::Text, E::Background},
    {E::NormalLink, E::Background},
    {E::VisitedLink, E::Background},
    {E::ActiveLink, E::Background},
    {E::HoverLink, E::Background},
    {E::NormalLink, E::Text},
    {E::VisitedLink, E::Text},
}};

constexpr E kLinks[] = {E::NormalLink, E::VisitedLink, E::ActiveLink, E::HoverLink};
constexpr Deficiency kDeficiencies[] = {Deficiency::Protanopia, Deficiency::Deuteranopia,
                                        Deficiency::Tritanopia, Deficiency::Achromatopsia};

} // namespace

SchemeCheck::SchemeCheck(const Scheme& scheme)
{
    evaluate(scheme);
}

void SchemeCheck::evaluate(const Scheme& scheme)
{
    m_scheme = scheme;
    for (int i = 0; i < kPairCount; ++i) {
        Pair& p = m_pairs[i];
        p.element = kPairs[i].first;
        p.against = kPairs[i].second;
        p.color = scheme[p.element];
        p.otherColor = scheme[p.against];
        const bool onText = p.against == E::Text;
        p.required = onText ? kLinkAgainstText : kAaNormal;
        p.ratio.reset();
        if (p.color && p.otherColor)
            p.ratio = contrastRatio(*p.color, *p.otherColor);
        const double ratio = p.ratio.value_or(0);
        if (onText) {
            p.marks[0] = {"3:1", kLinkAgainstText, ratio >= kLinkAgainstText};
            p.markCount = 1;
        } else {
            p.marks = {{{"AA normal", kAaNormal, ratio >= kAaNormal},
                        {"AA large", kAaLarge, ratio >= kAaLarge},
                        {"AAA normal", kAaaNormal, ratio >= kAaaNormal},
                        {"AAA large", kAaaLarge, ratio >= kAaaLarge}}};
            p.markCount = kMaxMarks;
        }
    }
}

bool SchemeCheck::allPassAa() const
{
    for (const Pair& p : m_pairs)
        if (!p.passesAa())
            return false;
    return true;
}

bool SchemeCheck::anyUnknown() const
{
    for (const Pair& p : m_pairs)
        if (!p.ratio)
            return true;
    return false;
}

std::optional<ColorValue> SchemeCheck::proposal(int pair) const
{
    const Pair& p = m_pairs.at(std::size_t(pair));
    if (!p.ratio || p.passesAa())
        return std::nullopt;
    return nearestPassing(*p.color, *p.otherColor, p.required);
}

std::vector<SchemeCheck::VisionFlag> SchemeCheck::visionFlags() const
{
    std::vector<VisionFlag> flags;
    for (Deficiency d : kDeficiencies) {
        const auto check = [&](E link, E from) {
            const std::optional<ColorValue> a = m_scheme[link], b = m_scheme[from];
            if (!a || !b || deltaE(*a, *b) < kHardToTell)
                return; // unknown, or never meant to differ
            const double seen = deltaE(simulate(*a, d), simulate(*b, d));
            if (seen < kHardToTell)
                flags.push_back({d, link, from, seen});
        };
        for (std::size_t i = 0; i < std::size(kLinks); ++i) {
            check(kLinks[i], E::Text);
            for (std::size_t j = i + 1; j < std::size(kLinks); ++j)
                check(kLinks[i], kLinks[j]);
        }
    }
    return flags;
}

QString SchemeCheck::elementName(Element element)
{
    switch (element) {
    case E::Text:
        return QStringLiteral("text");
    case E::Background:
        return QStringLiteral("background");
    case E::NormalLink:
        return QStringLiteral("normal link");
    case E::VisitedLink:
        return QStringLiteral("visited link");
    case E::ActiveLink:
        return QStringLiteral("active link");
    case E::HoverLink:
        return QStringLiteral("hover link");
    case E::kFieldCount:
        break;
    }
    return QString();
}

QString SchemeCheck::pairTitle(const Pair& pair)
{
    QString title =
        elementName(pair.element) +
        (pair.against == E::Text ? QStringLiteral(" against ") : QStringLiteral(" on ")) +
        elementName(pair.against);
    title[0] = title[0].toUpper();
    return title;
}

QString SchemeCheck::pairLine(const Pair& pair)
{
    const auto hex = [](std::optional<ColorValue> c) {
        return c ? ColorToHtml(*c) : QStringLiteral("unknown");
    };
    QString line =
        QStringLiteral("%1 %2 %3 %4")
            .arg(pairTitle(pair), -28)
            .arg(hex(pair.color), -7)
            .arg(pair.against == E::Text ? QStringLiteral("vs") : QStringLiteral("on"), -2)
            .arg(hex(pair.otherColor), -7);
    if (!pair.ratio)
        return line + QStringLiteral("  unknown: the saved set lacks a colour");
    line += QStringLiteral("  %1:1").arg(ratioText(*pair.ratio), 5);
    for (int i = 0; i < pair.markCount; ++i)
        line += QStringLiteral("  %1 %2").arg(QLatin1String(pair.marks[i].name),
                                              pair.marks[i].pass ? QStringLiteral("pass")
                                                                 : QStringLiteral("FAIL"));
    return line;
}

QString SchemeCheck::flagLine(const VisionFlag& flag)
{
    return QStringLiteral("%1: the %2 is hard to tell from the %3 (deltaE %4 in OKLab, under %5)")
        .arg(deficiencyName(flag.deficiency), elementName(flag.link), elementName(flag.from),
             QString::number(flag.deltaE, 'f', 3), QString::number(kHardToTell, 'f', 2));
}

} // namespace tintaro
