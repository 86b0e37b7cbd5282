#pragma once
// A cursor over one open dBase table: the browse / edit / insert states, navigation in the
// order of the active index tag, locate, physical record numbers, field access by name,
// a record filter and notifications. The program's algorithms are written against this
// class; the data-aware controls of the windows bind to its notifications.
//
// Text is QString here and UTF-8 below in the table engine (core/dbf). Engine errors come
// out as core::Error with the file and the reason.
//
// Cursor model: the current record is a physical record number (0 when there is none).
// Navigation walks the active order (the tag's order, or physical order without a tag)
// and skips records marked deleted and, while filtered, records the filter rejects.
// Bof()/Eof() are set when a move tried to go past the first/last visible record; the
// current record then stays where it was (as with every table cursor of this kind).
//
// Preconditions are stated per member ("REQUIRES") and checked: a violation throws
// core::Error. Navigation and Locate in the Edit or Insert state post the pending record
// first, as a table cursor does.

#include "core/dbf/dbftable.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

namespace velmora::core {

enum class DatasetState { Inactive, Browse, Edit, Insert };

struct LocateOptions {
    bool caseInsensitive = false;
};

struct IndexOptions {
    bool caseInsensitive = false;
    bool descending = false;
};

// A field definition as the dataset shows it.
struct DatasetFieldDef {
    QString name;
    dbf::FieldType type = dbf::FieldType::Character;
    int size = 0;
    int decimals = 0;
    bool required = false;
};

enum class DatasetEvent {
    BeforePost, // may throw to refuse the post
    AfterPost,
    BeforeDelete, // may throw to refuse the delete
    AfterDelete,
    AfterScroll, // the current record changed
    DataChanged, // for controls: suspended between DisableControls and EnableControls
};

class Dataset;

// A field of a record buffer of the table as text, trailing blanks dropped; empty for field -1
// (a field the table lacks). Plain ASCII text fields, most of a database, are taken straight
// from the record; everything else goes through the table's decoding. For whole-table passes
// that read the records without moving a cursor.
QString RecordText(const dbf::DbfTable& table, const char* record, int field);

// A handle on one field of a dataset's current record.
class Field {
public:
    Field(Dataset* dataset, int index) : m_dataset(dataset), m_index(index) {}
    QString FieldName() const;
    QString AsString() const; // trailing blanks dropped; empty for a blank field
    // REQUIRES: !IsNull(). A blank field has no integer value; text that is not a whole
    // number throws too.
    long long AsInteger() const;
    QVariant AsVariant() const; // null QVariant for a blank field; qlonglong for integers
    bool IsNull() const;
    // REQUIRES: State() is Edit or Insert.
    void SetAsString(const QString& value);
    void SetAsInteger(long long value);
    void SetAsVariant(const QVariant& value);
    void Clear();

private:
    Dataset* m_dataset;
    int m_index;
};

class Dataset {
public:
    using Handler = std::function<void(Dataset&)>;
    using Filter = std::function<bool(Dataset&)>;

    Dataset();
    explicit Dataset(dbf::FileSystem& fs);
    ~Dataset();
    Dataset(const Dataset&) = delete;
    Dataset& operator=(const Dataset&) = delete;

    // Writes a new, empty table file (no index file).
    static void CreateTable(const QString& path, const std::vector<dbf::FieldDef>& fields,
                            dbf::TableLevel level = dbf::TableLevel::Level7);

