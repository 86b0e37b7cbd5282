#include "core/spreadsheet/spreadsheet.h"

#include "core/error.h"
#include "core/prompts.h"
#include "core/resourcestrings.h"
#include "core/spreadsheet/spreadsheetcells.h"
#include "core/text/textutils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <xlsxwriter.h>

namespace velmora::core {

namespace {
int& Version() {
    static int version = kSpreadsheetLibraryVersion;
    return version;
}
} // namespace

int DetectExcel() {
    Version() = kSpreadsheetLibraryVersion;
    return Version();
}

int ExcelVersion() {
    return Version();
}

void SetExcelVersion(int version) {
    Version() = version;
}

QString SpreadsheetExtension() {
    return ExcelVersion() >= 12 ? QStringLiteral(".xlsx") : QStringLiteral(".xls");
}

QString ColumnLetters(int row, int column) {
    if (row < 1 || column < 1)
        throw std::out_of_range("ColumnLetters: row and column count from 1");
    QString letters;
    for (int n = column; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    return letters + QString::number(row);
}

namespace {

// Whole numbers that a spreadsheet number holds exactly and shows the same way: no leading
// zeros (an identifier like "007" stays text), no "-0", at most 15 digits.
bool IsPlainWholeNumber(const QString& text) {
    if (!IsInteger(text))
        return false;
    const QStringView digits = QStringView(text).mid(text.startsWith(QLatin1Char('-')) ? 1 : 0);
    if (digits.size() > 15)
        return false;
    if (digits.size() > 1 && digits[0] == QLatin1Char('0'))
        return false;
    return !(text.startsWith(QLatin1Char('-')) && digits == QLatin1String("0"));
}

QString SheetName(const QString& wanted) {
    QString name = wanted;
    for (QChar& c : name) {
        if (QStringLiteral("[]:*?/\\").contains(c) || c.category() == QChar::Other_Control)
            c = QLatin1Char('_');
    }
    name = name.left(31);
    if (!name.isEmpty() && name.back().isHighSurrogate())
        name.chop(1);
    // A sheet name may not begin or end with an apostrophe.
    while (name.startsWith(QLatin1Char('\'')))
        name.remove(0, 1);
    while (name.endsWith(QLatin1Char('\'')))
        name.chop(1);
    return name;
}

// The file format writes characters XML cannot hold as _xHHHH_; a text that itself looks like
// such an escape gets its underscore escaped (_x005F_), so readers give back the text.
QString EscapeLikeEscapes(const QString& text) {
    static const QRegularExpression escape(QStringLiteral("_(?=x[0-9A-Fa-f]{4}_)"));
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString out = text;
    out.replace(escape, QStringLiteral("_x005F_"));
    return out;
}

QString LibraryReason(lxw_error error) {
    return QString::fromUtf8(lxw_strerror(error));
}

} // namespace

void WriteXlsxFile(const Grid& grid, const QString& sheetName, const QString& path) {
    if (grid.RowCount() > spreadsheet::kMaxSheetRows ||
        grid.ColCount() > spreadsheet::kMaxSheetCols)
        throw Error(LibraryReason(LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE), path);

    // The workbook is written beside the target and renamed over it once complete.
    QTemporaryFile temporary(QFileInfo(path).absoluteDir().filePath(QStringLiteral("XXXXXX.tmp")));
    if (!temporary.open())
        throw Error(temporary.errorString(), path);
    const QString temporaryPath = temporary.fileName();
    temporary.close();

    lxw_workbook* workbook = workbook_new(QFile::encodeName(temporaryPath).constData());
    if (!workbook)
        throw Error(LibraryReason(LXW_ERROR_MEMORY_MALLOC_FAILED), path);
    lxw_error error = LXW_NO_ERROR;
    const QByteArray name = SheetName(sheetName).toUtf8();
    lxw_worksheet* sheet =
        workbook_add_worksheet(workbook, name.isEmpty() ? nullptr : name.constData());
    if (!sheet)
        error = LXW_ERROR_PARAMETER_VALIDATION;
    for (int row = 0; sheet && row < grid.RowCount() && error == LXW_NO_ERROR; ++row) {
        const QStringList& cells = grid.Row(row);
        for (int col = 0; col < grid.ColCount() && error == LXW_NO_ERROR; ++col) {
            const QString& text = cells[col];
            if (text.isEmpty())
                continue;
            if (IsPlainWholeNumber(text))
                error = worksheet_write_number(sheet, lxw_row_t(row), lxw_col_t(col),
                                               text.toDouble(), nullptr);
            else
                error =
                    worksheet_write_string(sheet, lxw_row_t(row), lxw_col_t(col),
                                           EscapeLikeEscapes(text).toUtf8().constData(), nullptr);
        }
    }
    // Closing writes the file; it also frees the workbook after an earlier error.
    const lxw_error closed = workbook_close(workbook);
    if (error == LXW_NO_ERROR)
        error = closed;
    if (error != LXW_NO_ERROR) {
        QFile::remove(temporaryPath);
        throw Error(LibraryReason(error), path);
    }
    if (std::rename(QFile::encodeName(temporaryPath).constData(),
                    QFile::encodeName(path).constData()) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(temporaryPath);
        throw Error(reason, path);
    }
}

bool ExcelWriteGrid(const Grid& grid, const QString& sheetName,
                    const QString& pathWithoutExtension) {
    try {
        WriteXlsxFile(grid, sheetName, pathWithoutExtension + SpreadsheetExtension());
        return true;
    } catch (const Error& e) {
        UserPrompts().Message(ResStr(rsExcelNotCreated) + QLatin1Char('\n') + e.Message(),
                              MessageKind::Error);
        return false;
    }
}

Grid ReadSpreadsheetFile(const QString& path, const SpreadsheetLimits& limits) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(file.errorString(), path);
    const QByteArray head = file.read(8);
    if (head.startsWith("PK"))
        return spreadsheet::ReadXlsxPackage(path, limits);
    if (head.startsWith("\xD0\xCF\x11\xE0"))
        return spreadsheet::ReadXlsWorkbook(path, limits);
    if (head.startsWith(QByteArray("\x09\x08\x08\x00", 4))) {
        if (file.size() > limits.maxUnpackedBytes)
            throw Error(ResStr(rsSheetTooLarge).arg(limits.maxUnpackedBytes), path);
        return spreadsheet::ReadMinimalXls(head + file.readAll(), path, limits);
    }
    if (QFileInfo(path).suffix().compare(QLatin1String("xls"), Qt::CaseInsensitive) == 0)
        throw Error(ResStr(rsXlsUnreadable).arg(QStringLiteral("not an Excel workbook")), path);
    throw Error(ResStr(rsSheetNotAPackage), path);
}

bool ExcelReadGrid(Grid& grid, const QString& path, const SpreadsheetLimits& limits) {
    try {
        const Grid read = ReadSpreadsheetFile(path, limits);
        // Only the cells change: the grid keeps its font and column widths.
        grid.Reset(read.ColCount(), read.RowCount());
        for (int row = 0; row < read.RowCount(); ++row)
            grid.SetRow(row, read.Row(row));
        return true;
    } catch (const Error& e) {
        UserPrompts().Message(ResStr(rsExcelNotOpened) + QLatin1Char('\n') + e.Message(),
                              MessageKind::Error);
        return false;
    } catch (const std::bad_alloc&) {
        UserPrompts().Message(ResStr(rsExcelNotOpened), MessageKind::Error);
        return false;
    }
}

} // namespace velmora::core
