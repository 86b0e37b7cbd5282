#include "recording/dataimport.h"

#include "core/coordinates.h"
#include "core/databasestore.h"
#include "core/dbf/dbftable.h"
#include "core/error.h"
#include "core/folders.h"
#include "core/grid/gridsort.h"
#include "core/prompts.h"
#include "core/settings.h"
#include "core/spreadsheet/spreadsheet.h"
#include "core/text/inifile.h"
#include "core/text/textfile.h"
#include "core/text/textutils.h"
#include "recording/messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace velmora::recording {

namespace dbf = core::dbf;

// ------------------------------------------------------------------ rows and keys

QString UniqueLocationKey(const core::Grid& grid, int row,
                          const std::array<int, kUniqueLocationColumns>& unique) {
    QString key;
    for (int column : unique)
        if (column > 0 && column < grid.ColCount())
            key += grid.Cell(column, row);
    return key;
}

bool TestSameLocation(const core::Grid& grid, int row,
                      const std::array<int, kUniqueLocationColumns>& unique) {
    return UniqueLocationKey(grid, row + 1, unique) != UniqueLocationKey(grid, row, unique);
}

void SortOnUniqueLocation(core::Grid& grid, int startRow,
                          const std::array<int, kUniqueLocationColumns>& unique) {
    QList<int> columns;
    for (int column : unique)
        if (column > 0 && column < grid.ColCount())
            columns << column;
    if (columns.isEmpty() || startRow < 1 || startRow >= grid.RowCount())
        return;
    core::SortGridByColumns(grid, columns, startRow);
}

namespace {

// Keeps the rows for which keep(row) is true, in order.
template <class Keep> void KeepRows(core::Grid& grid, int firstRow, Keep&& keep) {
    int to = firstRow;
    for (int from = firstRow; from < grid.RowCount(); ++from) {
        if (!keep(from))
            continue;
        if (to != from)
            grid.SetRow(to, grid.Row(from));
        ++to;
    }
    grid.SetRowCount(to);
}

bool AnyUniqueColumn(const ImportSettings& settings) {
    return std::any_of(settings.unique.begin(), settings.unique.end(),
                       [](int column) { return column > 0; });
}

void Tell(Message id, core::MessageKind kind = core::MessageKind::Information) {
    core::UserPrompts().Message(ResStr(id), kind);
}

} // namespace

void RemoveGridRow(core::Grid& grid, int row) {
    if (row < 0 || row >= grid.RowCount())
        return;
    KeepRows(grid, row, [row](int r) { return r != row; });
}

void SortDataOnUniqueLocation(core::Grid& grid, const ImportSettings& settings) {
    if (settings.startRow < 1) {
        Tell(rsImportChooseStartRow);
        return;
    }
    const int desmid = settings.columns[kImportDesmid];
    if (desmid <= 0) {
        Tell(rsImportChooseDesmidColumn);
        return;
    }
    if (desmid < grid.ColCount() && settings.startRow < grid.RowCount())
        KeepRows(grid, settings.startRow,
                 [&](int r) { return !grid.Cell(desmid, r).trimmed().isEmpty(); });
    if (!AnyUniqueColumn(settings)) {
        Tell(rsImportChooseUniqueColumn);
        return;
    }
    SortOnUniqueLocation(grid, settings.startRow, settings.unique);
    NumberRows(grid);
}

void CheckCoordinates(const core::Grid& grid, const ImportSettings& settings) {
    if (settings.startRow < 1) {
        Tell(rsImportChooseStartRow);
        return;
    }
    const int x = settings.columns[kImportCoordX];
    const int y = settings.columns[kImportCoordY];
    if (x <= 0 || y <= 0) {
        Tell(rsImportChooseCoordinateColumns);
        return;
    }
    auto good = [&](int column, int row) {
        const QString text =
            column < grid.ColCount() ? grid.Cell(column, row).trimmed() : QString();
        if (text.isEmpty() || text.contains(QLatin1Char(' ')))
            return false;
        try {
            core::ParseNumber(text);
            return true;
        } catch (const core::Error&) {
            return false;
        }
    };
    // A file of many bad rows would give a message no screen can show: the first rows are
    // listed, then how many more there are.
    constexpr int kListed = 40;
    QStringList lines;
    int failed = 0;
    for (int r = settings.startRow; r < grid.RowCount(); ++r) {
        if (good(x, r) && good(y, r))
            continue;
        if (++failed <= kListed)
            lines << ResStr(rsImportCoordinateErrorInRow).arg(r);
    }
    if (failed > kListed)
        lines << ResStr(rsImportMoreRows).arg(failed - kListed);
    if (failed == 0)
        Tell(rsImportNoErrorsFound);
    else
        core::UserPrompts().Message(lines.join(QLatin1Char('\n')), core::MessageKind::Warning);
}

