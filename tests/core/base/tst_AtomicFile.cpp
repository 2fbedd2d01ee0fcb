#include "base/AtomicFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <unistd.h>

// The writer on real file systems that refuse: the reason in words, the old file kept.
class TestAtomicFile : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    bool m_mounted = false;

    QString target() const { return m_dir.filePath(QStringLiteral("target.bin")); }

private slots:
    void init()
    {
        m_mounted = ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, "size=64k") == 0;
        if (!m_mounted) {
            // A container may refuse mounts even to root; tst_DurableWrites then fills
            // the disk through its fault library, so a full disk is still tested.
            QSKIP(qPrintable(QStringLiteral("no tmpfs could be mounted here: %1")
                                 .arg(QString::fromLocal8Bit(std::strerror(errno)))));
        }
    }
    void cleanup()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
        m_mounted = false;
    }

    void refusalKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("disk");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("reason");
        // Smaller than Qt's 16 KiB buffer: the case where commit() used to report success.
        QTest::newRow("full, small file") << "full" << 100 << "No space left on device";
        // The disk fills between two pieces of one write: a short count, no error from Qt.
        QTest::newRow("full, fills mid-write") << "one page" << 40000 << "No space left on device";
        QTest::newRow("read-only") << "read-only" << 100 << "Read-only file system";
    }
    void refusalKeepsTheOldFile()
    {
        QFETCH(QString, disk);
        QFETCH(int, size);
        QFETCH(QString, reason);
        const QByteArray old = "old contents";
        writeFileBytes(target(), old);
        if (disk == u"read-only") {
            QCOMPARE(
                ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr),
                0);
        } else {
            QFile ballast(m_dir.filePath(QStringLiteral("ballast")));
            QVERIFY(ballast.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            const QByteArray page(4096, 'x');
            while (ballast.write(page) == page.size()) {
            }
            if (disk == u"one page")
                QVERIFY(ballast.resize(ballast.size() - page.size()));
        }
        QString message;
        try {
            writeFileAtomically(target(), QByteArray(size, 'n'), {.replaceLink = true, .removeStale = true});
        } catch (const FileWriteError &e) {
            QCOMPARE(e.reason(), reason);
            message = e.message();
        }
        QCOMPARE(message,
                 QStringLiteral("Cannot write file \"%1\". %2").arg(QDir::toNativeSeparators(target()), reason));
        QCOMPARE(readFileBytes(target()), old);
        QStringList names = QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden);
        names.removeOne(QStringLiteral("ballast"));
        QCOMPARE(names, QStringList{QStringLiteral("target.bin")});
    }

    // A streaming writer whose write failed cannot commit, even if it ignored the count.
    void failedWriteNeverReachesTheRename()
    {
        const QByteArray old = "old contents";
        writeFileBytes(target(), old);
        QFile ballast(m_dir.filePath(QStringLiteral("ballast")));
        QVERIFY(ballast.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        while (ballast.write(QByteArray(4096, 'x')) == 4096) {
        }
        AtomicFileWriter writer(target());
        writer.device().write(QByteArray(100, 'n'));
        QVERIFY_THROWS_EXCEPTION(FileWriteError, writer.commit());
        QCOMPARE(readFileBytes(target()), old);
    }
};

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_AtomicFile.moc"
