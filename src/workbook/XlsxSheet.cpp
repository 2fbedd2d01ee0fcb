#include "base/TessiroError.h"
#include "workbook/Messages.h"
#include "workbook/WorkbookFormats.h"
#include "workbook/ZipArchive.h"

#include <QDir>
#include <QHash>
#include <algorithm>
#include <cstring>
#include <pugixml.hpp>

namespace {

const char *localName(const char *name)
{
    const char *colon = std::strchr(name, ':');
    return colon ? colon + 1 : name;
}

// Writers differ in namespace prefixes; the parts are found by local names.
pugi::xml_node child(pugi::xml_node parent, const char *name)
{
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling())
        if (n.type() == pugi::node_element && std::strcmp(localName(n.name()), name) == 0)
            return n;
    return {};
}

bool isNamed(pugi::xml_node node, const char *name)
{
    return node.type() == pugi::node_element && std::strcmp(localName(node.name()), name) == 0;
}

// Text of a shared string or an inline string: a plain <t>, or the <t> of each
// rich-text run; phonetic hints (<rPh>) are not part of the value.
QString stringItemText(pugi::xml_node item)
{
    QString text;
    for (pugi::xml_node n = item.first_child(); n; n = n.next_sibling()) {
        if (isNamed(n, "t"))
            text += QString::fromUtf8(n.text().get());
        else if (isNamed(n, "r"))
            text += QString::fromUtf8(child(n, "t").text().get());
    }
    return text;
}

// "B12" -> column 1, row 11; false when ref is not a cell reference.
bool parseCellRef(const char *ref, int *row, int *column)
{
    int c = 0;
    const char *p = ref;
    for (; *p >= 'A' && *p <= 'Z'; ++p) {
        c = c * 26 + (*p - 'A' + 1);
        if (c > 100000)
            return false;
    }
    int r = 0;
    const char *digits = p;
    for (; *p >= '0' && *p <= '9'; ++p) {
        r = r * 10 + (*p - '0');
        if (r > 10000000)
            return false;
    }
    if (p == ref || p == digits || *p || c == 0 || r == 0)
        return false;
    *row = r - 1;
    *column = c - 1;
    return true;
}

// A number cell's value as QString::toDouble() reads it; the whole numbers that
// fill most cells are read straight from their digits.
double numberValue(const char *raw, bool *ok)
{
    const bool negative = raw[0] == '-';
    qint64 magnitude = 0;
    int digits = 0;
    for (const char *p = raw + (negative ? 1 : 0); *p; ++p, ++digits) {
        if (*p < '0' || *p > '9' || digits == 15)
            return QString::fromUtf8(raw).toDouble(ok);
        magnitude = magnitude * 10 + (*p - '0');
    }
    if (digits == 0)
        return QString::fromUtf8(raw).toDouble(ok);
    *ok = true;
    return negative ? -double(magnitude) : double(magnitude);
}

class XlsxPackage {
public:
    XlsxPackage(const QString &path, const QByteArray &data)
        : m_shown(QDir::toNativeSeparators(path)), m_zip(open(data))
    {
    }

    TessiroError damaged(const QString &problem) const
    {
        return TessiroError(WorkbookMessages::WorkbookDamaged.arg(m_shown, problem));
    }
    const QString &shown() const { return m_shown; }

    bool has(const QString &name) const { return m_zip.contains(name); }

    // Parses the part name; a missing part is damage unless optional.
    bool parse(const QString &name, pugi::xml_document &doc, bool optional = false)
    {
        if (optional && !has(name))
            return false;
        QByteArray bytes;
        try {
            bytes = m_zip.read(name);
        } catch (const ZipError &e) {
            throw damaged(e.problem());
        }
        const pugi::xml_parse_result result =
            doc.load_buffer(bytes.constData(), size_t(bytes.size()), pugi::parse_default | pugi::parse_ws_pcdata);
        if (!result)
            throw damaged(QStringLiteral("its part %1 is not valid XML: %2 (at byte %3)")
                              .arg(name, QString::fromUtf8(result.description()))
                              .arg(qlonglong(result.offset)));
        return true;
    }

