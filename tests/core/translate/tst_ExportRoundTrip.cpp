#include "TranslateFixtures.h"
#include "project/ProjectStore.h"
#include "translate/EmcyTable.h"
#include "translate/EmcyWordTable.h"
#include "translate/PdoTranslation.h"
#include "translate/SdoTranslation.h"
#include "translate/StoredPdoTable.h"
#include "workbook/XlsxWriter.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

std::unique_ptr<ProjectTable> makeTable(const QString &name)
{
    if (name == QLatin1String("rpdodef"))
        return std::make_unique<PdoTranslation>();
    if (name == QLatin1String("sdo"))
        return std::make_unique<SdoTranslation>();
    if (name == QLatin1String("sdopdo"))
        return std::make_unique<StoredPdoTable>();
    if (name == QLatin1String("emcydef"))
        return std::make_unique<EmcyTable>();
    return std::make_unique<EmcyWordTable>();
}

} // namespace

class TestExportRoundTrip : public QObject {
    Q_OBJECT
private slots:
    // Export, then Import of the TABLE.xlsx it wrote: the same table file, for
    // every table, filled from workbooks that hold hex texts, "$10", commas and
    // empty cells.
    void xlsxComesBackWhole_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("filledFrom");
        QTest::newRow("rpdodef") << "rpdodef"
                                 << "rpdodef_export.xml";
        QTest::newRow("sdo") << "sdo"
                             << "sdo_header_line_and_empty_conf.xlsx";
        QTest::newRow("sdopdo") << "sdopdo"
                                << "sdopdo_header_line_and_unknown_pdos.xls";
        QTest::newRow("emcydef") << "emcydef"
                                 << "emcydef_two_lists_and_header_line.xls";
        QTest::newRow("emcyword") << "emcyword"
                                  << "emcyword_two_tabs_and_extdata_2.xls";
    }
    void xlsxComesBackWhole()
    {
        QFETCH(QString, table);
        QFETCH(QString, filledFrom);
        QTemporaryDir dir;
        const ProjectFiles files = projectFiles(dir.path());
        // The stored SDOs name PDOs of rpdodef.xml.
        writeFileBytes(files.RpdodefPath, readFileBytes(fixture(QStringLiteral("rpdodef_export.xml"))));
        const std::unique_ptr<ProjectTable> source = makeTable(table);
        source->open(files);
        if (filledFrom.endsWith(QLatin1String(".xml")))
            source->load(fixture(filledFrom));
        else
            QVERIFY(source->importFrom(fixture(filledFrom)).taken > 0);
        const QByteArray saved = source->toXml();

        const QStringList written = source->exportFiles(files);
        const QString xlsx = dir.filePath(table + QStringLiteral(".xlsx"));
        // As the user sees them: Windows joins the names with a backslash.
        QCOMPARE(QDir::toNativeSeparators(written.join(u'\n')),
                 QDir::toNativeSeparators(files.csvPath(table) + u'\n' + xlsx));
        const std::unique_ptr<ProjectTable> back = makeTable(table);
        back->open(files);
        const ImportOutcome outcome = back->importFrom(xlsx);
        QCOMPARE(outcome.notices, QStringList());
        QCOMPARE(back->toXml(), saved);
    }

    // The export of rpdodef_export.xml opened and saved by LibreOffice and by
    // Gnumeric (made by make_fixtures.py): texts such as "$283", "007",
    // "2024-01-15" and "=1+2" stay texts, and the table comes back the same.
    void savedBySpreadsheetProgramsComesBackWhole_data()
    {
        QTest::addColumn<QString>("workbook");
        QTest::newRow("LibreOffice .xlsx") << "rpdodef_export_libreoffice.xlsx";
        QTest::newRow("LibreOffice .ods") << "rpdodef_export_libreoffice.ods";
        QTest::newRow("Gnumeric .xlsx") << "rpdodef_export_gnumeric.xlsx";
    }
    void savedBySpreadsheetProgramsComesBackWhole()
    {
        QFETCH(QString, workbook);
        PdoTranslation original;
        original.load(fixture(QStringLiteral("rpdodef_export.xml")));
        PdoTranslation back;
        const ImportOutcome outcome = back.importFrom(fixture(workbook));
        QCOMPARE(outcome.notices, QStringList());
        QCOMPARE(back.toXml(), original.toXml());
    }

    // Only what reads back as the same text becomes a number.
    void plainDecimal_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("number");
        QTest::newRow("0") << "0" << true;
        QTest::newRow("385") << "385" << true;
        QTest::newRow("-7") << "-7" << true;
        QTest::newRow("int32 min") << "-2147483648" << true;
        QTest::newRow("int32 max") << "2147483647" << true;
        QTest::newRow("past int32") << "2147483648" << false;
        QTest::newRow("leading zero") << "007" << false;
        QTest::newRow("00") << "00" << false;
        QTest::newRow("-0") << "-0" << false;
        QTest::newRow("plus") << "+5" << false;
        QTest::newRow("hex") << "0x181" << false;
        QTest::newRow("dollar hex") << "$283" << false;
        QTest::newRow("fraction") << "1.5" << false;
        QTest::newRow("exponent") << "1e3" << false;
        QTest::newRow("blank") << " 5" << false;
        QTest::newRow("minus alone") << "-" << false;
        QTest::newRow("Arabic-Indic digits") << QStringLiteral("\u0663") << false;
    }
    void plainDecimal()
    {
        QFETCH(QString, field);
        QFETCH(bool, number);
        QCOMPARE(isPlainDecimal(field), number);
    }

    // A text longer than a cell holds: no file written, the CSV left as it was.
    void tooLongATextWritesNothing()
    {
        QTemporaryDir dir;
        const ProjectFiles files = projectFiles(dir.path());
        writeFileBytes(files.csvPath(QStringLiteral("emcydef")), "before");
        EmcyTable table;
        EmcyEntry entry;
        entry.texts[0] = QStringLiteral("1");
        entry.texts[1] = QString(32768, u'x');
        table.add(CanLine::A, entry);
        const QString xlsx = dir.filePath(QStringLiteral("emcydef.xlsx"));
        QCOMPARE(thrownMessage([&] { table.exportFiles(files); }),
                 QStringLiteral("Cannot write workbook \"%1\": cell B2 would hold 32768 characters, more than the "
                                "32767 a cell holds.")
                     .arg(QDir::toNativeSeparators(xlsx)));
        QCOMPARE(readFileBytes(files.csvPath(QStringLiteral("emcydef"))), QByteArray("before"));
        QVERIFY(!QFile::exists(xlsx));
    }
};

QTEST_GUILESS_MAIN(TestExportRoundTrip)
#include "tst_ExportRoundTrip.moc"
