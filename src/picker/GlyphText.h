#pragma once

#include <QGlyphRun>
#include <QRawFont>
#include <QString>

#include <array>
#include <optional>

class QFont;

namespace tintaro {

// Short texts of digits, hexadecimal letters, '#' and ',' (colour values and
// positions) laid out without shaping: each character's glyph and advance
// are looked up once, so drawing a new text costs a few microseconds where
// a full layout costs several times that, on every pointer movement.
class GlyphText
{
public:
    explicit GlyphText(const QFont& font);

    // The text as glyphs from x = 0 on the baseline; nothing when a
    // character is not one of those above, for the caller to lay it out.
    std::optional<QGlyphRun> run(const QString& text) const;
    qreal width(const QGlyphRun& run) const;
    qreal ascent() const { return m_font.ascent(); }
    qreal descent() const { return m_font.descent(); }

private:
    static constexpr char kCharacters[] = "0123456789ABCDEFabcdef#,";

    QRawFont m_font;
    std::array<quint32, sizeof kCharacters - 1> m_glyphs{};
    std::array<qreal, sizeof kCharacters - 1> m_advances{};
    bool m_usable = false;
};

} // namespace tintaro