bool CheckImportSettings(const ImportSettings& settings) {
    if (settings.columns[kImportLocation] <= 0 || settings.columns[kImportCoordX] <= 0 ||
        settings.columns[kImportCoordY] <= 0) {
        Tell(rsImportChooseLocationColumns);
        return false;
    }
    if (!AnyUniqueColumn(settings)) {
        Tell(rsImportChooseUniqueColumn);
        return false;
    }
    if (settings.startRow < 1) {
        Tell(rsImportChooseStartRow);
        return false;
    }
    if (settings.replace && settings.coordinateSystem.isEmpty()) {
        Tell(rsImportChooseCoordinateSystem);
        return false;
    }
    // Replacing destroys the database's content: Enter answers No to that question.
    const bool go = settings.replace
                        ? core::UserPrompts().YesNoDefaultNo(ResStr(rsImportReplaceQuestion))
                        : core::UserPrompts().YesNo(ResStr(rsImportAddQuestion));
    if (!go) {
        Tell(rsImportNothingDone);
        return false;
    }
    return true;
}

// ------------------------------------------------------------------ the run

namespace {

// Records of one new table, filled field by field and written in batches.
class RecordWriter {
public:
    explicit RecordWriter(dbf::DbfTable& table)
        : m_table(table), m_blank(table.BlankRecord()), m_record(m_blank) {}

    int Field(const char* name) const { return m_table.FieldIndex(name); }

