#include "recording/taxalistimport.h"

#include "core/dataset.h"
#include "core/dbf/codepage.h"
#include "core/error.h"
#include "core/folders.h"
#include "core/shippedfiles.h"
#include "core/text/textfile.h"
#include "ecology/naturevaluetally.h"
#include "ecology/taxalistfile.h"
#include "ecology/taxonnames.h"
#include "recording/messages.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace velmora::recording {

namespace {

using ecology::TaxonRecord;

// Field positions in ecology::TaxaListFieldDefs() order.
enum ListField : int {
    kTaxonName,
    kCurName,
    kAuthor,
    kTrophic,
    kAcidity,
    kLifeForm,
    kR,
    kS,
    kRedList,
    kNegVar,
    kFieldCount
};

QString FieldName(int field) {
    return QString::fromStdString(ecology::TaxaListFieldDefs().at(field).name);
}

int FieldWidth(int field) {
    return ecology::TaxaListFieldDefs().at(field).length;
}

// ---- problems

class ProblemList {
public:
    void Add(int line, const QString& text) {
        if (static_cast<qsizetype>(m_problems.size()) < kMaxTaxaListProblems)
            m_problems.push_back({line, ResStr(rsTaxaListLine).arg(line).arg(text)});
        else
            ++m_leftOut;
    }
    bool Empty() const { return m_problems.empty(); }
    // The problems in line order (problems of one line in the order they were found).
    std::vector<TaxaListProblem> Take() {
        std::stable_sort(
            m_problems.begin(), m_problems.end(),
            [](const TaxaListProblem& a, const TaxaListProblem& b) { return a.line < b.line; });
        return std::move(m_problems);
    }
    qsizetype LeftOut() const { return m_leftOut; }

private:
    std::vector<TaxaListProblem> m_problems;
    qsizetype m_leftOut = 0;
};

// A value as a message quotes it: line breaks and other control characters as blanks, and
// cut short when long (a whole paragraph in a name cell would drown the message).
QString Shown(const QString& value) {
    constexpr qsizetype kShown = 60;
    QString shown = value.size() > kShown ? value.left(kShown) + QChar(0x2026) : value;
    for (QChar& c : shown)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char(' ');
    return shown;
}

// ---- the header

// The comparison form of a header: letter case, accents, blanks, "_" and "-" left out, so
// that "Negeer variëteit", "NEG_VAR" and "neg-var" are what they look like.
QString HeaderKey(const QString& header) {
    QString key;
    for (QChar c : header.normalized(QString::NormalizationForm_D)) {
        if (c.isMark() || c.isSpace() || c == QLatin1Char('_') || c == QLatin1Char('-'))
            continue;
        key += c;
    }
    return key.toCaseFolded();
}

// Header key -> field.
const QHash<QString, int>& HeaderFields() {
    static const QHash<QString, int> fields = [] {
        QHash<QString, int> map;
        const std::vector<QStringList>& words = TaxaListHeaderWords();
        for (int f = 0; f < kFieldCount; ++f)
            for (const QString& word : words[static_cast<std::size_t>(f)])
                map.insert(HeaderKey(word), f);
        return map;
    }();
    return fields;
}

// What a file's columns hold: per field its caption in messages (the header as the file
// writes it) and whether the file has a column for it.
struct Columns {
    std::array<QString, kFieldCount> caption;
    std::array<bool, kFieldCount> present{};

    static Columns AllFields() {
        Columns columns;
        for (int f = 0; f < kFieldCount; ++f) {
            columns.caption[static_cast<std::size_t>(f)] = FieldName(f);
            columns.present[static_cast<std::size_t>(f)] = true;
        }
        return columns;
    }
};

// ---- the values

bool IsControl(QChar c) {
    return c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() < 0xA0);
}

// True when the list table (Windows-1252) can hold the character as it is.
bool FitsWindows1252(QChar c) {
    if (c.unicode() < 0x80 || (c.unicode() >= 0xA0 && c.unicode() <= 0xFF))
        return true;
    if (c.isSurrogate())
        return false;
    // The table engine's own code page: the characters it stores as "?" are refused.
    return core::dbf::FromUtf8(QString(c).toStdString(), core::dbf::CodePage::Windows1252) != "?";
}