    // ---- opening
    void SetFileName(const QString& path) { m_fileName = path; }
    const QString& FileName() const { return m_fileName; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool ReadOnly() const { return m_readOnly; }
    // REQUIRES: !Active(). Opens FileName() exclusively (or read-only), no tag active,
    // on the first record.
    void Open();
    void Open(const QString& path, bool readOnly = false);
    // Posts nothing: a pending edit is cancelled. Writes the index file when it changed.
    void Close();
    bool Active() const;
    DatasetState State() const { return m_state; }

    // ---- navigation; REQUIRES: Active()
    void First();
    void Last();
    void Next();
    void Prior();
    bool Bof() const { return m_bof; }
    bool Eof() const { return m_eof; }
    bool IsEmpty() const;
    // Records not marked deleted (and, while filtered, accepted by the filter).
    int RecordCount() const;
    // Physical number of the current record; 0 when there is none.
    int RecNo() const { return static_cast<int>(m_recNo); }
    // REQUIRES: the record exists and is not marked deleted.
    void SetRecNo(int recNo);
    // Empty name: physical order. Letter case ignored. The current record stays current.
    void SetIndexName(const QString& name);
    QString IndexName() const;
    QStringList IndexNames() const;
    // Moves to the first record, in the active order, whose field equals the value (whole
    // value; letter case ignored on request). False and no move when there is none.
    bool Locate(const QString& field, const QVariant& value, LocateOptions options = {});
    // REQUIRES: Active(), an active tag (IndexName() not empty) whose key is character.
    // Moves to the first record, in the tag's order (descending tags included), whose key
    // begins with the text. Found by a binary search of the tag, then skipping records
    // marked deleted and, while filtered, records the filter rejects. The text is compared
    // with the key bytes under the tag's collation, as Locate compares keys: letter case
    // counts, since each case has its own weight (a tag on UPPER(field) wants upper-case
    // text). Blanks at the end of the text count too, against the blank-padded key:
    // "Cosmarium " finds "Cosmarium botrytis" and "Cosmarium", not "Cosmariumx". An empty
    // text finds the first visible record. A pending edit is posted first, as for Locate.
    // False when no visible record's key begins with the text (so for a text that reaches
    // past the key with more than blanks, or holds a character the table's code page cannot
    // store): the cursor then stays where it was, with Bof() and Eof() unchanged and no
    // AfterScroll.
    bool FindKeyPrefix(const QString& prefix);

    // ---- editing
    // REQUIRES: State() == Browse and a current record.
    void Edit();
    // REQUIRES: Active(). A new blank record in the Insert state; it is added at the end of
    // the table when posted (dBase tables have no other place for it).
    void Append();
    void Insert();
    // REQUIRES: State() is Edit or Insert. On disk when Post returns.
    void Post();
    void Cancel();
    // REQUIRES: State() == Browse and a current record. Marks it deleted and moves to the
    // next visible record (or the previous one at the end).
    void Delete();
    // Appends a record from values in field order (text, or numbers for numeric fields),
    // posted at once. REQUIRES: State() == Browse.
    void AppendRecord(const QVariantList& values);

    // ---- fields
    Field FieldByName(const QString& name); // throws for an unknown field
    bool HasField(const QString& name) const;
    std::vector<DatasetFieldDef> FieldDefs() const;

    // ---- filter
    void SetFilter(Filter filter);
    void SetFiltered(bool filtered);
    bool Filtered() const { return m_filtered; }

    // ---- controls
    void DisableControls() { ++m_controlsDisabled; }
    void EnableControls();
    bool ControlsDisabled() const { return m_controlsDisabled > 0; }

    // ---- notifications
    int Connect(DatasetEvent event, Handler handler);
    void Disconnect(int id);

    // ---- tags and whole-table operations; REQUIRES: State() == Browse
    void AddIndex(const QString& name, const QString& expression, IndexOptions options = {});
    void RegenerateIndexes();
    void Pack();
    // New field list; values kept by field name; deleted records dropped.
    void Restructure(const std::vector<dbf::FieldDef>& fields);

    dbf::DbfTable& Table() { return *m_table; }

private:
    friend class Field;

    void RequireActive() const;
    void RequireState(DatasetState state, const char* operation) const;
    void CheckBrowseMode();
    const char* CurrentRecord() const;
    char* EditBuffer(const char* operation);
    int FieldIndexOrThrow(const QString& name) const;
    bool Visible(std::uint32_t recNo);
    std::size_t OrderSize();
    std::uint32_t OrderAt(std::size_t pos);
    std::size_t PositionOf(std::uint32_t recNo);
    void MoveTo(std::uint32_t recNo);
    void Notify(DatasetEvent event);
    void ControlsChanged();
    std::uint32_t LocateByTag(int field, const QString& text, bool caseInsensitive, bool& usedTag);
    template <class F> auto Guard(F&& f) const -> decltype(f());

    std::unique_ptr<dbf::DbfTable> m_table;
    QString m_fileName;
    bool m_readOnly = false;
    DatasetState m_state = DatasetState::Inactive;
    int m_tag = -1;
    std::uint32_t m_recNo = 0;
    std::uint32_t m_savedRecNo = 0;
    std::size_t m_posHint = 0; // position of m_recNo in the active order, when still valid
    bool m_bof = true;
    bool m_eof = true;
    std::string m_buffer;
    Filter m_filter;
    bool m_filtered = false;
    int m_controlsDisabled = 0;
    int m_nextHandlerId = 1;
    struct Subscription {
        int id;
        DatasetEvent event;
        Handler handler;
    };
    std::vector<Subscription> m_handlers;
};

} // namespace velmora::core
