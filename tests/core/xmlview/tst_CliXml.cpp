#include "HostileFiles.h"
#include "support/CliRunner.h"
#include "support/TestSupport.h"
#include "xmlview/Messages.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestCliXml : public QObject {
    Q_OBJECT
private slots:
    void printsTheTree()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("pdo.xml"));
        writeFileBytes(path, "<?xml version=\"1.0\"?>\n<pdo id=\"7\">\n <flag>on</flag>\n <t>a\nb</t><?p d?>\n</pdo>");
        const CliRun run = runCli({QStringLiteral("xml-tree"), path});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QByteArray());
        QCOMPARE(run.out, QByteArray("File: pdo.xml\n"
                                     "  XMLDeclaration\n"
                                     "    version = 1.0\n"
                                     "  pdo\n"
                                     "    id = 7\n"
                                     "    flag = on\n"
                                     "    t = a\\nb\n"
                                     "    pProcessingInstruction = d\n"));

        // Bytes are characters, written in the local encoding; so is the file's name.
        const QString named = dir.filePath(QString::fromUtf8("caf\xC3\xA9.xml"));
        writeFileBytes(named, "<r a=\"\xE9\r\n\">x\xFF\ry</r>");
        const CliRun other = runCli({QStringLiteral("xml-tree"), named});
        QCOMPARE(other.exitCode, 0);
        QCOMPARE(other.out, QString::fromUtf8("File: caf\xC3\xA9.xml\n"
                                              "  r = x\xC3\xBF\\ry\n"
                                              "    a = \xC3\xA9\\r\\n\n")
                                .toLocal8Bit());
    }

    void failures_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::newRow("reader error") << QByteArray("<a></b>") << XmlMessages::EndTagMismatch.arg("b", "a");
        QTest::newRow("empty file") << QByteArray("") << XmlMessages::UnexpectedEnd;
    }
    void failures()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bad.xml"));
        writeFileBytes(path, content);
        const CliRun run = runCli({QStringLiteral("xml-tree"), path});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(QString::fromLocal8Bit(run.err), message + u'\n');
    }

    // Refused at once with the file named and nothing printed: no wait, no memory filled.
    void refusesWhatIsNoFile_data() { addHostileFileCases(); }
    void refusesWhatIsNoFile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("doc.xml"));
        QVERIFY(makeHostileFile(kind, path));
        const CliRun run = runCli({QStringLiteral("xml-tree"), path});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(QString::fromLocal8Bit(run.err), message.arg(QDir::toNativeSeparators(path)) + u'\n');
    }

    void missingFileAndUsage()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("none.xml"));
        CliRun run = runCli({QStringLiteral("xml-tree"), path});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.startsWith(
                     XmlMessages::CannotOpenFile.arg(QDir::toNativeSeparators(path), QString()).toLocal8Bit()),
                 run.err);
        run = runCli({QStringLiteral("xml-tree")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(!run.err.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCliXml)
#include "tst_CliXml.moc"