// The character of the value (a surrogate pair whole) that the table cannot hold; empty
// when there is none.
QString UnfitCharacter(const QString& value) {
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (FitsWindows1252(c))
            continue;
        if (c.isHighSurrogate() && i + 1 < value.size() && value[i + 1].isLowSurrogate())
            return value.mid(i, 2);
        return QString(c);
    }
    return {};
}

// An optional sign and digits, written plainly ("+007" is "7", "-0" is "0"); nothing when the
// text is not a whole number.
std::optional<QString> PlainWholeNumber(const QString& text) {
    qsizetype at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == QLatin1Char('+') || text[at] == QLatin1Char('-'))) {
        negative = text[at] == QLatin1Char('-');
        ++at;
    }
    if (at == text.size())
        return std::nullopt;
    for (qsizetype i = at; i < text.size(); ++i)
        if (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9'))
            return std::nullopt;
    while (at + 1 < text.size() && text[at] == QLatin1Char('0'))
        ++at;
    QString digits = text.mid(at);
    if (digits == QLatin1String("0"))
        negative = false;
    return negative ? QLatin1Char('-') + digits : digits;
}

// The word of the list that the value spells without regard to letter case.
std::optional<QString> ListWord(const QString& value, const QStringList& words) {
    for (const QString& word : words)
        if (value.compare(word, Qt::CaseInsensitive) == 0)
            return word;
    return std::nullopt;
}

// Trims every value of the record and writes it as the list stores it; every value that the
// list cannot take is a problem of the line.
void CheckValues(TaxonRecord& record, int line, const Columns& columns, ProblemList& problems) {
    static const QStringList negVarWords = {QStringLiteral("T"), QStringLiteral("F")};
    for (int f = 0; f < kFieldCount; ++f) {
        const QString& caption = columns.caption[static_cast<std::size_t>(f)];
        QString& value = record.Value(f);
        value = value.trimmed();
        if (value.isEmpty()) {
            // A missing column is a problem of the header, not of every line.
            if ((f == kTaxonName || f == kCurName) && columns.present[static_cast<std::size_t>(f)])
                problems.Add(line, ResStr(rsTaxaListValueRequired).arg(caption));
            continue;
        }
        if (std::any_of(value.begin(), value.end(), IsControl)) {
            problems.Add(line, ResStr(rsTaxaListControlCharacter).arg(caption));
            continue;
        }
        if (const QString unfit = UnfitCharacter(value); !unfit.isEmpty()) {
            problems.Add(line, ResStr(rsTaxaListNotWindows1252).arg(caption, unfit));
            continue;
        }
        const QStringList* words = f == kTrophic   ? &ecology::TrophicWords()
                                   : f == kAcidity ? &ecology::AcidityWords()
                                   : f == kNegVar  ? &negVarWords
                                                   : nullptr;
        if (words) {
            const std::optional<QString> word = ListWord(value, *words);
            if (!word) {
                problems.Add(line,
                             ResStr(rsTaxaListNotAWord)
                                 .arg(caption, Shown(value), words->join(QStringLiteral(", "))));
                continue;
            }
            value = *word;
        } else if (f == kR || f == kS) {
            const std::optional<QString> number = PlainWholeNumber(value);
            if (!number || number->size() > FieldWidth(f)) {
                problems.Add(line, ResStr(rsTaxaListNotAWholeNumber).arg(caption, Shown(value)));
                continue;
            }
            value = *number;
        }
        if (value.size() > FieldWidth(f))
            problems.Add(line, ResStr(rsTaxaListTooLong)
                                   .arg(caption, Shown(value))
                                   .arg(value.size())
                                   .arg(FieldWidth(f)));
    }
}

// TAXON_NAME once: the list is looked up by name without regard to letter case, after the
// name is trimmed and its double blanks collapsed, so two names that compare equal so are
// one name twice.
class UniqueNames {
public:
    void Check(const QString& name, int line, ProblemList& problems) {
        if (name.isEmpty())
            return;
        const QString key = ecology::FoldCase(ecology::CollapseDoubleBlanks(name));
        const auto it = m_firstLine.constFind(key);
        if (it == m_firstLine.constEnd())
            m_firstLine.insert(key, line);
        else
            problems.Add(line, ResStr(rsTaxaListDuplicateName).arg(Shown(name)).arg(*it));
    }

private:
    QHash<QString, int> m_firstLine;
};

// ---- the rows of a file

