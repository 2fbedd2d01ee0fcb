#include "base/TessiroError.h"
#include "translate/Messages.h"
#include "translate/WorkbookFormats.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <freexl.h>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

QString freexlProblem(int code)
{
    switch (code) {
    case FREEXL_INSUFFICIENT_MEMORY:
        return QStringLiteral("not enough memory");
    case FREEXL_INVALID_CFBF_HEADER:
    case FREEXL_CFBF_READ_ERROR:
    case FREEXL_CFBF_SEEK_ERROR:
    case FREEXL_CFBF_INVALID_SIGNATURE:
    case FREEXL_CFBF_INVALID_SECTOR_SIZE:
    case FREEXL_CFBF_EMPTY_FAT_CHAIN:
    case FREEXL_CFBF_ILLEGAL_FAT_ENTRY:
    case FREEXL_INVALID_MINI_STREAM:
    case FREEXL_CFBF_ILLEGAL_MINI_FAT_ENTRY:
        return QStringLiteral("its compound-document structure is damaged");
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
        return QStringLiteral("it holds no workbook stream");
    case FREEXL_BIFF_INVALID_BOF:
    case FREEXL_BIFF_INVALID_SST:
    case FREEXL_BIFF_ILLEGAL_SST_INDEX:
    case FREEXL_ILLEGAL_RK_VALUE:
    case FREEXL_ILLEGAL_CELL_ROW_COL:
    case FREEXL_CRAFTED_FILE:
        return QStringLiteral("its records are damaged");
    case FREEXL_INVALID_CHARACTER:
    case FREEXL_UNSUPPORTED_CHARSET:
        return QStringLiteral("its text is in a character set that cannot be read");
    default:
        return QStringLiteral("FreeXL error %1").arg(code);
    }
}

class XlsHandle {
public:
    ~XlsHandle()
    {
        if (handle)
            freexl_close(handle);
    }
    const void *handle = nullptr;
};

// The reading itself, by FreeXL in this process.
Worksheet readInProcess(const QString &path, const QString &openPath, const QString &table)
{
    const QString shown = QDir::toNativeSeparators(path);
    auto damaged = [&](int code) {
        return TessiroError(TranslateMessages::WorkbookDamaged.arg(shown, freexlProblem(code)));
    };

    XlsHandle xls;
    int rc = freexl_open(QFile::encodeName(openPath).constData(), &xls.handle);
    if (rc != FREEXL_OK)
        throw damaged(rc);
    unsigned int password = 0;
    if (freexl_get_info(xls.handle, FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK && password == FREEXL_BIFF_OBFUSCATED)
        throw TessiroError(
            TranslateMessages::WorkbookDamaged.arg(shown, QStringLiteral("it is protected by a password")));
    unsigned int sheetCount = 0;
    if ((rc = freexl_get_info(xls.handle, FREEXL_BIFF_SHEET_COUNT, &sheetCount)) != FREEXL_OK)
        throw damaged(rc);

    QString name;
    unsigned short index = 0;
    for (; index < sheetCount; ++index) {
        const char *utf8 = nullptr;
        if ((rc = freexl_get_worksheet_name(xls.handle, index, &utf8)) != FREEXL_OK)
            throw damaged(rc);
        name = QString::fromUtf8(utf8);
        if (name.toLower() == table)
            break;
    }
    if (index == sheetCount)
        throw TessiroError(TranslateMessages::SheetMissing.arg(shown, table));

    auto sheetDamaged = [&](int code) {
        return TessiroError(TranslateMessages::SheetDamaged.arg(shown, name, freexlProblem(code)));
    };
    unsigned int rows = 0;
    unsigned short columns = 0;
    if ((rc = freexl_select_active_worksheet(xls.handle, index)) != FREEXL_OK ||
        (rc = freexl_worksheet_dimensions(xls.handle, &rows, &columns)) != FREEXL_OK)
        throw sheetDamaged(rc);

    SheetCells cells;
    cells.reserve(int(std::min(rows, 65536u)), columns);
    for (unsigned int r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue value;
            if ((rc = freexl_get_cell_value(xls.handle, r, c, &value)) != FREEXL_OK)
                throw sheetDamaged(rc);
            QString text;
            switch (value.type) {
            case FREEXL_CELL_INT:
                text = QString::number(value.value.int_value);
                break;
            case FREEXL_CELL_DOUBLE:
                text = numberCellText(value.value.double_value);
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME:
                text = QString::fromUtf8(value.value.text_value);
                break;
            default: // FREEXL_CELL_NULL, and formula cells, whose values FreeXL does not give
                break;
            }
            switch (cells.set(int(r), int(c), std::move(text))) {
            case SheetCells::Placed::Set:
                break;
            case SheetCells::Placed::OutsideSheet:
                throw sheetDamaged(FREEXL_ILLEGAL_CELL_ROW_COL);
            case SheetCells::Placed::TooManyCells:
                throw TessiroError(TranslateMessages::SheetDamaged.arg(
                    shown, name,
                    TranslateMessages::SheetTooLarge.arg(cells.rows()).arg(cells.columns()).arg(MaxSheetCells)));
            }
        }
    }
    return cells.finish(path, name, true);
}

