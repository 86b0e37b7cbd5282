#include "maps/maptexts.h"

#include "maps/mapcalibration.h"
#include "maps/symbolpainter.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace velmora::maps {

namespace {

// Draws a text with its top-left corner at the point, in black, without background.
void DrawText(QImage& image, QPoint topLeft, const QString& text, const QFont& font) {
    if (text.isEmpty())
        return;
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(topLeft.x(), topLeft.y() + QFontMetrics(font).ascent(), text);
}

int Round(double value) {
    return int(RoundHalfEven(value));
}

} // namespace

LegendParts SplitRankWord(const QString& text) {
    static const QString words[] = {QStringLiteral("#"), QStringLiteral("var."),
                                    QStringLiteral("cf."), QStringLiteral("sensu lato"),
                                    QStringLiteral("forma")};
    for (const QString& word : words) {
        const qsizetype at = text.indexOf(word);
        if (at >= 0)
            return {text.left(at), word, text.mid(at + word.size())};
    }
    return {text, {}, {}};
}

void MapTexts::SetCorner(Corner corner) {
    m_corner = corner;
    m_y = kFirstTextLine;
}

void MapTexts::KeepUndo(const QImage& working) {
    if (m_undoAvailable)
        return;
    m_undo = working.copy();
    m_undoAvailable = true;
}

bool MapTexts::Undo(QImage& working) {
    if (!m_undoAvailable)
        return false;
    working = m_undo;
    m_undo = QImage();
    m_undoAvailable = false;
    m_y = kFirstTextLine;
    return true;
}

void MapTexts::PlaceFrequencyLines(QImage& working, const QString& line1, const QString& line2,
                                   const QFont& font) {
    if (working.isNull())
        return;
    KeepUndo(working);
    const QFontMetrics metrics(font);
    const int h = metrics.height(); // the height of a line of text in the font
    const int w = std::max(metrics.horizontalAdvance(line1 + QStringLiteral("  ")),
                           metrics.horizontalAdvance(line2 + QStringLiteral("  ")));
    const int width = working.width();
    const int height = working.height();
    const bool left = m_corner == Corner::TopLeft || m_corner == Corner::BottomLeft;
    const int x = left ? kTextMargin : width - w;
    if (m_corner == Corner::TopLeft || m_corner == Corner::TopRight) {
        if (!line1.isEmpty()) {
            DrawText(working, {x, m_y}, line1, font);
            m_y += h;
        }
        DrawText(working, {x, m_y}, line2, font);
    } else {
        m_y += h;
        if (!line1.isEmpty()) {
            DrawText(working, {x, height - m_y}, line1, font);
            m_y += h;
        }
        DrawText(working, {x, height - m_y}, line2, font);
    }
    m_y += h;
}

void MapTexts::PlaceLegend(QImage& working, const std::array<LegendRow, kLegendRows>& rows,
                           const QFont& font) {
    if (working.isNull())
        return;
    KeepUndo(working);
    QFont upright = font;
    upright.setItalic(false);
    QFont italic = font;
    italic.setItalic(true);
    const QFontMetrics uprightMetrics(upright);
    const QFontMetrics italicMetrics(italic);
    int w = 0;
    for (const LegendRow& row : rows)
        w = std::max(w, uprightMetrics.horizontalAdvance(row.text + QStringLiteral("  ")));
    const int h = uprightMetrics.height();
    const int s = std::max(font.pointSize(), 1);
    const int width = working.width();
    const int height = working.height();
    m_y += Round(h * 0.33);
    for (const LegendRow& row : rows) {
        if (row.text.trimmed().isEmpty())
            continue;
        const QString text = row.text + QStringLiteral("  ");
        const bool left = m_corner == Corner::TopLeft || m_corner == Corner::BottomLeft;
        const bool top = m_corner == Corner::TopLeft || m_corner == Corner::TopRight;
        const int x = left ? kTextMargin + h : width - w;
        const int y = top ? m_y : height - m_y;
        // The symbol left of the text, its centre on the middle of the line.
        {
            SymbolPainter symbols(working);
            symbols.DrawSymbol({x - (s + 2), y + h / 2}, row.style.shape, s, row.style.lineWidth,
                               row.style.color);
        }
        const LegendParts parts = SplitRankWord(text);
        DrawText(working, {x, y}, parts.before, italic);
        DrawText(working, {x + uprightMetrics.horizontalAdvance(parts.before), y}, parts.word,
                 upright);
        DrawText(working,
                 {x + italicMetrics.horizontalAdvance(parts.before) +
                      italicMetrics.horizontalAdvance(parts.word),
                  y},
                 parts.after, italic);
        m_y += Round(h * 0.8);
    }
}

} // namespace velmora::maps