struct Row {
    int line = 0; // where the row starts in the file (the sheet row of a workbook)
    QStringList cells;
};

bool IsBlankRow(const QStringList& cells) {
    return std::all_of(cells.begin(), cells.end(),
                       [](const QString& cell) { return cell.trimmed().isEmpty(); });
}

// Splits text into rows at the separator and the line ends (CR LF, LF or CR). A cell that
// begins with a double quote (blanks before it are dropped) runs to the next lone double
// quote, separators and line breaks included; a doubled quote inside stands for one, and
// anything between the closing quote and the next separator is kept as written. Blank rows
// are left out. A quote that is never closed is a problem of the line where its row starts.
std::vector<Row> SplitRows(const QString& text, QChar separator, const ImportLimits& limits,
                           ProblemList& problems) {
    std::vector<Row> rows;
    qint64 cells = 0;
    QStringList row;
    QString cell;
    bool blankCell = true; // only blanks in the cell so far
    int line = 1;
    int rowLine = 1;
    bool quoted = false;
    auto endCell = [&] {
        row << cell;
        cell.clear();
        blankCell = true;
        if (row.size() > limits.maxColumns)
            throw core::Error(
                ResStr(rsImportTooManyColumns).arg(row.size()).arg(limits.maxColumns));
    };
    auto endRow = [&] {
        endCell();
        if (!IsBlankRow(row)) {
            cells += row.size();
            if (cells > limits.maxCells)
                throw core::Error(ResStr(rsImportTooManyCells).arg(cells).arg(limits.maxCells));
            rows.push_back({rowLine, std::move(row)});
        }
        row = QStringList();
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        const bool lineEnd = c == QLatin1Char('\n') || c == QLatin1Char('\r');
        if (lineEnd && c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
            ++i;
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < n && text[i + 1] == QLatin1Char('"')) {
                    cell += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else if (lineEnd) {
                cell += QLatin1Char('\n');
                ++line;
            } else {
                cell += c;
            }
        } else if (c == separator) {
            endCell();
        } else if (lineEnd) {
            endRow();
            rowLine = ++line;
        } else if (c == QLatin1Char('"') && blankCell) {
            cell.clear();
            quoted = true;
            blankCell = false;
        } else {
            cell += c;
            blankCell = blankCell && c.isSpace();
        }
    }
    if (quoted) {
        problems.Add(rowLine, ResStr(rsTaxaListUnclosedQuote));
        return rows;
    }
    endRow();
    return rows;
}

// Text as it is read: UTF-16 with its byte-order mark (spreadsheet programs save "Unicode
// text" so), else UTF-8 when the bytes are valid UTF-8, else Windows-1252.
QString DecodeListText(const QByteArray& bytes) {
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                            : QStringDecoder::Utf16BE,
                               QStringDecoder::Flag::ConvertInitialBom);
        QString text = decoder(bytes);
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        return text;
    }
    return core::DecodeText(bytes);
}

// The separator of a ".csv" file: the comma, or the semicolon when the first line that holds
// either has more of those (spreadsheet programs under a Dutch locale save "CSV" so).
QChar CsvSeparator(const QString& text) {
    qsizetype commas = 0;
    qsizetype semicolons = 0;
    for (const QChar c : text) {
        if ((c == QLatin1Char('\n') || c == QLatin1Char('\r')) && commas + semicolons > 0)
            break;
        commas += c == QLatin1Char(',');
        semicolons += c == QLatin1Char(';');
    }
    return semicolons > commas ? QLatin1Char(';') : QLatin1Char(',');
}

std::vector<Row> SheetRows(const core::Grid& grid) {
    std::vector<Row> rows;
    for (int r = 1; r < grid.RowCount(); ++r) {
        QStringList cells = grid.Row(r).mid(1);
        if (!IsBlankRow(cells))
            rows.push_back({r, std::move(cells)});
    }
    return rows;
}

