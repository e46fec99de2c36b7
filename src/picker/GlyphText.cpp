#include "GlyphText.h"

#include <cstring>

namespace tintaro {

GlyphText::GlyphText(const QFont& font) : m_font(QRawFont::fromFont(font))
{
    if (!m_font.isValid())
        return;
    const QList<quint32> glyphs = m_font.glyphIndexesForString(QString::fromLatin1(kCharacters));
    if (glyphs.size() != qsizetype(m_glyphs.size()))
        return;
    const QList<QPointF> advances = m_font.advancesForGlyphIndexes(glyphs);
    for (std::size_t i = 0; i < m_glyphs.size(); ++i) {
        if (glyphs[qsizetype(i)] == 0)
            return; // the font lacks one: every text goes the usual way
        m_glyphs[i] = glyphs[qsizetype(i)];
        m_advances[i] = advances[qsizetype(i)].x();
    }
    m_usable = true;
}

std::optional<QGlyphRun> GlyphText::run(const QString& text) const
{
    if (!m_usable)
        return std::nullopt;
    QList<quint32> glyphs;
    QList<QPointF> positions;
    glyphs.reserve(text.size());
    positions.reserve(text.size());
    qreal x = 0;
    for (const QChar c : text) {
        const char* at = c.unicode() < 128 && c.unicode() != 0
                             ? std::strchr(kCharacters, char(c.unicode()))
                             : nullptr;
        if (!at)
            return std::nullopt;
        const std::size_t i = std::size_t(at - kCharacters);
        glyphs.append(m_glyphs[i]);
        positions.append(QPointF(x, 0));
        x += m_advances[i];
    }
    QGlyphRun run;
    run.setRawFont(m_font);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    return run;
}

qreal GlyphText::width(const QGlyphRun& run) const
{
    const QList<quint32> glyphs = run.glyphIndexes();
    if (glyphs.isEmpty())
        return 0;
    return run.positions().constLast().x() +
           m_font.advancesForGlyphIndexes(QList<quint32>{glyphs.constLast()}).constFirst().x();
}

} // namespace tintaro
