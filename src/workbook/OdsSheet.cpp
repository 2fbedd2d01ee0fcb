// The .ods reader: one table of content.xml.
#include "base/TessiroError.h"
#include "workbook/Messages.h"
#include "workbook/WorkbookFormats.h"

#include <QDir>
#include <QRegularExpression>
#include <algorithm>
#include <cstring>
#include <pugixml.hpp>
#include <utility>

namespace {

const char *localName(const char *name)
{
    const char *colon = std::strchr(name, ':');
    return colon ? colon + 1 : name;
}

bool isNamed(pugi::xml_node node, const char *name)
{
    return node.type() == pugi::node_element && std::strcmp(localName(node.name()), name) == 0;
}

// An attribute by local name: writers agree on the namespaces, not the prefixes.
pugi::xml_attribute attr(pugi::xml_node node, const char *name)
{
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute())
        if (std::strcmp(localName(a.name()), name) == 0)
            return a;
    return {};
}

// Far above what a spreadsheet cell holds; <text:s text:c="32767"/> would
// otherwise let a few bytes of markup stand for gigabytes of spaces.
constexpr qsizetype MaxCellChars = 1 << 20;

// The text a cell shows: its paragraphs, one a line, with the spaces, tabs and
// line breaks that the markup stands for; comments are not part of it. Stops
// growing past MaxCellChars.
QString cellText(pugi::xml_node cell)
{
    QString text;
    bool firstParagraph = true;
    for (pugi::xml_node p = cell.first_child(); p; p = p.next_sibling()) {
        if (!isNamed(p, "p"))
            continue;
        if (!firstParagraph)
            text += u'\n';
        firstParagraph = false;
        // Spans and links nest: walked without recursion.
        for (pugi::xml_node n = p.first_child(); n && n != p && text.size() <= MaxCellChars;) {
            if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) {
                text += QString::fromUtf8(n.value());
            } else if (isNamed(n, "s")) {
                text += QString(std::clamp(attr(n, "c").as_int(1), 1, 32767), u' ');
            } else if (isNamed(n, "tab")) {
                text += u'\t';
            } else if (isNamed(n, "line-break")) {
                text += u'\n';
            } else if (n.type() == pugi::node_element && !isNamed(n, "annotation") && n.first_child()) {
                n = n.first_child();
                continue;
            }
            while (n != p && !n.next_sibling())
                n = n.parent();
            if (n != p)
                n = n.next_sibling();
        }
    }
    return text;
}

// "PT10H30M05S" -> "10:30:05".
QString timeText(const QString &duration)
{
    static const QRegularExpression re(QStringLiteral("^-?P(?:\\d+D)?T(\\d+)H(\\d+)M(\\d+)(?:[.,]\\d+)?S$"));
    const QRegularExpressionMatch m = re.match(duration);
    if (!m.hasMatch())
        return duration;
    return QStringLiteral("%1:%2:%3")
        .arg(m.captured(1).toInt(), 2, 10, QChar(u'0'))
        .arg(m.captured(2).toInt(), 2, 10, QChar(u'0'))
        .arg(m.captured(3).toInt(), 2, 10, QChar(u'0'));
}

// The attributes a cell's value is read from, found in one pass over them: each
// the first of its local name, as attr() finds it.
struct CellAttributes {
    explicit CellAttributes(pugi::xml_node cell)
    {
        const std::pair<const char *, pugi::xml_attribute *> wanted[] = {{"number-columns-repeated", &repeated},
                                                                         {"value-type", &type},
                                                                         {"value", &value},
                                                                         {"date-value", &date},
                                                                         {"time-value", &time},
                                                                         {"boolean-value", &boolean},
                                                                         {"string-value", &string}};
        for (pugi::xml_attribute a = cell.first_attribute(); a; a = a.next_attribute()) {
            const char *name = localName(a.name());
            for (const auto &[local, found] : wanted)
                if (local[0] == name[0] && std::strcmp(name, local) == 0) {
                    if (!*found)
                        *found = a;
                    break;
                }
            if (!calcextType && name[0] == 'v' && std::strcmp(a.name(), "calcext:value-type") == 0)
                calcextType = a;
        }
    }
    pugi::xml_attribute repeated, type, value, date, time, boolean, string, calcextType;
};

struct OdsCell {
    int column;
    QString text;
    CellValue value;
};

} // namespace