// The records of the rows, the first row being the header.
void ReadRecords(const std::vector<Row>& rows, TaxaListFile& file, ProblemList& problems) {
    if (rows.empty()) {
        problems.Add(1, ResStr(rsTaxaListNoHeader));
        return;
    }
    const Row& header = rows.front();
    Columns columns;
    std::vector<int> columnField(static_cast<std::size_t>(header.cells.size()), -1);
    std::vector<bool> blankHeader(static_cast<std::size_t>(header.cells.size()), false);
    std::array<int, kFieldCount> fieldColumn;
    fieldColumn.fill(-1);
    for (qsizetype c = 0; c < header.cells.size(); ++c) {
        const QString text = header.cells[c].trimmed();
        if (text.isEmpty()) {
            blankHeader[static_cast<std::size_t>(c)] = true;
            continue;
        }
        const int f = HeaderFields().value(HeaderKey(text), -1);
        if (f < 0) {
            problems.Add(header.line, ResStr(rsTaxaListUnknownColumn)
                                          .arg(Shown(text), ecology::TaxaListFieldNames().join(
                                                                QStringLiteral(", "))));
            continue;
        }
        const auto field = static_cast<std::size_t>(f);
        if (columns.present[field]) {
            problems.Add(header.line, ResStr(rsTaxaListColumnTwice)
                                          .arg(columns.caption[field], Shown(text), FieldName(f)));
            continue;
        }
        columns.present[field] = true;
        columns.caption[field] = Shown(text);
        fieldColumn[field] = static_cast<int>(c);
        columnField[static_cast<std::size_t>(c)] = f;
    }
    for (int f = 0; f < kFieldCount; ++f) {
        const auto field = static_cast<std::size_t>(f);
        if (columns.present[field])
            continue;
        columns.caption[field] = FieldName(f);
        if (f == kTaxonName || f == kCurName)
            problems.Add(header.line,
                         ResStr(rsTaxaListColumnMissing)
                             .arg(FieldName(f),
                                  TaxaListHeaderWords()[field].mid(1).join(QStringLiteral(", "))));
    }
    if (rows.size() == 1)
        problems.Add(header.line, ResStr(rsTaxaListNoRecords));

    UniqueNames names;
    file.records.reserve(rows.size() - 1);
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const Row& row = rows[r];
        TaxonRecord record;
        for (qsizetype c = 0; c < row.cells.size(); ++c) {
            const auto column = static_cast<std::size_t>(c);
            if (column < columnField.size() && columnField[column] >= 0) {
                record.Value(columnField[column]) = row.cells[c];
                continue;
            }
            // A column under an unknown header is that header's problem; a value in a column
            // without any header would be lost without a word.
            const bool headless = column >= blankHeader.size() || blankHeader[column];
            if (headless && !row.cells[c].trimmed().isEmpty())
                problems.Add(
                    row.line,
                    ResStr(rsTaxaListNoColumnHeader).arg(c + 1).arg(Shown(row.cells[c].trimmed())));
        }
        CheckValues(record, row.line, columns, problems);
        names.Check(record.taxonName, row.line, problems);
        file.records.push_back(std::move(record));
    }
}

// The records as the list stores them, and every problem; record i counts as line i + 1.
std::vector<TaxonRecord> CheckedRecords(const std::vector<TaxonRecord>& records,
                                        ProblemList& problems) {
    std::vector<TaxonRecord> checked = records;
    const Columns columns = Columns::AllFields();
    UniqueNames names;
    for (std::size_t i = 0; i < checked.size(); ++i) {
        const int line = static_cast<int>(i) + 1;
        CheckValues(checked[i], line, columns, problems);
        names.Check(checked[i].taxonName, line, problems);
    }
    return checked;
}

QString NotImportedText(const std::vector<TaxaListProblem>& problems, qsizetype leftOut) {
    return ResStr(rsTaxaListNotImported).arg(static_cast<qsizetype>(problems.size()) + leftOut) +
           QLatin1Char('\n') + TaxaListProblemsText(problems, leftOut);
}

// ---- installing

[[noreturn]] void ThrowSystemError(int error, const QString& path) {
    throw core::Error(core::SystemErrorText(error), path);
}

void Rename(const QString& from, const QString& to) {
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        ThrowSystemError(errno, to);
}

// Flushes a file (or a folder's entries) to disk.
void SyncToDisk(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        ThrowSystemError(errno, path);
    if (::fsync(fd) != 0) {
        const int error = errno;
        ::close(fd);
        ThrowSystemError(error, path);
    }
    ::close(fd);
}

