#include "support/ZipWriter.h"
#include "workbook/ZipArchive.h"

#include <QTest>
#include <functional>

namespace {

const QByteArray Text = QByteArray("<sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row></sheetData>").repeated(50);

// The first member is deflated, the second stored.
QByteArray sample()
{
    return makeZip({{"xl/worksheets/sheet1.xml", Text}, {"stored.txt", "plain bytes", false}});
}

quint32 get32(const QByteArray &zip, qsizetype at)
{
    const auto *u = reinterpret_cast<const unsigned char *>(zip.constData() + at);
    return quint32(u[0]) | quint32(u[1]) << 8 | quint32(u[2]) << 16 | quint32(u[3]) << 24;
}

void put16(QByteArray &zip, qsizetype at, unsigned v)
{
    zip[at] = char(v & 0xFF);
    zip[at + 1] = char(v >> 8 & 0xFF);
}

void put32(QByteArray &zip, qsizetype at, quint32 v)
{
    put16(zip, at, v & 0xFFFF);
    put16(zip, at + 2, v >> 16);
}

// Offsets of the end record and of the first member's central header.
qsizetype endAt(const QByteArray &zip)
{
    return zip.size() - 22;
}
qsizetype centralAt(const QByteArray &zip)
{
    return qsizetype(get32(zip, endAt(zip) + 16));
}

using Damage = std::function<void(QByteArray &)>;

QString problemOf(const QByteArray &zip, const QString &member)
{
    try {
        ZipArchive archive(zip);
        archive.read(member);
    } catch (const ZipError &e) {
        return e.problem();
    }
    return QStringLiteral("(no error)");
}

} // namespace

Q_DECLARE_METATYPE(Damage)

class TestZipArchive : public QObject {
    Q_OBJECT
private slots:
    void readsStoredAndDeflatedMembers()
    {
        const ZipArchive archive(sample());
        QCOMPARE(archive.names(), QStringList({"xl/worksheets/sheet1.xml", "stored.txt"}));
        QCOMPARE(archive.read(QStringLiteral("xl/worksheets/sheet1.xml")), Text);
        // Spreadsheet programs do not agree on the case of part names.
        QVERIFY(archive.contains(QStringLiteral("XL/Worksheets/Sheet1.XML")));
        QCOMPARE(archive.read(QStringLiteral("Stored.TXT")), QByteArray("plain bytes"));
        QVERIFY(!archive.contains(QStringLiteral("xl/workbook.xml")));
    }

    void edgesOfTheFormat()
    {
        // Empty members, a name given twice (the first counts), a comment after the end record.
        QByteArray zip = makeZip({{"empty", "", true}, {"none", "", false}, {"twice", "first"}, {"TWICE", "second"}});
        put16(zip, endAt(zip) + 20, 7);
        zip += "comment";
        // Some tools leave bytes after the archive.
        const ZipArchive archive(zip + QByteArray("\n\0\0", 3));
        QCOMPARE(archive.read(QStringLiteral("empty")), QByteArray());
        QCOMPARE(archive.read(QStringLiteral("none")), QByteArray());
        QCOMPARE(archive.read(QStringLiteral("twice")), QByteArray("first"));
        // An empty file is no zip; an archive without members is.
        QCOMPARE(problemOf(QByteArray(), QStringLiteral("x")), QStringLiteral("it is not a valid zip file"));
        QCOMPARE(problemOf(makeZip({}), QStringLiteral("x")), QStringLiteral("its part x is missing"));
    }

