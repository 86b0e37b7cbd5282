// Reading the first worksheet of a legacy .xls workbook with FreeXL. The library is not safe
// against damaged files (it can read past its buffers), so it runs in a child process that
// sends the cells back through a pipe: a workbook that trips the library fails with a message
// and the program goes on. The worksheet's declared size is checked against the cell limit
// with a light first open that loads no cells, since a full open allocates the whole
// declared rectangle at once.

#include "core/error.h"
#include "core/resourcestrings.h"
#include "core/spreadsheet/spreadsheetcells.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <freexl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace velmora::core::spreadsheet {

namespace {

// Codes of the child's report besides FreeXL's own (negative) error codes.
constexpr int kNoSheet = 1;
constexpr int kTooManyCells = 2;
constexpr int kChildFailed = 3;

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
    case kChildFailed:
        return QStringLiteral("damaged workbook (the reader stopped)");
    default:
        return QStringLiteral("damaged workbook (FreeXL error %1)").arg(code);
    }
}

// What the child process sends: records of one tag byte and their data, in host order.
enum Tag : char { kCell = 'C', kFailure = 'E', kDone = 'Z' };
enum Kind : char { kInt = 'i', kDouble = 'd', kText = 't' };

// --- The child: FreeXL only, plain writes, no Qt. ---