    // Relationship targets of a part, as full part names: Id -> name, and the
    // name of the first relationship whose type ends with typeSuffix.
    struct Rels {
        QHash<QString, QString> byId;
        QString ofType;
    };
    Rels rels(const QString &partDir, const QString &relsName, const char *typeSuffix)
    {
        Rels out;
        pugi::xml_document doc;
        if (!parse(relsName, doc, true))
            return out;
        for (pugi::xml_node r = doc.document_element().first_child(); r; r = r.next_sibling()) {
            if (!isNamed(r, "Relationship"))
                continue;
            QString target = QString::fromUtf8(r.attribute("Target").value());
            target = target.startsWith(u'/') ? target.mid(1) : QDir::cleanPath(partDir + target);
            out.byId.insert(QString::fromUtf8(r.attribute("Id").value()), target);
            const QString type = QString::fromUtf8(r.attribute("Type").value());
            if (out.ofType.isEmpty() && type.endsWith(QLatin1String(typeSuffix)))
                out.ofType = target;
        }
        return out;
    }

private:
    ZipArchive open(const QByteArray &data) const
    {
        try {
            return ZipArchive(data);
        } catch (const ZipError &e) {
            throw damaged(e.problem());
        }
    }

    QString m_shown;
    ZipArchive m_zip;
};

QString directoryOf(const QString &part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return slash < 0 ? QString() : part.left(slash + 1);
}

QString relsOf(const QString &part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) + QStringLiteral(".rels");
}

} // namespace

void parseZipPart(const QString &path, const QByteArray &data, const QString &part, pugi::xml_document &doc)
{
    XlsxPackage package(path, data);
    package.parse(part, doc);
}