// A copy of the file under a name no file has yet, flushed to disk. False when the name is
// taken.
bool CopyToNewFile(const QString& from, const QString& to) {
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        throw core::Error(source.errorString(), from);
    const int fd =
        ::open(QFile::encodeName(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno == EEXIST)
            return false;
        ThrowSystemError(errno, to);
    }
    auto fail = [&](int error) {
        ::close(fd);
        ::unlink(QFile::encodeName(to).constData());
        ThrowSystemError(error, to);
    };
    QByteArray chunk;
    while (!(chunk = source.read(1 << 20)).isEmpty())
        if (const int error =
                core::WriteFully(fd, chunk.constData(), static_cast<std::size_t>(chunk.size())))
            fail(error);
    if (source.error() != QFileDevice::NoError) {
        ::close(fd);
        ::unlink(QFile::encodeName(to).constData());
        throw core::Error(source.errorString(), from);
    }
    if (::fsync(fd) != 0)
        fail(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(QFile::encodeName(to).constData());
        ThrowSystemError(error, to);
    }
    return true;
}

// Keeps the table as "<name>-<yyyyMMdd-HHmmss>.dbf" beside it ("-2", "-3" ... after that when
// the name is taken) and returns the backup's path.
QString KeepBackup(const QString& table) {
    const QFileInfo info(table);
    const QString stem = info.path() + QLatin1Char('/') + info.completeBaseName() +
                         QLatin1Char('-') +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int n = 1;; ++n) {
        const QString backup =
            stem + (n > 1 ? QStringLiteral("-%1").arg(n) : QString()) + QStringLiteral(".dbf");
        if (CopyToNewFile(table, backup))
            return backup;
    }
}

void WriteListTable(const QString& path, const std::vector<TaxonRecord>& records) {
    core::Dataset::CreateTable(path, ecology::TaxaListFieldDefs(), core::dbf::TableLevel::Level4);
    core::Dataset table;
    table.Open(path);
    QVariantList values;
    for (const TaxonRecord& record : records) {
        values.clear();
        for (int f = 0; f < kFieldCount; ++f) {
            const QString& value = record.Value(f);
            values << (value.isEmpty() ? QVariant() : QVariant(value));
        }
        table.AppendRecord(values);
    }
    // The tags the program reads the list by (ecology/taxalistfile.cpp makes the same ones).
    table.AddIndex(QStringLiteral("TaxonName"), QStringLiteral("TAXON_NAME"), {true, false});
    table.AddIndex(QStringLiteral("CurName"), QStringLiteral("CUR_NAME"), {true, false});
    table.Close();
}

} // namespace

ImportLimits TaxaListLimits() {
    ImportLimits limits;
    limits.maxBytes = 64LL * 1024 * 1024;
    limits.maxCells = 4'000'000;
    return limits;
}

const std::vector<QStringList>& TaxaListHeaderWords() {
    // Besides the field name, the words a user's list may head each column with.
    static const std::vector<QStringList> words = [] {
        const std::array<QStringList, kFieldCount> others = {
            QStringList{"Taxonnaam", "Taxon", "TaxonName", "Naam", "Name"},
            QStringList{"HuidigeNaam", "GeldigeNaam", "GeaccepteerdeNaam", "CurrentName",
                        "AcceptedName", "CurName"},
            QStringList{"Auteur", "Auteursnaam", "Author", "AuthorName"},
            QStringList{"Trofie", "Trofiegraad", "TrophicState", "Trophic"},
            QStringList{"Zuurgraad", "Acidity"},
            QStringList{"Levensvorm", "LifeForm"},
            QStringList{"Zeldzaamheid", "Rarity"},
            QStringList{"Signaalwaarde", "Signaal", "Signal", "SignalValue"},
            QStringList{"RodeLijst", "RedList", "RL"},
            QStringList{"NegeerVarieteit", "IgnoreVariety", "NegVar"},
        };
        std::vector<QStringList> all;
        for (int f = 0; f < kFieldCount; ++f)
            all.push_back(QStringList{FieldName(f)} + others[static_cast<std::size_t>(f)]);
        return all;
    }();
    return words;
}