    // Sets a text field (a field the table does not have is passed over); counts the values
    // the field is too narrow for.
    void Set(int field, const QString& value) {
        if (field < 0)
            return;
        const dbf::FieldDef& def = m_table.Fields()[static_cast<std::size_t>(field)];
        if (!def.IsNumeric() && value.size() > def.length)
            ++valuesCut;
        const QByteArray utf8 = value.toUtf8();
        m_table.SetText(m_record.data(), field,
                        std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    }
    void SetInteger(int field, long long value) {
        if (field >= 0)
            m_table.SetInteger(m_record.data(), field, value);
    }
    // The field as the record now holds it (cut to the field's width).
    QString Stored(int field) const {
        return field < 0 ? QString() : QString::fromStdString(m_table.Text(m_record.data(), field));
    }
    void Commit() {
        m_pending.insert(m_pending.end(), m_record.begin(), m_record.end());
        m_record = m_blank;
        ++written;
    }
    // Writes the records made so far once there are enough of them for one large write.
    void FlushWhenFull() {
        if (m_pending.size() >= kBatchBytes)
            Flush();
    }
    void Flush() {
        const std::size_t length = static_cast<std::size_t>(m_table.RecordLength());
        if (!m_pending.empty())
            m_table.AppendRecords(m_pending.data(), m_pending.size() / length);
        m_pending.clear();
    }
    // The records of another table with the same fields, deleted ones left out.
    void CopyRecords(const dbf::DbfTable& from) {
        for (std::uint32_t r = 1; r <= from.PhysicalCount(); ++r) {
            if (from.IsDeleted(r))
                continue;
            const char* record = from.Record(r);
            m_pending.insert(m_pending.end(), record, record + m_table.RecordLength());
            if (m_pending.size() >= kBatchBytes)
                Flush();
        }
        Flush();
    }

    int written = 0;
    int valuesCut = 0;

private:
    static constexpr std::size_t kBatchBytes = 4 * 1024 * 1024;
    dbf::DbfTable& m_table;
    const std::string m_blank;
    std::string m_record;
    std::vector<char> m_pending;
};

QString TwoDigits(const QString& text) {
    return text.size() == 1 ? QLatin1Char('0') + text : text;
}

// A name in lower case (letters A-Z) with its first letter a-z in upper case.
QString DesmidCase(QString name) {
    for (QChar& c : name)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + ('a' - 'A'));
    if (!name.isEmpty() && name[0] >= u'a' && name[0] <= u'z')
        name[0] = QChar(name[0].unicode() - ('a' - 'A'));
    return name;
}

// first, or first + separator + second, or second alone when first is empty; only when a
// second column is chosen.
QString Joined(const QString& first, int secondColumn, const QString& second,
               const QString& separator) {
    if (secondColumn <= 0)
        return first;
    return first.isEmpty() ? second : first + separator + second;
}

std::string Utf8Path(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

void SyncFile(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw core::Error(core::SystemErrorText(errno), path);
    const int rc = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    if (rc != 0)
        throw core::Error(core::SystemErrorText(error), path);
}

// The field indexes of the two tables, found once.
struct LocationFieldIndexes {
    int id, locatie, dag, maand, jaar, opm, coordx, coordy;
    std::array<std::pair<int, int>, 11> plain; // (key, field) of the fields taken as they stand
};

// Everything of a run that lives in files: the database's tables held open (so no other
// program writes them meanwhile) and the new tables in a hidden work folder that goes away
// unless the new tables were put in place.
class ImportFiles {
public:
    explicit ImportFiles(const QString& name) : m_name(name) {
        const QString locPath = core::DatabaseStore::DatabaseFile(name, QStringLiteral("1.dbf"));
        const QString samPath = core::DatabaseStore::DatabaseFile(name, QStringLiteral("2.dbf"));
        try {
            oldLocations.Open(Utf8Path(locPath));
            oldSamples.Open(Utf8Path(samPath));
        } catch (const dbf::DbfError& e) {
            if (e.SystemError() == EWOULDBLOCK || e.SystemError() == EAGAIN)
                throw core::Error(ResStr(rsImportDatabaseInUse).arg(name));
            throw;
        }
        // Work folders of runs that a kill stopped are left over; one program runs at a time.
        const QDir data(core::DataDir());
        for (const QFileInfo& stale :
             data.entryInfoList({QStringLiteral(".importing-*")},
                                QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot))
            QDir(stale.filePath()).removeRecursively();
        QByteArray folder =
            QFile::encodeName(core::DataDir() + QStringLiteral(".importing-XXXXXX"));
        if (!::mkdtemp(folder.data()))
            throw core::Error(core::SystemErrorText(errno), core::DataDir());
        m_folder = QFile::decodeName(folder);
        MakeLike(oldLocations, locPath, newLocations);
        MakeLike(oldSamples, samPath, newSamples);
    }
    ~ImportFiles() {
        // Nothing here reports: the run has thrown already, or has put the tables in place.
        try {
            if (newLocations.IsOpen())
                newLocations.Close();
        } catch (...) {
        }
        try {
            if (newSamples.IsOpen())
                newSamples.Close();
        } catch (...) {
        }
        CloseOld();
        if (!m_folder.isEmpty())
            QDir(m_folder).removeRecursively();
    }
    ImportFiles(const ImportFiles&) = delete;
    ImportFiles& operator=(const ImportFiles&) = delete;

    // The new tables get the tags of the old ones, are closed and flushed to disk, and take
    // the place of the old ones.
    void PutInPlace() {
        for (auto [from, to] :
             {std::pair{&oldLocations, &newLocations}, std::pair{&oldSamples, &newSamples}}) {
            for (int t = 0; t < from->TagCount(); ++t)
                to->AddTag(from->Tag(t));
            const std::string table = to->Path();
            const std::string index = to->IndexPath();
            to->Close();
            SyncFile(QFile::decodeName(table.c_str()));
            if (QFileInfo::exists(QFile::decodeName(index.c_str())))
                SyncFile(QFile::decodeName(index.c_str()));
        }
        CloseOld();
        core::DatabaseStore::ReplaceTables(m_name, m_folder);
    }

    dbf::DbfTable oldLocations;
    dbf::DbfTable oldSamples;
    dbf::DbfTable newLocations;
    dbf::DbfTable newSamples;

private:
    void MakeLike(const dbf::DbfTable& old, const QString& oldPath, dbf::DbfTable& table) {
        const QString path = m_folder + QLatin1Char('/') + QFileInfo(oldPath).fileName();
        dbf::FieldDefs fields = old.Fields();
        dbf::DbfTable::Create(Utf8Path(path), fields,
                              old.Level() == 7 ? dbf::TableLevel::Level7 : dbf::TableLevel::Level4);
        table.Open(Utf8Path(path));
    }
    void CloseOld() {
        for (dbf::DbfTable* t : {&oldLocations, &oldSamples}) {
            try {
                if (t->IsOpen())
                    t->Close();
            } catch (...) {
            }
        }
    }

    QString m_name;
    QString m_folder;
};

// The highest location ID of the table plus one (1 for a table without IDs).
long long NextLocationId(const dbf::DbfTable& table) {
    const int id = table.FieldIndex("ID");
    long long highest = 0;
    if (id < 0)
        return 1;
    for (std::uint32_t r = 1; r <= table.PhysicalCount(); ++r) {
        if (table.IsDeleted(r))
            continue;
        if (const std::optional<long long> v = table.Integer(table.Record(r), id))
            highest = std::max(highest, *v);
    }
    return highest + 1;
}

} // namespace

namespace {

ImportOutcome RunImport(core::Grid& grid, const ImportSettings& settings, const QString& name,
                        const QString& coordinateSystem, const QString& language,
                        const ImportProgress& progress) {
    ImportOutcome outcome;
    ImportFiles files(name);
    RecordWriter loc(files.newLocations);
    RecordWriter sam(files.newSamples);
    long long nextId = 0;
    if (!settings.replace) {
        nextId = NextLocationId(files.oldLocations);
        loc.CopyRecords(files.oldLocations);
        sam.CopyRecords(files.oldSamples);
    }

    const auto& col = settings.columns;
    auto cell = [&](int key, int row) -> QString {
        const int c = col[static_cast<std::size_t>(key)];
        return c > 0 && c < grid.ColCount() ? grid.Cell(c, row) : QString();
    };
    auto chosen = [&](int key) { return col[static_cast<std::size_t>(key)] > 0; };

    const LocationFieldIndexes lf{
        loc.Field("ID"),
        loc.Field("LOCATIE"),
        loc.Field("DAG"),
        loc.Field("MAAND"),
        loc.Field("JAAR"),
        loc.Field("OPMLOCATIE"),
        loc.Field("COORDX"),
        loc.Field("COORDY"),
        {{{kImportAcidity, loc.Field("ZUURGRAAD")},
          {kImportSampleKind, loc.Field("MONSTERSRT")},
          {kImportAnalyst, loc.Field("ANALIST")},
          {kImportOwner, loc.Field("OWNER")},
          {kImportLocationCode, loc.Field("LOCCODE")},
          {kImportPH, loc.Field("PH")},
          {kImportConductivity, loc.Field("GELEIDING")},
          {kImportWaterTemp, loc.Field("WATERTEMP")},
          {kImportWaterType, loc.Field("WTYPE")},
          {kImportHerbarium, loc.Field("HERBARIUM")},
          {kImportAbundanceMeasure, loc.Field("AMAAT")}}},
    };
    const int sId = sam.Field("ID"), sDesmid = sam.Field("DESMID"), sKxy = sam.Field("KXY"),
              sUxy = sam.Field("UXY"), sDatum = sam.Field("DATUM"), sInfo = sam.Field("DESMIDINFO");
    const std::array<std::pair<int, int>, 6> samplePlain{
        {{kImportAbundance, sam.Field("ABUND")},
         {kImportDL, sam.Field("DL")},
         {kImportZygospore, sam.Field("ZYGO")},
         {kImportPhoto, sam.Field("FOTO")},
         {kImportCertainty, sam.Field("ZEKER")},
         {kImportSampleComment, sam.Field("OPMDESMID")}}};

    // What the samples of the current location take from it.
    long long locationId = 0;
    core::SquareCodePair codes;
    QString datum;

    auto writeLocation = [&](int r) {
        locationId = nextId++;
        loc.SetInteger(lf.id, locationId);
        if (chosen(kImportLocation))
            loc.Set(lf.locatie, Joined(cell(kImportLocation, r), col[kImportLocation2],
                                       cell(kImportLocation2, r), QStringLiteral(" - ")));
        const QString comment = Joined(cell(kImportComment, r), col[kImportComment2],
                                       cell(kImportComment2, r), QStringLiteral("; "));
        if (!settings.textDates) {
            const QString day = cell(kImportDay, r);
            if (day != QStringLiteral("--")) {
                if (chosen(kImportDay))
                    loc.Set(lf.dag, TwoDigits(day));
                if (chosen(kImportMonth))
                    loc.Set(lf.maand, TwoDigits(cell(kImportMonth, r)));
                if (chosen(kImportYear))
                    loc.Set(lf.jaar, TwoDigits(cell(kImportYear, r)));
                loc.Set(lf.opm, comment);
            } else {
                // A missing day: the date as written goes into the comment.
                loc.Set(lf.opm, cell(kImportComment, r) + QLatin1Char(' ') + day +
                                    QLatin1Char('.') + cell(kImportMonth, r) + QLatin1Char('.') +
                                    cell(kImportYear, r));
                loc.Set(lf.dag, QStringLiteral("01"));
                loc.Set(lf.maand, QStringLiteral("01"));
                loc.Set(lf.jaar, QStringLiteral("1900"));
            }
        } else {
            loc.Set(lf.opm, comment);
            QString d = QStringLiteral("01"), m = QStringLiteral("01"), y = QStringLiteral("1900");
            try {
                const core::DashedDate date = core::ParseDashedDate(cell(kImportDateText, r));
                d = core::LeftPadZeros(QString::number(date.day), 2);
                m = core::LeftPadZeros(QString::number(date.month), 2);
                y = QString::number(date.year);
            } catch (const core::Error&) {
            }
            loc.Set(lf.dag, d);
            loc.Set(lf.maand, m);
            loc.Set(lf.jaar, y);
        }
        if (chosen(kImportCoordX))
            loc.Set(lf.coordx, cell(kImportCoordX, r).left(255));
        if (chosen(kImportCoordY))
            loc.Set(lf.coordy, cell(kImportCoordY, r).left(255));
        for (const auto& [key, field] : lf.plain)
            if (chosen(key))
                loc.Set(field, cell(key, r));
        const QString x = loc.Stored(lf.coordx);
        const QString y = loc.Stored(lf.coordy);
        codes = !x.trimmed().isEmpty() && !y.trimmed().isEmpty()
                    ? core::SquareCodes(x, y, coordinateSystem, language)
                    : core::SquareCodePair{};
        datum = loc.Stored(lf.jaar) + QLatin1Char('-') + loc.Stored(lf.maand) + QLatin1Char('-') +
                loc.Stored(lf.dag);
        loc.Commit();
    };
    auto writeSample = [&](int r) {
        sam.SetInteger(sId, locationId);
        QString name = cell(kImportDesmid, r);
        if (name.isEmpty()) {
            name = QStringLiteral("--");
            if (chosen(kImportDesmid) && col[kImportDesmid] < grid.ColCount())
                grid.SetCell(col[kImportDesmid], r, name);
        }
        sam.Set(sDesmid, DesmidCase(name));
        for (const auto& [key, field] : samplePlain)
            if (chosen(key))
                sam.Set(field, cell(key, r));
        sam.Set(sKxy, codes.kxy);
        sam.Set(sUxy, codes.uxy);
        sam.Set(sDatum, datum);
        const QString second = cell(kImportInfo2, r).trimmed();
        QString info = cell(kImportInfo, r);
        if (!second.isEmpty())
            info += QStringLiteral(" # ") + second;
        if (info.trimmed() == QStringLiteral("#"))
            info.clear();
        sam.Set(sInfo, info);
        sam.Commit();
    };

    const int first = settings.startRow;
    const int last = grid.RowCount() - 1;
    const int total = std::max(1, last - first + 1);
    for (int r = first; r <= last; ++r) {
        try {
            if (r == first || TestSameLocation(grid, r - 1, settings.unique))
                writeLocation(r);
            writeSample(r);
        } catch (const core::Error& e) {
            outcome.failedRow = r;
            outcome.reason = e.Message();
            return outcome;
        } catch (const dbf::DbfError& e) {
            outcome.failedRow = r;
            outcome.reason = QString::fromStdString(e.what());
            return outcome;
        }
        // Writing is not the row's fault: a full disk is reported as what it is.
        loc.FlushWhenFull();
        sam.FlushWhenFull();
        if (progress && ((r - first) & 0xfff) == 0xfff &&
            progress(static_cast<int>(100LL * (r - first) / total))) {
            outcome.cancelled = true;
            return outcome;
        }
    }
    loc.Flush();
    sam.Flush();
    files.PutInPlace();
    outcome.complete = true;
    outcome.locations = loc.written;
    outcome.samples = sam.written;
    outcome.valuesCut = loc.valuesCut + sam.valuesCut;
    return outcome;
}

} // namespace

ImportOutcome WriteImport(core::Grid& grid, const ImportSettings& settings, const QString& name,
                          const QString& coordinateSystem, const QString& language,
                          const ImportProgress& progress) {
    try {
        return RunImport(grid, settings, name, coordinateSystem, language, progress);
    } catch (const dbf::DbfError& e) {
        // A failed system call in the user's words (disk full, no permission).
        throw core::Error(e.SystemError() != 0 ? core::SystemErrorText(e.SystemError())
                                               : QString::fromStdString(e.Reason()),
                          QString::fromStdString(e.File()));
    }
}

// ------------------------------------------------------------------ the window's state

ColumnLayout NoChoiceLayout() {
    ColumnLayout layout;
    layout.box.fill(-1);
    layout.box[0] = 0;
    return layout;
}

int DataImport::ChooserCount() const {
    return m_grid.ColCount() > 0 ? m_grid.ColCount() - 1 : 20;
}

int DataImport::StartRowCount() const {
    if (m_grid.RowCount() == 0)
        return 20;
    // Enough for any header above the data, and never a list too long to choose from.
    return std::max(ChooserCount(), std::min(m_grid.RowCount() - 1, 100));
}

void DataImport::ChooserLeft(int key) {
    if (key >= 1 && key <= kImportKeyCount)
        columnMap[static_cast<std::size_t>(key)] =
            std::max(0, choosers.box[static_cast<std::size_t>(key)]);
}

void DataImport::Shown() {
    for (int k = 1; k <= kImportKeyCount; ++k)
        choosers.box[static_cast<std::size_t>(k)] = -1;
}

bool DataImport::OpenDataFile(const QString& path, const ImportLimits& limits) {
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension != QStringLiteral("tsv") && extension != QStringLiteral("xls") &&
        extension != QStringLiteral("xlsx")) {
        Tell(rsImportWrongFileType);
        return false;
    }
    m_lastFolder = QFileInfo(path).absolutePath();
    const bool sheet = extension != QStringLiteral("tsv");
    if (sheet && core::ExcelVersion() == 0) {
        Tell(rsImportNoSpreadsheetSupport);
        return false;
    }
    core::Prompts& prompts = core::UserPrompts();
    try {
        if (sheet) {
            m_grid = ReadSpreadsheet(path, limits);
        } else {
            prompts.SetProgressRange(0, 100);
            prompts.StartProgress();
            try {
                m_grid = ReadTSVFile(path, limits,
                                     [&](int percent) { return prompts.StepProgress(percent); });
            } catch (...) {
                prompts.FinishProgress();
                throw;
            }
            prompts.FinishProgress();
        }
    } catch (const ImportCancelled&) {
        return false;
    } catch (const core::Error& e) {
        prompts.Message(ResStr(sheet ? rsImportSpreadsheetFailed : rsImportFileNotRead) +
                            QLatin1Char('\n') + e.Message(),
                        core::MessageKind::Warning);
        return false;
    } catch (const std::bad_alloc&) {
        prompts.Message(ResStr(rsImportFileNotRead) + QLatin1Char('\n') +
                            core::CurrentFailureText(),
                        core::MessageKind::Warning);
        return false;
    }
    choosers.box.fill(-1);
    choosers.box[0] = 0;
    choosers.unique.fill(-1);
    columnMap.fill(0);
    if (!m_rememberedLayout.isEmpty() && IsColumnLayoutFile(m_rememberedLayout))
        ApplyLayout(ReadColumnLayout(m_rememberedLayout));
    return true;
}

