#include "ContrastWindow.h"

#include "Contrast.h"
#include "Twips.h"

#include <QPainter>
#include <QPushButton>

namespace tintaro {
namespace {

using E = SchemeCheck::Element;

// Geometry in twips: a row a pair, the marks in columns, the passing colour
// and its button at the right; the four previews below.
constexpr int kMargin = 120;
constexpr int kRowHeight = 390;
constexpr int kHeaderTop = 120;
constexpr int kFirstRowTop = 480;
constexpr int kSwatch = 270;
constexpr int kTitleLeft = 750;
constexpr int kRatioLeft = 3600;
constexpr int kMarksLeft = 4650;
constexpr int kMarkWidth = 1140;
constexpr int kProposalLeft = 9300;
constexpr int kUseLeft = 11550;
constexpr int kUseWidth = 900;
constexpr int kWidth = 12600;
constexpr int kPreviewTop = kFirstRowTop + SchemeCheck::kPairCount * kRowHeight + 420;
constexpr int kPreviewWidth = 2985;
constexpr int kPreviewHeight = 1650;
constexpr int kNotesTop = kPreviewTop + kPreviewHeight + 360;
constexpr int kHeight = kNotesTop + 1350;

constexpr Deficiency kDeficiencies[] = {Deficiency::Protanopia, Deficiency::Deuteranopia,
                                        Deficiency::Tritanopia, Deficiency::Achromatopsia};

const char* const kHeaders[] = {"AA", "AA large", "AAA", "AAA large"};

QString markText(const SchemeCheck::Pair& pair, int column)
{
    if (!pair.ratio)
        return QStringLiteral("? unknown");
    if (column >= pair.markCount)
        return QStringLiteral("—");
    const SchemeCheck::Mark& mark = pair.marks[std::size_t(column)];
    const QString word = mark.pass ? QStringLiteral("✔ pass") : QStringLiteral("✘ fail");
    // The one mark of a link against the text is its own kind of pass.
    return pair.markCount == 1 ? word + QStringLiteral(" 3:1") : word;
}

QString capitalised(QString text)
{
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

} // namespace

// A dialog's type makes it transient for the main window: window managers
// keep it above the main window, and so above the frozen screen too.
ContrastWindow::ContrastWindow(QWidget* owner) : QWidget(owner, Qt::Dialog)
{
    setObjectName(QStringLiteral("frmcontrast"));
    setWindowTitle(QString::fromLatin1(kTitle));
    setFixedSize(Twips::size(kWidth, kHeight));
    for (int i = 0; i < SchemeCheck::kPairCount; ++i) {
        auto* use = new QPushButton(QStringLiteral("Use"), this);
        use->setObjectName(QStringLiteral("cmduse%1").arg(i));
        use->setToolTip(QStringLiteral("Give this passing colour to the page"));
        use->setGeometry(
            Twips::rect(kUseLeft, kFirstRowTop + i * kRowHeight + 30, kUseWidth, kRowHeight - 60));
        use->setEnabled(false);
        connect(use, &QPushButton::clicked, this, [this, i] {
            if (const std::optional<ColorValue> c = proposal(i))
                Q_EMIT proposalChosen(m_check.pairs()[std::size_t(i)].element, *c);
        });
        m_use[std::size_t(i)] = use;
    }
}

void ContrastWindow::setScheme(const SchemeCheck::Scheme& scheme)
{
    if (scheme == m_check.scheme() && m_lazyValid)
        return;
    m_check.evaluate(scheme);
    m_lazyValid = false;
    update();
}

void ContrastWindow::workOutLazyParts() const
{
    if (m_lazyValid)
        return;
    m_lazyValid = true;
    for (int i = 0; i < SchemeCheck::kPairCount; ++i) {
        m_proposals[std::size_t(i)] = m_check.proposal(i);
        m_use[std::size_t(i)]->setEnabled(m_proposals[std::size_t(i)].has_value());
    }
    m_flags = m_check.visionFlags();
}

std::optional<ColorValue> ContrastWindow::proposal(int pair) const
{
    workOutLazyParts();
    return m_proposals.at(std::size_t(pair));
}

QStringList ContrastWindow::lines() const
{
    workOutLazyParts();
    QStringList lines;
    for (int i = 0; i < SchemeCheck::kPairCount; ++i) {
        const SchemeCheck::Pair& pair = m_check.pairs()[std::size_t(i)];
        QString line = SchemeCheck::pairTitle(pair) + QStringLiteral(": ") +
                       (pair.ratio ? ratioText(*pair.ratio) + QStringLiteral(":1")
                                   : QStringLiteral("unknown"));
        for (int c = 0; c < SchemeCheck::kMaxMarks; ++c)
            line += QStringLiteral("; %1 %2").arg(QLatin1String(kHeaders[c]), markText(pair, c));
        if (const std::optional<ColorValue> p = m_proposals[std::size_t(i)])
            line += QStringLiteral("; passing: %1 %2:1")
                        .arg(ColorToHtml(*p), ratioText(contrastRatio(*p, *pair.otherColor)));
        lines << line;
    }
    for (const SchemeCheck::VisionFlag& flag : m_flags)
        lines << capitalised(SchemeCheck::flagLine(flag));
    return lines;
}

void ContrastWindow::paintEvent(QPaintEvent*)
{
    workOutLazyParts();
    QPainter painter(this);
    const QPalette& pal = palette();
    painter.fillRect(rect(), pal.color(QPalette::Window));
    painter.setPen(pal.color(QPalette::WindowText));
    const auto text = [&](int left, int top, int width, const QString& s,
                          int flags = Qt::AlignLeft | Qt::AlignVCenter) {
        painter.drawText(Twips::rect(left, top, width, kRowHeight), flags, s);
    };
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    text(kMargin, kHeaderTop, kRatioLeft - kMargin, QStringLiteral("Pair"));
    text(kRatioLeft, kHeaderTop, kMarksLeft - kRatioLeft, QStringLiteral("Ratio"));
    for (int c = 0; c < SchemeCheck::kMaxMarks; ++c)
        text(kMarksLeft + c * kMarkWidth, kHeaderTop, kMarkWidth, QLatin1String(kHeaders[c]));
    text(kProposalLeft, kHeaderTop, kUseLeft - kProposalLeft, QStringLiteral("Passing colour"));
    painter.setFont(font());

    const auto swatch = [&](int left, int top, std::optional<ColorValue> c) {
        const QRect r = Twips::rect(left, top + (kRowHeight - kSwatch) / 2, kSwatch, kSwatch);
        if (c)
            painter.fillRect(r, toQColor(*c));
        else
            painter.drawText(r, Qt::AlignCenter, QStringLiteral("?"));
        painter.drawRect(r.adjusted(0, 0, -1, -1));
    };
    for (int i = 0; i < SchemeCheck::kPairCount; ++i) {
        const SchemeCheck::Pair& pair = m_check.pairs()[std::size_t(i)];
        const int top = kFirstRowTop + i * kRowHeight;
        swatch(kMargin, top, pair.color);
        swatch(kMargin + kSwatch + 60, top, pair.otherColor);
        text(kTitleLeft, top, kRatioLeft - kTitleLeft, SchemeCheck::pairTitle(pair));
        text(kRatioLeft, top, kMarksLeft - kRatioLeft,
             pair.ratio ? ratioText(*pair.ratio) + QStringLiteral(":1")
                        : QStringLiteral("unknown"));
        for (int c = 0; c < SchemeCheck::kMaxMarks; ++c)
            text(kMarksLeft + c * kMarkWidth, top, kMarkWidth, markText(pair, c));
        if (const std::optional<ColorValue> p = m_proposals[std::size_t(i)]) {
            swatch(kProposalLeft, top, p);
            text(kProposalLeft + kSwatch + 90, top, kUseLeft - kProposalLeft - kSwatch - 90,
                 ColorToHtml(*p) + QStringLiteral("  ") +
                     ratioText(contrastRatio(*p, *pair.otherColor)) + QStringLiteral(":1"));
        }
    }

    painter.setFont(bold);
    text(kMargin, kPreviewTop - kRowHeight - 30, kWidth,
         QStringLiteral("The page as seen with a colour-vision deficiency"));
    painter.setFont(font());
    for (int d = 0; d < 4; ++d) {
        const QRect area = Twips::rect(kMargin + d * (kPreviewWidth + 120), kPreviewTop,
                                       kPreviewWidth, kPreviewHeight);
        paintPreview(painter, area, kDeficiencies[d]);
        painter.drawText(
            area.translated(0, area.height() + 2).adjusted(0, 0, 0, -area.height() + 20),
            Qt::AlignHCenter | Qt::AlignTop, capitalised(deficiencyName(kDeficiencies[d])));
    }
    // A line a deficiency, every pair it blurs on it.
    const QString threshold = QString::number(SchemeCheck::kHardToTell, 'f', 2);
    QStringList notes;
    for (Deficiency d : kDeficiencies) {
        QStringList blurred;
        for (const SchemeCheck::VisionFlag& flag : m_flags)
            if (flag.deficiency == d)
                blurred << QStringLiteral("%1 ≈ %2 (ΔE %3)")
                               .arg(SchemeCheck::elementName(flag.link),
                                    SchemeCheck::elementName(flag.from),
                                    QString::number(flag.deltaE, 'f', 3));
        if (!blurred.isEmpty())
            notes << QStringLiteral("⚠ ") + capitalised(deficiencyName(d)) + QStringLiteral(": ") +
                         blurred.join(QStringLiteral(", "));
    }
    if (notes.isEmpty())
        notes << QStringLiteral("No link becomes hard to tell from the text or from another link "
                                "under these four (ΔE in OKLab %1 or more).")
                     .arg(threshold);
    else
        notes << QStringLiteral("Hard to tell apart: ΔE in OKLab under %1, where the colours "
                                "differed before.")
                     .arg(threshold);
    painter.drawText(Twips::rect(kMargin, kNotesTop, kWidth - 2 * kMargin, kHeight - kNotesTop),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                     notes.join(QLatin1Char('\n')));
}

// The sample page's lines in the simulated colours, on its simulated
// background.
void ContrastWindow::paintPreview(QPainter& painter, QRect area, Deficiency deficiency) const
{
    const SchemeCheck::Scheme& s = m_check.scheme();
    const auto seen = [&](E e) -> QColor {
        return s[e] ? toQColor(simulate(*s[e], deficiency)) : palette().color(QPalette::Mid);
    };
    painter.fillRect(area, seen(E::Background));
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    const std::pair<E, const char*> lines[] = {{E::Text, "Body text"},
                                               {E::NormalLink, "Normal link"},
                                               {E::VisitedLink, "Visited link"},
                                               {E::ActiveLink, "Active link"},
                                               {E::HoverLink, "Hover link"}};
    QFont linkFont = font();
    int top = area.top() + 4;
    const int line = (area.height() - 8) / 5;
    for (const auto& [element, caption] : lines) {
        linkFont.setUnderline(element != E::Text);
        linkFont.setBold(element == E::Text);
        painter.setFont(linkFont);
        painter.setPen(seen(element));
        painter.drawText(QRect(area.left() + 8, top, area.width() - 16, line),
                         Qt::AlignLeft | Qt::AlignVCenter, QLatin1String(caption));
        top += line;
    }
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
}

} // namespace tintaro
