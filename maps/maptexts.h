#pragma once
// Texts written onto the working image of the dot map: the two frequency lines and the
// legend of the drawn layers (symbol and name), placed in one of the four corners, in black,
// in the chosen font and size, with a transparent background. Successive placements in one
// corner stack (downward in the upper corners, upward in the lower ones). The map as it was
// before the first text is kept, so that all placed text can be taken off again.

#include "maps/dotstyles.h"

#include <QFont>
#include <QImage>
#include <QString>
#include <array>

namespace velmora::maps {

// The corner buttons: "Links boven", "Links onder", "Rechts boven", "Rechts onder".
enum class Corner { TopLeft, BottomLeft, TopRight, BottomRight };

inline constexpr int kLegendRows = 6;
// The left margin of texts in the left corners, and the first line position.
inline constexpr int kTextMargin = 4;
inline constexpr int kFirstTextLine = 8;

// A legend text split at the first rank word ("#", "var.", "cf.", "sensu lato", "forma",
// tested in this order): before (italic), the word (upright), after (italic). Without a rank
// word the whole text is before.
struct LegendParts {
    QString before;
    QString word;
    QString after;
};
LegendParts SplitRankWord(const QString& text);

// One legend row: its text and the style its symbol is drawn in (the slot's shape, colour and
// line width; the symbol's size is the font size).
struct LegendRow {
    QString text;
    ResolvedStyle style;
};

class MapTexts {
public:
    Corner CurrentCorner() const { return m_corner; }
    // Another corner: the next text starts at the first line again.
    void SetCorner(Corner corner);
    // A new map, or the texts taken off: the first line again.
    void ResetLine() { m_y = kFirstTextLine; }
    int LineY() const { return m_y; }

    // The map before the first text since the last new taxon run (or "Verwijder tekst") is
    // kept; a new taxon run starts a new undo.
    void ForgetUndo() { m_undoAvailable = false; }
    bool UndoAvailable() const { return m_undoAvailable; }
    // "Verwijder tekst": the working image as it was before the texts; false when there is
    // nothing to take off.
    bool Undo(QImage& working);

    // "Plaats Freq. en Klasse": the two lines (the first may be empty), one line height of
    // the font apart.
    void PlaceFrequencyLines(QImage& working, const QString& line1, const QString& line2,
                             const QFont& font);
    // "Plaats Legenda": the rows whose text is not blank, each with its symbol.
    void PlaceLegend(QImage& working, const std::array<LegendRow, kLegendRows>& rows,
                     const QFont& font);

private:
    void KeepUndo(const QImage& working);

    Corner m_corner = Corner::TopRight;
    int m_y = kFirstTextLine;
    bool m_undoAvailable = false;
    QImage m_undo;
};

} // namespace velmora::maps