void DataImport::ApplyLayout(const ColumnLayout& layout) {
    choosers = layout;
    for (int k = 1; k < kImportStartRow; ++k)
        columnMap[static_cast<std::size_t>(k)] =
            std::max(0, layout.box[static_cast<std::size_t>(k)]);
}

bool DataImport::LoadColumnLayout(const QString& path) {
    // A file without any section of a layout (another kind of file chosen by mistake) would
    // clear every choice: it is refused.
    if (!IsColumnLayoutFile(path)) {
        core::UserPrompts().Message(ResStr(rsImportNotALayout).arg(QFileInfo(path).fileName()),
                                    core::MessageKind::Warning);
        return false;
    }
    ApplyLayout(ReadColumnLayout(path));
    m_rememberedLayout = path;
    return true;
}

bool DataImport::SaveColumnLayout(const QString& path) const {
    try {
        WriteColumnLayout(choosers, path);
        return true;
    } catch (const core::Error& e) {
        core::UserPrompts().Message(ResStr(rsImportLayoutNotSaved) + QLatin1Char('\n') +
                                        e.Message(),
                                    core::MessageKind::Warning);
        return false;
    }
}

ImportSettings DataImport::Settings() const {
    ImportSettings s;
    s.columns = columnMap;
    s.columns[kImportStartRow] = 0;
    s.unique = choosers.unique;
    s.startRow = choosers.box[kImportStartRow];
    s.textDates = choosers.textMode && !choosers.columnMode;
    s.replace = replace;
    s.coordinateSystem = coordinateSystem;
    return s;
}