Worksheet readOdsWorksheet(const QString &path, const QByteArray &data, const QString &table)
{
    const QString shown = QDir::toNativeSeparators(path);
    pugi::xml_document content;
    parseZipPart(path, data, QStringLiteral("content.xml"), content);

    pugi::xml_node sheet;
    QString name;
    for (pugi::xml_node body = content.document_element().first_child(); body && !sheet; body = body.next_sibling()) {
        if (!isNamed(body, "body"))
            continue;
        for (pugi::xml_node s = body.first_child(); s && !sheet; s = s.next_sibling()) {
            if (!isNamed(s, "spreadsheet"))
                continue;
            for (pugi::xml_node t = s.first_child(); t; t = t.next_sibling()) {
                const QString tableName = QString::fromUtf8(attr(t, "name").value());
                if (isNamed(t, "table") && tableName.toLower() == table) {
                    sheet = t;
                    name = tableName;
                    break;
                }
            }
        }
    }
    if (!sheet)
        throw TessiroError(WorkbookMessages::SheetMissing.arg(shown, table));
    auto sheetDamaged = [&](const QString &problem) {
        return TessiroError(WorkbookMessages::SheetDamaged.arg(shown, name, problem));
    };

    SheetCells cells;
    qint64 row = 0;
    QList<OdsCell> rowCells;
    // Rows stand in the table or in groups of rows (header rows, row groups).
    for (pugi::xml_node n = sheet.first_child(); n && n != sheet;) {
        if (isNamed(n, "table-header-rows") || isNamed(n, "table-rows") || isNamed(n, "table-row-group")) {
            if (n.first_child()) {
                n = n.first_child();
                continue;
            }
        } else if (isNamed(n, "table-row")) {
            const qint64 rowRepeat = std::max<qint64>(1, attr(n, "number-rows-repeated").as_llong(1));
            rowCells.clear();
            qint64 column = 0;
            for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling()) {
                if (!isNamed(c, "table-cell") && !isNamed(c, "covered-table-cell"))
                    continue;
                const CellAttributes attributes(c);
                const qint64 repeat = std::max<qint64>(1, attributes.repeated.as_llong(1));
                const char *type = attributes.type.value();
                OdsCell cell{0, {}, {CellKind::Text}};
                if (std::strcmp(attributes.calcextType.value(), "error") == 0) {
                    cell.text = cellText(c);
                    cell.value = {CellKind::Error};
                } else if (std::strcmp(type, "float") == 0 || std::strcmp(type, "percentage") == 0 ||
                           std::strcmp(type, "currency") == 0) {
                    const double number = attributes.value.as_double();
                    const NumberFormat format = type[0] == 'f'   ? NumberFormat::General
                                                : type[0] == 'p' ? NumberFormat::Percent
                                                                 : NumberFormat::Currency;
                    cell.text = cells.shownText(number, format);
                    cell.value = {CellKind::Number, format, number};
                } else if (std::strcmp(type, "date") == 0) {
                    QString value = QString::fromUtf8(attributes.date.value());
                    const bool withTime = value.contains(u'T');
                    value.replace(u'T', u' ');
                    if (value.contains(u'.'))
                        value.truncate(value.indexOf(u'.'));
                    cell.text = value;
                    cell.value = {CellKind::Number, withTime ? NumberFormat::DateTime : NumberFormat::Date};
                } else if (std::strcmp(type, "time") == 0) {
                    cell.text = timeText(QString::fromUtf8(attributes.time.value()));
                    cell.value = {CellKind::Number, NumberFormat::Time};
                } else if (std::strcmp(type, "boolean") == 0) {
                    const bool on = attributes.boolean.as_bool();
                    cell.text = on ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
                    cell.value = {CellKind::Boolean, NumberFormat::General, on ? 1.0 : 0.0};
                } else {
                    const pugi::xml_attribute stringValue = attributes.string;
                    cell.text = stringValue ? QString::fromUtf8(stringValue.value()) : cellText(c);
                }
                if (cell.text.size() > MaxCellChars)
                    throw sheetDamaged(QStringLiteral("a cell in row %1 holds more than %2 characters")
                                           .arg(row + 1)
                                           .arg(MaxCellChars));
                if (!cell.text.isEmpty()) {
                    if (column + repeat > 16384)
                        throw sheetDamaged(QStringLiteral("a cell lies outside the sheet in row %1").arg(row + 1));
                    for (qint64 k = 0; k < repeat; ++k) {
                        cell.column = int(column + k);
                        rowCells << cell;
                    }
                }
                column += repeat;
            }
            if (!rowCells.isEmpty()) {
                if (row + rowRepeat > 1048576)
                    throw sheetDamaged(QStringLiteral("a cell lies outside the sheet in row %1").arg(row + 1));
                for (qint64 k = 0; k < rowRepeat; ++k)
                    for (const OdsCell &cell : std::as_const(rowCells))
                        if (const QString problem = cells.placeProblem(
                                cells.set(int(row + k), cell.column, cell.text, cell.value), row + k);
                            !problem.isNull())
                            throw sheetDamaged(problem);
            }
            row = std::min<qint64>(row + rowRepeat, qint64(1) << 40);
        }
        while (n != sheet && !n.next_sibling())
            n = n.parent();
        if (n != sheet)
            n = n.next_sibling();
    }
    return cells.finish(path, name, false);
}