Worksheet readXlsxWorksheet(const QString &path, const QByteArray &data, const QString &table)
{
    XlsxPackage package(path, data);

    QString workbookPart = package.rels(QString(), QStringLiteral("_rels/.rels"), "/officeDocument").ofType;
    if (workbookPart.isEmpty())
        workbookPart = QStringLiteral("xl/workbook.xml");
    // Another kind of zip (a .docx, an .ods): not an Excel workbook at all.
    if (!package.has(workbookPart))
        throw TessiroError(WorkbookMessages::NotAWorkbook.arg(package.shown()));
    pugi::xml_document workbook;
    package.parse(workbookPart, workbook);
    const XlsxPackage::Rels rels = package.rels(directoryOf(workbookPart), relsOf(workbookPart), "/sharedStrings");

    QString name;
    QString sheetPart;
    for (pugi::xml_node s = child(child(workbook.document_element(), "sheets"), "sheet"); s; s = s.next_sibling()) {
        if (!isNamed(s, "sheet"))
            continue;
        const QString sheetName = QString::fromUtf8(s.attribute("name").value());
        if (sheetName.toLower() != table)
            continue;
        name = sheetName;
        for (pugi::xml_attribute a = s.first_attribute(); a; a = a.next_attribute())
            if (std::strchr(a.name(), ':') && std::strcmp(localName(a.name()), "id") == 0)
                sheetPart = rels.byId.value(QString::fromUtf8(a.value()));
        if (sheetPart.isEmpty())
            throw package.damaged(QStringLiteral("worksheet \"%1\" has no part").arg(name));
        break;
    }
    if (name.isEmpty())
        throw TessiroError(WorkbookMessages::SheetMissing.arg(package.shown(), table));

    // Number formats by cell style: what tells a date or an amount from a number.
    QList<NumberFormat> styleFormats;
    {
        QString stylesPart = package.rels(directoryOf(workbookPart), relsOf(workbookPart), "/styles").ofType;
        pugi::xml_document styles;
        if (!stylesPart.isEmpty() && package.parse(stylesPart, styles, true)) {
            const pugi::xml_node root = styles.document_element();
            QHash<int, QString> codes;
            for (pugi::xml_node f = child(child(root, "numFmts"), "numFmt"); f; f = f.next_sibling())
                if (isNamed(f, "numFmt"))
                    codes.insert(f.attribute("numFmtId").as_int(),
                                 QString::fromUtf8(f.attribute("formatCode").value()));
            for (pugi::xml_node x = child(child(root, "cellXfs"), "xf"); x; x = x.next_sibling())
                if (isNamed(x, "xf")) {
                    const int id = x.attribute("numFmtId").as_int();
                    styleFormats << classifyNumberFormat(id, codes.value(id));
                }
        }
    }
    const pugi::xml_attribute date1904 = child(workbook.document_element(), "workbookPr").attribute("date1904");

    QStringList shared;
    pugi::xml_document sst;
    if (!rels.ofType.isEmpty() && package.parse(rels.ofType, sst, true))
        for (pugi::xml_node si = sst.document_element().first_child(); si; si = si.next_sibling())
            if (isNamed(si, "si"))
                shared << stringItemText(si);
    sst.reset();

    pugi::xml_document sheetDoc;
    package.parse(sheetPart, sheetDoc);
    auto sheetDamaged = [&](const QString &problem) {
        return TessiroError(WorkbookMessages::SheetDamaged.arg(package.shown(), name, problem));
    };

    SheetCells cells;
    cells.setDate1904(date1904.as_bool());
    int row = -1;
    for (pugi::xml_node r = child(child(sheetDoc.document_element(), "sheetData"), "row"); r; r = r.next_sibling()) {
        if (!isNamed(r, "row"))
            continue;
        const pugi::xml_attribute rowNumber = r.attribute("r");
        row = rowNumber ? int(rowNumber.as_uint()) - 1 : row + 1;
        int column = -1;
        for (pugi::xml_node c = r.first_child(); c; c = c.next_sibling()) {
            if (!isNamed(c, "c"))
                continue;
            int cellRow = row;
            const pugi::xml_attribute ref = c.attribute("r");
            if (!ref)
                ++column;
            else if (!parseCellRef(ref.value(), &cellRow, &column) || cellRow != row)
                throw sheetDamaged(QStringLiteral("cell reference \"%1\" in row %2").arg(ref.value()).arg(row + 1));
            const char *type = c.attribute("t").value();
            const pugi::xml_node v = child(c, "v");
            QString text;
            CellValue value{CellKind::Text};
            if (std::strcmp(type, "s") == 0) {
                if (!v)
                    continue;
                const qsizetype index = qsizetype(v.text().as_llong(-1));
                if (index < 0 || index >= shared.size())
                    throw sheetDamaged(QStringLiteral("cell %1%2 names a missing shared string")
                                           .arg(columnLetters(column))
                                           .arg(row + 1));
                text = shared[index];
            } else if (std::strcmp(type, "inlineStr") == 0) {
                text = stringItemText(child(c, "is"));
            } else if (std::strcmp(type, "e") == 0) {
                text = QString::fromUtf8(v.text().get());
                value = {CellKind::Error};
            } else if (std::strcmp(type, "b") == 0) {
                if (!v)
                    continue;
                const bool on = v.text().as_int() != 0;
                text = on ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
                value = {CellKind::Boolean, NumberFormat::General, on ? 1.0 : 0.0};
            } else if (std::strcmp(type, "d") == 0) {
                // An ISO 8601 date, as the strict form of the format writes it.
                text = QString::fromUtf8(v.text().get()).replace(u'T', u' ');
                value = {CellKind::Number, text.contains(u':') ? NumberFormat::DateTime : NumberFormat::Date};
            } else if (std::strcmp(type, "str") == 0) {
                text = QString::fromUtf8(v.text().get());
            } else if (v) {
                const char *raw = v.text().get();
                bool ok = false;
                const double number = numberValue(raw, &ok);
                const qsizetype style = qsizetype(c.attribute("s").as_llong(0));
                const NumberFormat format =
                    style >= 0 && style < styleFormats.size() ? styleFormats[style] : NumberFormat::General;
                if (ok && format == NumberFormat::Boolean) {
                    text = number != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
                    value = {CellKind::Boolean, NumberFormat::General, number != 0 ? 1.0 : 0.0};
                } else if (ok) {
                    text = cells.shownText(number, format);
                    value = {CellKind::Number, format, number};
                } else {
                    text = QString::fromUtf8(raw);
                }
            }
            const SheetCells::Placed placed = cells.set(row, column, std::move(text), value);
            if (const QString problem = cells.placeProblem(placed, row); !problem.isNull())
                throw sheetDamaged(problem);
        }
    }
    return cells.finish(path, name, false);
}