class ChildWriter {
public:
    explicit ChildWriter(int fd) : m_fd(fd) {}
    ~ChildWriter() { Flush(); }
    template <typename T> void Put(const T& value) { Bytes(&value, sizeof value); }
    void Bytes(const void* data, size_t size) {
        const char* p = static_cast<const char*>(data);
        m_buffer.insert(m_buffer.end(), p, p + size);
        if (m_buffer.size() >= 64 * 1024)
            Flush();
    }
    void Flush() {
        size_t done = 0;
        while (done < m_buffer.size()) {
            const ssize_t n = ::write(m_fd, m_buffer.data() + done, m_buffer.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                _exit(kChildFailed); // the parent stopped listening
            done += size_t(n);
        }
        m_buffer.clear();
    }

private:
    int m_fd;
    std::vector<char> m_buffer;
};

// Selects the first worksheet; its declared size, or a report code.
int FirstSheet(const void* handle, unsigned& rows, unsigned short& columns) {
    unsigned int sheets = 0;
    if (freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK || sheets == 0)
        return kNoSheet;
    if (int rc = freexl_select_active_worksheet(handle, 0); rc != FREEXL_OK)
        return rc;
    return freexl_worksheet_dimensions(handle, &rows, &columns);
}

int ReadInChild(const char* path, qint64 maxCells, ChildWriter& out) {
    auto tooMany = [&](unsigned rows, unsigned columns) {
        return (qint64(rows) + 1) * (qint64(columns) + 1) > maxCells;
    };
    unsigned rows = 0;
    unsigned short columns = 0;
    // A light open that loads no cells first: a full open allocates the whole declared
    // rectangle at once.
    const void* handle = nullptr;
    int rc = freexl_open_info(path, &handle);
    if (rc == FREEXL_OK)
        rc = FirstSheet(handle, rows, columns);
    if (handle)
        freexl_close(handle);
    if (rc == FREEXL_OK && tooMany(rows, columns))
        rc = kTooManyCells;
    if (rc != FREEXL_OK)
        return rc;

    handle = nullptr;
    rc = freexl_open(path, &handle);
    if (rc == FREEXL_OK)
        rc = FirstSheet(handle, rows, columns);
    if (rc == FREEXL_OK && tooMany(rows, columns))
        rc = kTooManyCells;
    for (unsigned row = 0; rc == FREEXL_OK && row < rows; ++row) {
        for (unsigned short col = 0; rc == FREEXL_OK && col < columns; ++col) {
            FreeXL_CellValue value;
            rc = freexl_get_cell_value(handle, row, col, &value);
            if (rc != FREEXL_OK || value.type == FREEXL_CELL_NULL)
                continue;
            out.Put(kCell);
            out.Put(qint32(row + 1));
            out.Put(qint32(col + 1));
            if (value.type == FREEXL_CELL_INT) {
                out.Put(kInt);
                out.Put(qint32(value.value.int_value));
            } else if (value.type == FREEXL_CELL_DOUBLE) {
                out.Put(kDouble);
                out.Put(value.value.double_value);
            } else { // texts, and dates and times already written as ISO text
                const char* text = value.value.text_value ? value.value.text_value : "";
                const quint32 size = quint32(std::strlen(text));
                out.Put(kText);
                out.Put(size);
                out.Bytes(text, size);
            }
        }
    }
    if (handle)
        freexl_close(handle);
    return rc;
}

// --- The parent: reads the child's report within the limits. ---

class Report {
public:
    explicit Report(QByteArray bytes) : m_bytes(std::move(bytes)) {}
    bool AtEnd() const { return m_at >= m_bytes.size(); }
    template <typename T> bool Get(T& value) {
        if (m_at + qsizetype(sizeof value) > m_bytes.size())
            return false;
        std::memcpy(&value, m_bytes.constData() + m_at, sizeof value);
        m_at += sizeof value;
        return true;
    }
    bool GetText(quint32 size, QString& text) {
        if (m_at + qsizetype(size) > m_bytes.size())
            return false;
        text = QString::fromUtf8(m_bytes.constData() + m_at, size);
        m_at += size;
        return true;
    }

private:
    QByteArray m_bytes;
    qsizetype m_at = 0;
};

// Runs the reading in a child process and returns what it sent. A damaged workbook can make
// the library read or write outside its buffers; in a child that costs nothing but the child.
// The report is bounded by maxBytes (shared strings can repeat one long text in every cell)
// and by time.
QByteArray RunChild(const QString& path, const SpreadsheetLimits& limits) {
    const QByteArray name = QFile::encodeName(path);
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        throw Error(QString::fromLocal8Bit(std::strerror(errno)), path);
    const pid_t pid = ::fork();
    if (pid < 0) {
        const int error = errno;
        ::close(fds[0]);
        ::close(fds[1]);
        throw Error(QString::fromLocal8Bit(std::strerror(error)), path);
    }
    if (pid == 0) {
        ::close(fds[0]);
        int rc;
        {
            ChildWriter out(fds[1]);
            rc = ReadInChild(name.constData(), limits.maxCells, out);
            if (rc == FREEXL_OK) {
                out.Put(kDone);
            } else {
                out.Put(kFailure);
                out.Put(qint32(rc));
            }
        }
        _exit(0);
    }
    ::close(fds[1]);

    QByteArray report;
    bool tooLarge = false;
    bool timedOut = false;
    QElapsedTimer timer;
    timer.start();
    constexpr qint64 kTimeLimitMs = 120000;
    for (;;) {
        pollfd poller{fds[0], POLLIN, 0};
        const int ready = ::poll(&poller, 1, 1000);
        if (ready < 0 && errno != EINTR)
            break;
        if (timer.elapsed() > kTimeLimitMs) {
            timedOut = true;
            break;
        }
        if (ready <= 0)
            continue;
        char buffer[64 * 1024];
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        report.append(buffer, n);
        if (report.size() > limits.maxUnpackedBytes) {
            tooLarge = true;
            break;
        }
    }
    ::close(fds[0]);
    if (tooLarge || timedOut)
        ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (tooLarge)
        throw Error(ResStr(rsSheetTooLarge).arg(limits.maxUnpackedBytes), path);
    if (timedOut || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw Error(ResStr(rsXlsUnreadable).arg(FreeXlReason(kChildFailed)), path);
    return report;
}

} // namespace

Grid ReadXlsWorkbook(const QString& path, const SpreadsheetLimits& limits) {
    if (QFileInfo(path).size() > limits.maxUnpackedBytes)
        throw Error(ResStr(rsSheetTooLarge).arg(limits.maxUnpackedBytes), path);
    Report report(RunChild(path, limits));
    SheetCells cells(limits, path);
    const Error damaged(ResStr(rsXlsUnreadable).arg(FreeXlReason(kChildFailed)), path);
    for (;;) {
        char tag = 0;
        if (!report.Get(tag))
            throw damaged;
        if (tag == kDone)
            return cells.ToGrid();
        if (tag == kFailure) {
            qint32 code = 0;
            report.Get(code);
            if (code == kNoSheet)
                throw Error(ResStr(rsSheetMissing), path);
            if (code == kTooManyCells)
                throw Error(ResStr(rsSheetTooManyCells).arg(limits.maxCells), path);
            throw Error(ResStr(rsXlsUnreadable).arg(FreeXlReason(code)), path);
        }
        qint32 row = 0;
        qint32 col = 0;
        char kind = 0;
        if (tag != kCell || !report.Get(row) || !report.Get(col) || !report.Get(kind) || row < 1 ||
            col < 1 || row > kMaxSheetRows || col > kMaxSheetCols)
            throw damaged;
        QString text;
        if (kind == kInt) {
            qint32 value = 0;
            if (!report.Get(value))
                throw damaged;
            text = QString::number(value);
        } else if (kind == kDouble) {
            double value = 0;
            if (!report.Get(value))
                throw damaged;
            text = NumberText(value);
        } else {
            quint32 size = 0;
            if (kind != kText || !report.Get(size) || !report.GetText(size, text))
                throw damaged;
        }
        cells.Add(row, col, std::move(text));
    }
}

} // namespace velmora::core::spreadsheet
