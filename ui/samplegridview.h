#pragma once
// The sample grid of the main window: one row per sample of the current event, sorted by
// name (the rows come from recording::LocationSampleEditor::SampleRows), with the physical
// record number in a hidden first column and the row number, black for the remembered row,
// in the second. Moving to a row makes that sample the current record of the Samples table.

#include "core/grid/grid.h"

#include <QTableWidget>

namespace velmora::core {
class Dataset;
}

namespace velmora::ui {

class SampleGridView : public QTableWidget {
    Q_OBJECT
public:
    SampleGridView(core::Dataset& samples, QWidget* parent);

    const core::Grid& Data() const { return m_data; }
    int RememberedRow() const { return m_rememberedRow; }
    void SetRememberedRow(int row) { m_rememberedRow = row; }

    // The header only: no sample shown.
    void Reset();
    // Shows rows (row 0 the header); the remembered row becomes the one of record noted.
    void Show(core::Grid rows, int noted);
    // Makes the sample of a grid row (1-based) the current record and marks its number.
    void SampleGridSelectCell(int row);
    // Puts the cell cursor on the name of the remembered row, without selecting again.
    void MakeRememberedCurrent(bool scroll);

private:
    void Fill();
    void PaintRowNumbers();

    core::Dataset& m_samples;
    core::Grid m_data;
    int m_rememberedRow = 1;
    bool m_filling = false;
};

} // namespace velmora::ui