    void damaged_data()
    {
        QTest::addColumn<QByteArray>("zip");
        QTest::addColumn<Damage>("damage");
        QTest::addColumn<QString>("problem");
        const QByteArray ok = sample();
        const QString sheet = QStringLiteral("its part xl/worksheets/sheet1.xml ");
        const auto cutTo = [](qsizetype n) { return Damage([n](QByteArray &z) { z.truncate(n); }); };
        const QString notZip = QStringLiteral("it is not a valid zip file");
        QTest::newRow("cut in the end record") << ok << cutTo(ok.size() - 3) << notZip;
        QTest::newRow("cut in the directory") << ok << cutTo(centralAt(ok) + 20) << notZip;
        QTest::newRow("cut in the data") << ok << cutTo(100) << notZip;
        QTest::newRow("member runs past the end")
            << ok << Damage([](QByteArray &z) { put32(z, centralAt(z) + 20, quint32(z.size())); })
            << sheet + "is cut short";
        QTest::newRow("deflate stream ends early")
            << ok << Damage([](QByteArray &z) { put32(z, centralAt(z) + 20, 10); }) << sheet + "is cut short";
        QTest::newRow("bad checksum") << ok << Damage([](QByteArray &z) {
            z[centralAt(z) + 16] = char(~z[centralAt(z) + 16]);
        }) << sheet + "does not match its checksum";
        QTest::newRow("bad deflate block")
            << ok << Damage([](QByteArray &z) { z[30 + 24] = char(0x07); }) << sheet + "is not a valid deflate stream";
        QTest::newRow("unknown method") << ok << Damage([](QByteArray &z) { put16(z, centralAt(z) + 10, 12); })
                                        << sheet + "is packed by method 12, which this program does not read";
        QTest::newRow("encrypted") << ok << Damage([](QByteArray &z) { put16(z, centralAt(z) + 8, 1); })
                                   << sheet + "is encrypted";
        QTest::newRow("size understated: more comes out")
            << ok << Damage([](QByteArray &z) { put32(z, centralAt(z) + 24, 100); })
            << sheet + "unpacks to more than its stated 100 bytes";
        QTest::newRow("size overstated") << ok << Damage([](QByteArray &z) {
            put32(z, centralAt(z) + 24, quint32(Text.size() + 1));
        }) << sheet + QStringLiteral("unpacks to %1 bytes, not the %2 stated").arg(Text.size()).arg(Text.size() + 1);
        QTest::newRow("no local header") << ok << Damage([](QByteArray &z) { put32(z, centralAt(z) + 42, 5); })
                                         << sheet + "has no local header";
        QTest::newRow("directory outside the file")
            << ok << Damage([](QByteArray &z) { put32(z, endAt(z) + 16, quint32(z.size())); })
            << "its central directory lies outside the file";
        QTest::newRow("directory entry damaged") << ok << Damage([](QByteArray &z) { z[centralAt(z)] = 'X'; })
                                                 << "its central directory is damaged at entry 1";
        QTest::newRow("split over several files") << ok << Damage([](QByteArray &z) { put16(z, endAt(z) + 4, 1); })
                                                  << "it is one part of a zip file split over several files";
        const QString zip64 = QStringLiteral("it uses the zip64 extensions, which this program does not read");
        QTest::newRow("zip64 end record")
            << ok << Damage([](QByteArray &z) { put16(z, endAt(z) + 10, 0xFFFF); }) << zip64;
        QTest::newRow("zip64 member sizes")
            << ok << Damage([](QByteArray &z) { put32(z, centralAt(z) + 24, 0xFFFFFFFF); }) << zip64;

        // A few kilobytes that would unpack to 40 MiB.
        QTest::newRow("bomb") << makeZip({{"xl/worksheets/sheet1.xml", QByteArray(40 << 20, '\0')}}) << Damage()
                              << sheet + "unpacks to more than 32 MiB";
        QList<ZipMember> many(10001, ZipMember{"m", "", false});
        QTest::newRow("too many members")
            << makeZip(many) << Damage() << "it has 10001 members, more than the 10000 allowed";
    }
    void damaged()
    {
        QFETCH(QByteArray, zip);
        QFETCH(Damage, damage);
        QFETCH(QString, problem);
        if (damage)
            damage(zip);
        QCOMPARE(problemOf(zip, QStringLiteral("xl/worksheets/sheet1.xml")), problem);
    }
};

QTEST_GUILESS_MAIN(TestZipArchive)
#include "tst_ZipArchive.moc"
