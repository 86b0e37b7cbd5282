#include "ui/samplegridview.h"

#include "core/dataset.h"
#include "core/error.h"
#include "core/prompts.h"
#include "recording/locationsampleeditor.h"

#include <QApplication>
#include <QHeaderView>
#include <algorithm>

namespace velmora::ui {

SampleGridView::SampleGridView(core::Dataset& samples, QWidget* parent)
    : QTableWidget(parent), m_samples(samples) {
    setObjectName(QStringLiteral("SampleGrid"));
    setColumnCount(recording::kSampleGridColumns);
    setHorizontalHeaderLabels(recording::SampleGridHeader());
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(18);
    verticalHeader()->setMinimumSectionSize(18);
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setHighlightSections(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setMinimumHeight(120);
    static constexpr int widths[recording::kSampleGridColumns] = {0,  18, 240, 38,  38,
                                                                  38, 38, 38,  162, 142};
    for (int c = 0; c < recording::kSampleGridColumns; ++c)
        setColumnWidth(c, widths[c]);
    // Room for three-digit row numbers in the interface font.
    setColumnWidth(
        1, std::max(widths[1], fontMetrics().horizontalAdvance(QStringLiteral("999")) + 10));
    // The short code columns fit their captions in any language; the name column takes the
    // room of a wider window.
    for (int c = 3; c <= 7; ++c)
        horizontalHeader()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    setColumnHidden(0, true);
    connect(this, &QTableWidget::currentCellChanged, this, [this](int row, int, int, int) {
        if (!m_filling && row >= 0)
            SampleGridSelectCell(row + 1);
    });
    Reset();
}

void SampleGridView::Reset() {
    m_filling = true;
    m_data = core::Grid(recording::kSampleGridColumns, 2);
    m_data.SetRow(0, recording::SampleGridHeader());
    clearContents();
    setRowCount(1);
    m_filling = false;
}

void SampleGridView::Show(core::Grid rows, int noted) {
    m_data = std::move(rows);
    if (!m_data.Cell(0, 1).isEmpty()) {
        m_rememberedRow = 1;
        for (int r = 1; r < m_data.RowCount(); ++r)
            if (m_data.Cell(0, r).toInt() == noted)
                m_rememberedRow = r;
    }
    Fill();
}

void SampleGridView::Fill() {
    m_filling = true;
    const int rows = m_data.RowCount() - 1;
    clearContents();
    setRowCount(std::max(rows, 1));
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    for (int r = 1; r <= rows; ++r) {
        for (int c = 0; c < recording::kSampleGridColumns; ++c) {
            auto* item = new QTableWidgetItem(m_data.Cell(c, r));
            if (c <= 1)
                item->setBackground(buttonFace);
            if (c == 1)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            else if (c >= 2)
                item->setToolTip(m_data.Cell(c, r)); // the whole text of a cut cell
            setItem(r - 1, c, item);
        }
    }
    PaintRowNumbers();
    m_filling = false;
}

void SampleGridView::PaintRowNumbers() {
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    const QColor text = QApplication::palette().color(QPalette::Text);
    for (int r = 0; r < rowCount(); ++r) {
        QTableWidgetItem* cell = item(r, 1);
        if (!cell)
            continue;
        const bool current = r + 1 == m_rememberedRow;
        cell->setBackground(current ? QColor(Qt::black) : buttonFace);
        cell->setForeground(current ? QColor(Qt::white) : text);
    }
}

void SampleGridView::SampleGridSelectCell(int row) {
    if (row < 1 || row >= m_data.RowCount() || m_data.Cell(0, row).isEmpty())
        return;
    if (m_samples.State() != core::DatasetState::Browse)
        return;
    try {
        m_samples.SetRecNo(m_data.Cell(0, row).toInt());
        m_samples.SetIndexName(QStringLiteral("ID"));
    } catch (const core::Error& e) {
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
        return;
    }
    for (int r = 1; r < m_data.RowCount(); ++r) {
        m_data.SetCell(1, r, QString::number(r));
        if (QTableWidgetItem* cell = item(r - 1, 1))
            cell->setText(QString::number(r));
    }
    m_rememberedRow = row;
    PaintRowNumbers();
}

void SampleGridView::MakeRememberedCurrent(bool scroll) {
    m_filling = true;
    setCurrentCell(std::max(m_rememberedRow - 1, 0), 2);
    if (scroll)
        scrollToItem(item(m_rememberedRow - 1, 2));
    m_filling = false;
}

} // namespace velmora::ui