TaxaListFile ReadTaxaListFile(const QString& path, const ImportLimits& limits) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    std::vector<Row> rows;
    ProblemList problems;
    if (suffix == QLatin1String("xlsx") || suffix == QLatin1String("xls")) {
        rows = SheetRows(ReadSpreadsheet(path, limits));
    } else if (suffix == QLatin1String("csv") || suffix == QLatin1String("tsv") ||
               suffix == QLatin1String("txt")) {
        const QString text = DecodeListText(ReadImportBytes(path, limits));
        try {
            rows = SplitRows(
                text, suffix == QLatin1String("csv") ? CsvSeparator(text) : QLatin1Char('\t'),
                limits, problems);
        } catch (const core::Error& e) {
            throw core::Error(e.Reason(), path);
        }
    } else {
        throw core::Error(ResStr(rsTaxaListWrongFileType), path);
    }
    TaxaListFile file;
    ReadRecords(rows, file, problems);
    file.problemsLeftOut = problems.LeftOut();
    file.problems = problems.Take();
    return file;
}

std::vector<TaxaListProblem> TaxaListRecordProblems(const std::vector<TaxonRecord>& records) {
    ProblemList problems;
    CheckedRecords(records, problems);
    return problems.Take();
}

QString TaxaListProblemsText(const std::vector<TaxaListProblem>& problems,
                             qsizetype problemsLeftOut) {
    QStringList lines;
    for (const TaxaListProblem& problem : problems)
        lines << problem.text;
    if (problemsLeftOut > 0)
        lines << ResStr(rsTaxaListMoreProblems).arg(problemsLeftOut);
    return lines.join(QLatin1Char('\n'));
}

TaxaListInstalled InstallTaxaList(const std::vector<TaxonRecord>& given, int number) {
    const QString target = ecology::TaxaListPath(number);
    if (given.empty())
        throw core::Error(ResStr(rsTaxaListNoRecordsToInstall), target);
    ProblemList problems;
    const std::vector<TaxonRecord> records = CheckedRecords(given, problems);
    if (!problems.Empty()) {
        const qsizetype leftOut = problems.LeftOut();
        throw core::Error(NotImportedText(problems.Take(), leftOut), target);
    }

    // The files below Lib/ that the build wrote are known by now, so that it never takes the
    // imported list for one of them.
    [[maybe_unused]] const core::ShippedFiles shipped(core::ProgramDir());

    const QFileInfo targetInfo(target);
    const QString lib = targetInfo.path() + QLatin1Char('/');
    QDir().mkpath(lib);
    // Inside Lib/, so that the renames below stay on one file system.
    QTemporaryDir work(lib + QStringLiteral("TaxaListImport-XXXXXX"));
    if (!work.isValid())
        throw core::Error(work.errorString(), lib);
    // The new files carry the list's own name: the index file records the table's name.
    const QString base = targetInfo.completeBaseName();
    const QString newTable = work.filePath(base + QStringLiteral(".dbf"));
    const QString newIndex = work.filePath(base + QStringLiteral(".mdx"));
    WriteListTable(newTable, records);
    SyncToDisk(newTable);
    SyncToDisk(newIndex);

    const QString index = lib + base + QStringLiteral(".mdx");
    const QString oldIndex = work.filePath(QStringLiteral("previous.mdx"));
    TaxaListInstalled installed;
    installed.records = static_cast<int>(records.size());
    if (targetInfo.exists())
        installed.backupPath = KeepBackup(target);
    bool movedOldIndex = false;
    bool placedNewIndex = false;
    try {
        // The index is derived data (its orders are built from the records when the table
        // is opened): an old table beside the new index, should the program stop between
        // the two renames, is still read whole and right.
        if (QFileInfo::exists(index)) {
            Rename(index, oldIndex);
            movedOldIndex = true;
        }
        Rename(newIndex, index);
        placedNewIndex = true;
        Rename(newTable, target);
    } catch (...) {
        if (placedNewIndex)
            QFile::remove(index);
        if (movedOldIndex)
            ::rename(QFile::encodeName(oldIndex).constData(), QFile::encodeName(index).constData());
        if (!installed.backupPath.isEmpty())
            QFile::remove(installed.backupPath);
        throw;
    }
    try {
        SyncToDisk(lib); // the renames themselves
    } catch (const core::Error&) {
        // The new list is in place; a folder that cannot be flushed changes nothing of that.
    }
    return installed;
}

TaxaListInstalled ImportTaxaList(const QString& path, int number) {
    const TaxaListFile file = ReadTaxaListFile(path);
    if (!file.problems.empty() || file.problemsLeftOut > 0)
        throw core::Error(NotImportedText(file.problems, file.problemsLeftOut), path);
    return InstallTaxaList(file.records, number);
}

} // namespace velmora::recording
