// Reading the first worksheet of a legacy .xls workbook with FreeXL. The worksheet's declared
// size is checked against the cell limit with a light first open that loads no cells, since
// a full open allocates the whole declared rectangle at once.

#include "core/error.h"
#include "core/resourcestrings.h"
#include "core/spreadsheetcells.h"

#include <QFile>
#include <QFileInfo>
#include <freexl.h>

namespace velmora::core::spreadsheet {

namespace {

QString FreeXlReason(int code) {
    switch (code) {
    case FREEXL_FILE_NOT_FOUND:
        return QStringLiteral("file not found");
    case FREEXL_INSUFFICIENT_MEMORY:
        return QStringLiteral("not enough memory");
    case FREEXL_INVALID_CFBF_HEADER:
    case FREEXL_CFBF_INVALID_SIGNATURE:
        return QStringLiteral("not an Excel workbook");
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
        return QStringLiteral("no workbook in the file");
    case FREEXL_BIFF_ILLEGAL_SHEET_INDEX:
        return QStringLiteral("no worksheet in the workbook");
    default:
        return QStringLiteral("damaged workbook (FreeXL error %1)").arg(code);
    }
}

class Workbook {
public:
    Workbook(const QString& path, bool cells) : m_path(path) {
        const QByteArray name = QFile::encodeName(path);
        const int rc = cells ? freexl_open(name.constData(), &m_handle)
                             : freexl_open_info(name.constData(), &m_handle);
        if (rc != FREEXL_OK) {
            // FreeXL may hand out a half-built handle on failure.
            if (m_handle)
                freexl_close(m_handle);
            m_handle = nullptr;
            Fail(rc);
        }
    }
    ~Workbook() {
        if (m_handle)
            freexl_close(m_handle);
    }
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    const void* Handle() const { return m_handle; }

    // Selects the first worksheet and returns its declared rows and columns.
    std::pair<unsigned, unsigned> FirstSheet() {
        unsigned int sheets = 0;
        if (freexl_get_info(m_handle, FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK || sheets == 0)
            throw Error(ResStr(rsSheetMissing), m_path);
        Check(freexl_select_active_worksheet(m_handle, 0));
        unsigned int rows = 0;
        unsigned short columns = 0;
        Check(freexl_worksheet_dimensions(m_handle, &rows, &columns));
        return {rows, columns};
    }

    void Check(int rc) const {
        if (rc != FREEXL_OK)
            Fail(rc);
    }

private:
    [[noreturn]] void Fail(int rc) const {
        throw Error(ResStr(rsXlsUnreadable).arg(FreeXlReason(rc)), m_path);
    }

    QString m_path;
    const void* m_handle = nullptr;
};

} // namespace

Grid ReadXlsWorkbook(const QString& path, const SpreadsheetLimits& limits) {
    if (QFileInfo(path).size() > limits.maxUnpackedBytes)
        throw Error(ResStr(rsSheetTooLarge).arg(limits.maxUnpackedBytes), path);
    auto tooMany = [&](unsigned rows, unsigned columns) {
        return (qint64(rows) + 1) * (qint64(columns) + 1) > limits.maxCells;
    };
    {
        Workbook info(path, false);
        auto [rows, columns] = info.FirstSheet();
        if (tooMany(rows, columns))
            throw Error(ResStr(rsSheetTooManyCells).arg(limits.maxCells), path);
    }
    Workbook workbook(path, true);
    auto [rows, columns] = workbook.FirstSheet();
    if (tooMany(rows, columns))
        throw Error(ResStr(rsSheetTooManyCells).arg(limits.maxCells), path);

    SheetCells cells(limits, path);
    for (unsigned row = 0; row < rows; ++row) {
        for (unsigned short col = 0; col < columns; ++col) {
            FreeXL_CellValue value;
            workbook.Check(freexl_get_cell_value(workbook.Handle(), row, col, &value));
            QString text;
            switch (value.type) {
            case FREEXL_CELL_NULL:
                continue;
            case FREEXL_CELL_INT:
                text = QString::number(value.value.int_value);
                break;
            case FREEXL_CELL_DOUBLE:
                text = NumberText(value.value.double_value);
                break;
            default: // texts, and dates and times already written as ISO text
                text = QString::fromUtf8(value.value.text_value);
                break;
            }
            cells.Add(int(row) + 1, int(col) + 1, std::move(text));
        }
    }
    return cells.ToGrid();
}

} // namespace velmora::core::spreadsheet
