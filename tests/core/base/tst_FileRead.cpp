#include "base/FileRead.h"
#include "base/TessiroError.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

class tst_FileRead : public QObject {
    Q_OBJECT
private slots:
    void readsWhatIsThere_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<qint64>("bound");
        QTest::newRow("empty") << QByteArray() << qint64(16);
        QTest::newRow("exactly the bound") << QByteArray(16, 'x') << qint64(16);
        QTest::newRow("several read chunks") << QByteArray(3 << 20, 'y') << MaxProjectFileBytes;
    }
    void readsWhatIsThere()
    {
        QFETCH(QByteArray, content);
        QFETCH(qint64, bound);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("f"));
        writeFileBytes(path, content);
        QCOMPARE(readRegularFile(path, bound), content);
    }

    // A FIFO is judged on the opened descriptor, not on an earlier look at the
    // path: this case is also the case of a FIFO put in place just before the open,
    // and it would block here if the open waited for a writer.
    void refusesWhatIsNoFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
#ifdef Q_OS_UNIX
        QTest::newRow("FIFO") << "fifo"
                              << "File \"%1\" is not a regular file.";
        QTest::newRow("link to /dev/zero") << "zero"
                                           << "File \"%1\" is not a regular file.";
#endif
        QTest::newRow("directory") << "dir"
                                   << "File \"%1\" is not a regular file.";
        QTest::newRow("over the bound") << "big"
                                        << "File \"%1\" is larger than 0 MiB.";
        QTest::newRow("missing") << "none"
                                 << "Cannot read file \"%1\". No such file or directory";
    }
    void refusesWhatIsNoFile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(kind);
#ifdef Q_OS_UNIX
        if (kind == QLatin1String("fifo"))
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
        if (kind == QLatin1String("zero"))
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        else if (kind == QLatin1String("dir"))
            QVERIFY(QDir().mkdir(path));
        else if (kind == QLatin1String("big"))
            writeFileBytes(path, QByteArray(17, 'x'));
        QString error;
        try {
            readRegularFile(path, 16);
        } catch (const TessiroError &e) {
            error = e.message();
        }
        // Named as the system names it: "C:\...\big" on Windows.
        QCOMPARE(error, message.arg(QDir::toNativeSeparators(path)));
    }
};

QTEST_GUILESS_MAIN(tst_FileRead)
#include "tst_FileRead.moc"