#ifdef Q_OS_UNIX
// What the reading process sends back.
enum class Outcome : quint8 { Sheet, Refused };

// Reads in a child process and takes back its worksheet or its message: FreeXL
// 1.0.6 reads past a buffer on some damaged files (seen by the fuzzer), and a
// fault of the library must end only the child. The child is stopped after a
// minute in case the library loops.
Worksheet readInChild(const QString &path, const QString &openPath, const QString &table)
{
    const QString shown = QDir::toNativeSeparators(path);
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
        throw TessiroError(TranslateMessages::WorkbookUnreadable.arg(shown, qt_error_string(errno)));
    const pid_t child = ::fork();
    if (child < 0) {
        const int error = errno;
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        throw TessiroError(TranslateMessages::WorkbookUnreadable.arg(shown, qt_error_string(error)));
    }
    if (child == 0) {
        ::close(pipeEnds[0]);
        ::alarm(60);
        QByteArray message;
        QDataStream out(&message, QIODevice::WriteOnly);
        try {
            const Worksheet sheet = readInProcess(path, openPath, table);
            out << Outcome::Sheet << sheet.name << qint32(sheet.columnCount) << sheet.records;
        } catch (const TessiroError &e) {
            out << Outcome::Refused << e.message();
        } catch (const std::bad_alloc &) {
            out << Outcome::Refused
                << TranslateMessages::WorkbookDamaged.arg(shown, freexlProblem(FREEXL_INSUFFICIENT_MEMORY));
        }
        for (qsizetype sent = 0; sent < message.size();) {
            const ssize_t n = ::write(pipeEnds[1], message.constData() + sent, size_t(message.size() - sent));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                ::_exit(1);
            sent += n;
        }
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    QByteArray received;
    char chunk[1 << 16];
    for (;;) {
        const ssize_t n = ::read(pipeEnds[0], chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        received.append(chunk, qsizetype(n));
    }
    ::close(pipeEnds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    QDataStream in(received);
    Outcome outcome{};
    in >> outcome;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || in.status() != QDataStream::Ok)
        throw TessiroError(TranslateMessages::WorkbookDamaged.arg(
            shown, QStringLiteral("the .xls reader stopped on its damaged records")));
    if (outcome == Outcome::Refused) {
        QString message;
        in >> message;
        throw TessiroError(message);
    }
    Worksheet sheet;
    sheet.workbookPath = path;
    sheet.formulasUnread = true;
    qint32 columns = 0;
    in >> sheet.name >> columns >> sheet.records;
    sheet.columnCount = columns;
    return sheet;
}
#endif

} // namespace

Worksheet readXlsWorksheet(const QString &path, const QString &openPath, const QString &table)
{
#ifdef Q_OS_UNIX
    return readInChild(path, openPath, table);
#else
    return readInProcess(path, openPath, table);
#endif
}