int DataImport::MakeDatabase(core::DatabaseStore& store, const QString& name,
                             const std::function<void()>& running) {
    const ImportSettings settings = Settings();
    // A file without data rows (empty, or a header only) would leave a replaced database
    // empty: refused before the question, whatever the choices.
    if (settings.startRow >= 1 && settings.startRow >= m_grid.RowCount()) {
        core::UserPrompts().Message(ResStr(rsImportNoRows).arg(settings.startRow),
                                    core::MessageKind::Error);
        return -1;
    }
    if (!CheckImportSettings(settings))
        return -1;
    if (running)
        running();
    SortOnUniqueLocation(m_grid, settings.startRow, settings.unique);
    // The row numbers shown are those the messages name.
    NumberRows(m_grid);
    // The run holds the table files itself.
    if (store.IsOpen())
        store.CloseDatabase();

    // The database's coordinate system, or the one the replacing import gives it.
    const QString iniPath = core::DatabaseStore::DatabaseFile(name, QStringLiteral(".ini"));
    core::IniFile ini = core::IniFile::Load(iniPath);
    QString system = ini.Value(QStringLiteral("Coordinates"), QStringLiteral("System"));
    if (settings.replace)
        system = settings.coordinateSystem == kLatLonChoice ? core::kLatLon : core::kKmBased;

    core::Prompts& prompts = core::UserPrompts();
    ImportOutcome outcome;
    prompts.SetProgressRange(0, 100);
    prompts.StartProgress();
    try {
        outcome = WriteImport(m_grid, settings, name, system, core::CurrentSettings().language,
                              [&](int percent) { return prompts.StepProgress(percent); });
    } catch (const core::Error& e) {
        prompts.FinishProgress();
        prompts.Message(ResStr(rsImportFailed) + QLatin1Char('\n') + e.Message() +
                            QLatin1Char('\n') + ResStr(rsImportDatabaseUnchanged),
                        core::MessageKind::Error);
        return -1;
    } catch (const std::bad_alloc&) {
        prompts.FinishProgress();
        prompts.Message(ResStr(rsImportFailed) + QLatin1Char('\n') + core::CurrentFailureText() +
                            QLatin1Char('\n') + ResStr(rsImportDatabaseUnchanged),
                        core::MessageKind::Error);
        return -1;
    }
    prompts.FinishProgress();
    if (outcome.cancelled) {
        prompts.Message(ResStr(rsImportCancelled) + QLatin1Char(' ') +
                            ResStr(rsImportDatabaseUnchanged),
                        core::MessageKind::Information);
        return -1;
    }
    if (outcome.failedRow > 0) {
        prompts.Message(ResStr(rsImportFailed) + QStringLiteral("\r\n") +
                            ResStr(rsImportCheckRow).arg(outcome.failedRow) + QLatin1Char('\n') +
                            outcome.reason + QLatin1Char('\n') + ResStr(rsImportDatabaseUnchanged),
                        core::MessageKind::Error);
        return outcome.failedRow;
    }
    if (settings.replace) {
        ini.SetValue(QStringLiteral("Coordinates"), QStringLiteral("System"), system);
        try {
            ini.Save(iniPath);
        } catch (const core::Error& e) {
            prompts.Message(e.Message(), core::MessageKind::Warning);
        }
        store.SetCoordinateSystem(system);
    }
    if (outcome.valuesCut > 0)
        prompts.Message(ResStr(rsImportValuesCut).arg(outcome.valuesCut),
                        core::MessageKind::Information);
    // The square codes of every sample from the coordinates of its location; the database is
    // closed again for whoever opens it next.
    if (store.OpenDatabase(name)) {
        try {
            store.RecomputeSquareCodes();
        } catch (const core::Error& e) {
            prompts.Message(ResStr(rsSquareCodesNotUpdated) + QLatin1Char('\n') + e.Message(),
                            core::MessageKind::Warning);
        }
        store.CloseDatabase();
    }
    return 0;
}

} // namespace velmora::recording
