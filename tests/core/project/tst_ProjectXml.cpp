#include "base/TessiroError.h"
#include "project/ProjectXml.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

class TestProjectXml : public QObject {
    Q_OBJECT
private slots:
    // Both routes report the same reason: a load that keeps going as its one problem,
    // an operation that ends as the error it throws.
    void loadRoutes_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file at all
        QTest::addColumn<QString>("problem");    // %1 is the file's path
        QTest::newRow("root") << QByteArray("<pargen><a>1</a></pargen>") << QString();
        QTest::newRow("missing") << QByteArray() << QStringLiteral("Cannot read file \"%1\". ");
        QTest::newRow("broken") << QByteArray("<pargen><a>")
                                << QStringLiteral(
                                       "File \"%1\" is not valid XML: Start-end tags mismatch (at byte 10).");
        QTest::newRow("comment only") << QByteArray("<!-- x -->")
                                      << QStringLiteral("File \"%1\" is not valid XML: No document element found");
    }

    void loadRoutes()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("pargen.xml"));
        if (!content.isNull())
            writeFileBytes(path, content);
        const QString shown = QDir::toNativeSeparators(path);

        pugi::xml_document doc;
        const Loaded<pugi::xml_node> loaded = loadProjectXml(path, doc);
        if (problem.isEmpty()) {
            QVERIFY(loaded.ok());
            QCOMPARE(QString::fromUtf8(loaded.value.name()), QStringLiteral("pargen"));
            pugi::xml_document again;
            QCOMPARE(QString::fromUtf8(requireProjectXml(path, again).child("a").text().get()), QStringLiteral("1"));
            return;
        }
        QCOMPARE(loaded.problems.size(), 1);
        QVERIFY2(loaded.problems[0].startsWith(problem.arg(shown)), qPrintable(loaded.problems[0]));
        QVERIFY(!loaded.value);
        try {
            pugi::xml_document again;
            requireProjectXml(path, again);
            QFAIL("no error thrown");
        } catch (const TessiroError &e) {
            QCOMPARE(e.message(), loaded.problems[0]);
        }
    }

#ifdef Q_OS_UNIX
    // What would block (a FIFO without a writer) or never end (a device) is refused
    // by name before a byte is read.
    void refusesWhatIsNotARegularFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("fifo") << QStringLiteral("fifo");
        QTest::newRow("link to /dev/zero") << QStringLiteral("zero");
        QTest::newRow("directory") << QStringLiteral("dir");
    }

    void refusesWhatIsNotARegularFile()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("pargen.xml"));
        if (kind == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (kind == QLatin1String("zero"))
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        else
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("pargen.xml")));

        pugi::xml_document doc;
        const Loaded<pugi::xml_node> loaded = loadProjectXml(path, doc);
        QCOMPARE(loaded.problems,
                 QStringList{QStringLiteral("File \"%1\" is not a regular file.").arg(QDir::toNativeSeparators(path))});
        QVERIFY_THROWS_EXCEPTION(TessiroError, requireProjectXml(path, doc));
    }
#endif

    void failedSaveThrowsAndKeepsTheFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("missing/pdo.xml"));
        QVERIFY_THROWS_EXCEPTION(TessiroError, saveProjectBytes(path, "<pdo/>"));
        QVERIFY(!QFile::exists(path));

        const QString good = dir.filePath(QStringLiteral("pdo.xml"));
        saveProjectBytes(good, "<pdo/>");
        QCOMPARE(readFileBytes(good), QByteArray("<pdo/>"));
    }
};

QTEST_GUILESS_MAIN(TestProjectXml)
#include "tst_ProjectXml.moc"
