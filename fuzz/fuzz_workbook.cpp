// Workbooks (.xls through the compound-file and BIFF8 reader, .xlsx and .ods
// through the zip reader): whatever bytes an import
// is given, it ends in a worksheet whose records are as wide as the sheet, or in
// messages that name the workbook; never a crash, a hang or memory without bound.
// Bytes that are neither a zip nor a compound document are also read as the
// worksheet of a small .xlsx made around them, so that mutations reach the
// sheet's XML without having to forge the zip's checksums.
#include "FuzzSupport.h"
#include "base/TessiroError.h"
#include "support/ZipWriter.h"
#include "workbook/TableImport.h"

namespace {

const QByteArray ZipMagic("PK\x03\x04", 4);
const QByteArray CompoundFileMagic("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

// Stored, not deflated: the run's time goes to the reader.
QByteArray workbookAround(const QByteArray &sheetXml)
{
    return makeZip(
        {{"xl/workbook.xml",
          "<workbook xmlns:r=\"r\"><sheets><sheet name=\"Sdo\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>",
          false},
         {"xl/_rels/workbook.xml.rels",
          "<Relationships><Relationship Id=\"rId1\" Type=\"x/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
          "<Relationship Id=\"rId2\" Type=\"x/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>",
          false},
         {"xl/sharedStrings.xml", "<sst><si><t>index</t></si><si><r><t>0x</t></r><r><t>181</t></r></si></sst>", false},
         {"xl/worksheets/sheet1.xml", sheetXml, false}});
}

// Takes every record, reading its first field as an integer as the tables do.
class AnyTable : public ImportTarget {
public:
    void clearForImport() override {}
    RowTaken takeRecord(const ImportRecord &record) override
    {
        if (++m_taken > 100)
            return RowTaken::NoRoom;
        record.integer(0);
        return RowTaken::Taken;
    }

private:
    int m_taken = 0;
};

void import(const QString &path, const QString &table)
{
    Worksheet sheet;
    try {
        sheet = readWorksheet(path, table);
    } catch (const TessiroError &e) {
        if (!e.message().contains(path))
            fuzzFail("a refusal does not name the workbook");
        return;
    }
    for (const QStringList &record : sheet.records)
        if (record.size() != sheet.columnCount)
            fuzzFail("a record is not as wide as the sheet");
    if (sheet.values.size() != sheet.records.size())
        fuzzFail("the cells' kinds are not given for every record");
    for (const QList<CellValue> &values : sheet.values)
        if (values.size() != sheet.columnCount)
            fuzzFail("a record's kinds are not as wide as the sheet");
    if (!sheet.records.isEmpty()) {
        bool valued = false;
        for (const QString &field : sheet.records.constLast())
            valued |= !field.isEmpty();
        if (!valued)
            fuzzFail("the last record holds no value");
    }
    AnyTable target;
    const ImportOutcome outcome = importWorksheet(sheet, {.table = table, .columns = 1}, target);
    for (const QString &notice : outcome.notices)
        if (!notice.contains(path))
            fuzzFail("a notice does not name the workbook");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = inputBytes(data, size);
    const QString path = fuzzDir().filePath(QStringLiteral("book.xls"));
    if (bytes.startsWith(ZipMagic) || bytes.startsWith(CompoundFileMagic)) {
        writeWhole(path, bytes);
        // The sheet names of the seed workbooks.
        for (const char *table : {"cells", "rpdodef", "sdo", "typed"})
            import(path, QString::fromLatin1(table));
    } else {
        writeWhole(path, workbookAround(bytes));
        import(path, QStringLiteral("sdo"));
    }
    return 0;
}
