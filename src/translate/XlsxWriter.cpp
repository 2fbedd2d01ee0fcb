// The export's .xlsx, through libxlsxwriter's C API; the only file that uses it.
#include "translate/XlsxWriter.h"

#include "base/TessiroError.h"
#include "translate/Messages.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <xlsxwriter.h>
#ifdef TESSIRO_XLSXWRITER_SONAME
#include <dlfcn.h>
#endif

namespace {

// The few functions of libxlsxwriter that the export calls.
struct XlsxWriterApi {
    decltype(&workbook_new_opt) workbookNew = nullptr;
    decltype(&workbook_add_worksheet) addWorksheet = nullptr;
    decltype(&worksheet_write_number) writeNumber = nullptr;
    decltype(&worksheet_write_string) writeString = nullptr;
    decltype(&workbook_close) workbookClose = nullptr;
    decltype(&lxw_strerror) strerror = nullptr;
    // Why the library could not be loaded; empty when it was.
    QString error;
};

#ifdef TESSIRO_XLSXWRITER_SONAME
// QuaZip, which the workbook readers link, carries minizip's zip functions under
// their own names; linked the usual way, libxlsxwriter would call those with its
// minizip's arguments and crash. Loaded into a namespace of its own, it sees only
// its own dependencies (RTLD_DEEPBIND would too, but the sanitizers refuse it).
template <typename Function> void bind(void *library, const char *name, Function &function, QString &error)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
    if (!function && error.isEmpty())
        error = QStringLiteral("libxlsxwriter has no function %1").arg(QString::fromLatin1(name));
}

XlsxWriterApi loadApi()
{
    XlsxWriterApi api;
    void *library = dlmopen(LM_ID_NEWLM, TESSIRO_XLSXWRITER_SONAME, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        api.error = QString::fromLocal8Bit(dlerror());
        return api;
    }
    bind(library, "workbook_new_opt", api.workbookNew, api.error);
    bind(library, "workbook_add_worksheet", api.addWorksheet, api.error);
    bind(library, "worksheet_write_number", api.writeNumber, api.error);
    bind(library, "worksheet_write_string", api.writeString, api.error);
    bind(library, "workbook_close", api.workbookClose, api.error);
    bind(library, "lxw_strerror", api.strerror, api.error);
    return api;
}
#else
XlsxWriterApi loadApi()
{
    return {&workbook_new_opt,
            &workbook_add_worksheet,
            &worksheet_write_number,
            &worksheet_write_string,
            &workbook_close,
            &lxw_strerror,
            {}};
}
#endif

const XlsxWriterApi &xlsxWriter()
{
    static const XlsxWriterApi api = loadApi();
    return api;
}

// Excel's limit on the text of one cell.
constexpr qsizetype MaxCellText = 32767;

QString columnName(int column)
{
    QString letters;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters;
}

} // namespace

bool isPlainDecimal(const QString &field)
{
    const qsizetype start = field.startsWith(u'-') ? 1 : 0;
    const qsizetype digits = field.size() - start;
    if (digits < 1 || digits > 10 || (field[start] == u'0' && (digits > 1 || start == 1)))
        return false;
    for (qsizetype i = start; i < field.size(); ++i)
        if (field[i] < u'0' || field[i] > u'9')
            return false;
    const qint64 value = field.toLongLong();
    return value >= -2147483648LL && value <= 2147483647LL;
}

QByteArray xlsxBytes(const QString &sheetName, const QList<QStringList> &lines, const QString &shownPath)
{
    auto failed = [&](const QString &reason) {
        return TessiroError(TranslateMessages::CannotWriteXlsx.arg(QDir::toNativeSeparators(shownPath), reason));
    };
    const XlsxWriterApi &lxw = xlsxWriter();
    if (!lxw.error.isEmpty())
        throw failed(lxw.error);
    // libxlsxwriter writes to a file and keeps its own scratch files: both go in a
    // folder of ours, removed whatever happens.
    QTemporaryDir dir;
    if (!dir.isValid())
        throw failed(dir.errorString());
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("export.xlsx")));
    const QByteArray tmpdir = QFile::encodeName(dir.path());
    lxw_workbook_options options{};
    // Rows go out as they are written: little memory, and texts inline.
    options.constant_memory = LXW_TRUE;
    options.tmpdir = const_cast<char *>(tmpdir.constData());
    lxw_workbook *workbook = lxw.workbookNew(path.constData(), &options);
    if (!workbook)
        throw failed(QStringLiteral("the workbook cannot be created"));
    const QByteArray name = sheetName.toUtf8();
    lxw_worksheet *sheet = lxw.addWorksheet(workbook, name.constData());
    QString problem = sheet ? QString() : QStringLiteral("the worksheet cannot be added");
    for (qsizetype r = 0; r < lines.size() && problem.isEmpty(); ++r) {
        const QStringList &line = lines[r];
        for (qsizetype c = 0; c < line.size() && problem.isEmpty(); ++c) {
            const QString &field = line[c];
            if (field.isEmpty())
                continue;
            const auto row = lxw_row_t(r);
            const auto column = lxw_col_t(c);
            const QString cell = columnName(int(c)) + QString::number(r + 1);
            if (field.size() > MaxCellText) {
                problem = QStringLiteral("cell %1 would hold %2 characters, more than the %3 a cell holds")
                              .arg(cell)
                              .arg(field.size())
                              .arg(MaxCellText);
                break;
            }
            const lxw_error error = isPlainDecimal(field)
                                        ? lxw.writeNumber(sheet, row, column, field.toDouble(), nullptr)
                                        : lxw.writeString(sheet, row, column, field.toUtf8().constData(), nullptr);
            if (error != LXW_NO_ERROR)
                problem = QStringLiteral("cell %1: %2").arg(cell, QString::fromUtf8(lxw.strerror(error)));
        }
    }
    // Closing frees the workbook even when it fails.
    const lxw_error closed = lxw.workbookClose(workbook);
    if (!problem.isEmpty())
        throw failed(problem);
    if (closed != LXW_NO_ERROR)
        throw failed(QString::fromUtf8(lxw.strerror(closed)));
    QFile file(QFile::decodeName(path));
    if (!file.open(QIODevice::ReadOnly))
        throw failed(file.errorString());
    return file.readAll();
}
