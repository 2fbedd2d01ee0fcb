// The export's .xlsx, through libxlsxwriter's C API; the only file that uses it.
#include "workbook/XlsxWriter.h"

#include "base/TessiroError.h"
#include "workbook/Messages.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <optional>
#include <xlsxwriter.h>

namespace {

// Excel's limit on the text of one cell.
constexpr qsizetype MaxCellText = 32767;

QString columnName(int column)
{
    QString letters;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters;
}

// The field's value when it is plain decimal (see isPlainDecimal()).
std::optional<qint32> plainDecimal(const QString &field)
{
    const qsizetype start = field.startsWith(u'-') ? 1 : 0;
    const qsizetype digits = field.size() - start;
    if (digits < 1 || digits > 10 || (field[start] == u'0' && (digits > 1 || start == 1)))
        return std::nullopt;
    qint64 magnitude = 0;
    for (qsizetype i = start; i < field.size(); ++i) {
        if (field[i] < u'0' || field[i] > u'9')
            return std::nullopt;
        magnitude = magnitude * 10 + (field[i].unicode() - u'0');
    }
    const qint64 value = start ? -magnitude : magnitude;
    if (value < -2147483648LL || value > 2147483647LL)
        return std::nullopt;
    return qint32(value);
}

} // namespace

bool isPlainDecimal(const QString &field)
{
    return plainDecimal(field).has_value();
}

QByteArray xlsxBytes(const QString &sheetName, const QList<QStringList> &lines, const QString &shownPath)
{
    auto failed = [&](const QString &reason) {
        return TessiroError(WorkbookMessages::CannotWriteXlsx.arg(QDir::toNativeSeparators(shownPath), reason));
    };
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
    lxw_workbook *workbook = workbook_new_opt(path.constData(), &options);
    if (!workbook)
        throw failed(QStringLiteral("the workbook cannot be created"));
    const QByteArray name = sheetName.toUtf8();
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, name.constData());
    QString problem = sheet ? QString() : QStringLiteral("the worksheet cannot be added");
    for (qsizetype r = 0; r < lines.size() && problem.isEmpty(); ++r) {
        const QStringList &line = lines[r];
        for (qsizetype c = 0; c < line.size() && problem.isEmpty(); ++c) {
            const QString &field = line[c];
            if (field.isEmpty())
                continue;
            const auto row = lxw_row_t(r);
            const auto column = lxw_col_t(c);
            // Named only in a message: thousands of cells are written.
            auto cell = [&] { return columnName(int(c)) + QString::number(r + 1); };
            if (field.size() > MaxCellText) {
                problem = QStringLiteral("cell %1 would hold %2 characters, more than the %3 a cell holds")
                              .arg(cell())
                              .arg(field.size())
                              .arg(MaxCellText);
                break;
            }
            const std::optional<qint32> number = plainDecimal(field);
            const lxw_error error =
                number ? worksheet_write_number(sheet, row, column, double(*number), nullptr)
                       : worksheet_write_string(sheet, row, column, field.toUtf8().constData(), nullptr);
            if (error != LXW_NO_ERROR)
                problem = QStringLiteral("cell %1: %2").arg(cell(), QString::fromUtf8(lxw_strerror(error)));
        }
    }
    // Closing frees the workbook even when it fails.
    const lxw_error closed = workbook_close(workbook);
    if (!problem.isEmpty())
        throw failed(problem);
    if (closed != LXW_NO_ERROR)
        throw failed(QString::fromUtf8(lxw_strerror(closed)));
    QFile file(QFile::decodeName(path));
    if (!file.open(QIODevice::ReadOnly))
        throw failed(file.errorString());
    return file.readAll();
}
