#include "base/Paths.h"
#include "base/TessiroError.h"
#include "project/Messages.h"
#include "project/ProjectLock.h"
#include "project/ProjectStore.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

class tst_ProjectLock : public QObject {
    Q_OBJECT
private slots:
    void secondWriterIsRefusedUntilTheFirstEnds()
    {
        QTemporaryDir dir;
        QString refusal;
        {
            ProjectWriteLock first(dir.path());
            try {
                ProjectWriteLock second(dir.path(), 50);
            } catch (const TessiroError &e) {
                refusal = e.message();
            }
        }
        // The user can see what holds the project.
        QCOMPARE(refusal, QStringLiteral("Project is in use by another program (%1, process %2 on %3)")
                              .arg(QDir::toNativeSeparators(joinPath(dir.path(), ProjectWriteLock::lockFileName())))
                              .arg(QCoreApplication::applicationPid())
                              .arg(lockHostName()));
        ProjectWriteLock again(dir.path(), 50); // released with the first
    }

    void lockOfADeadProcessIsTakenOver()
    {
        QTemporaryDir dir;
        QFile stale(joinPath(dir.path(), ProjectWriteLock::lockFileName()));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        // No process has this id (above the kernel's pid_max).
        stale.write("2147483000\ntessiro\n" + lockHostName().toUtf8() + "\n");
        stale.close();
        ProjectWriteLock taken(dir.path(), 50);
    }

    // A writer killed between creating the lock file and writing its owner leaves it empty.
    void ownerlessLockIsTakenOverOnceOld_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("ageSeconds");
        QTest::addColumn<bool>("taken");
        QTest::newRow("empty, old") << QByteArray() << 60 << true;
        QTest::newRow("garbage, old") << QByteArray("\xff\x01") << 60 << true;
        QTest::newRow("empty, being written") << QByteArray() << 0 << false;
    }
    void ownerlessLockIsTakenOverOnceOld()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, ageSeconds);
        QFETCH(bool, taken);
        QTemporaryDir dir;
        const QString lockPath = joinPath(dir.path(), ProjectWriteLock::lockFileName());
        QFile lock(lockPath);
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(content);
        lock.flush();
        QVERIFY(
            lock.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-ageSeconds), QFileDevice::FileModificationTime));
        lock.close();
        QFile(lockPath + ".rmlock").open(QIODevice::WriteOnly); // left by a killed run
        QString refusal;
        try {
            ProjectWriteLock second(dir.path(), 300);
        } catch (const TessiroError &e) {
            refusal = e.message();
        }
        if (taken) {
            QCOMPARE(refusal, QString());
            QVERIFY(!QFileInfo::exists(lockPath + ".rmlock"));
        } else {
            QCOMPARE(
                refusal,
                QStringLiteral("Project is in use by another program (%1)").arg(QDir::toNativeSeparators(lockPath)));
        }
    }

    // QLockFile can never create these anew: it would wait its whole time in vain.
    void lockPathThatIsNoFileIsRefusedAtOnce_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("folder") << QStringLiteral("folder");
#ifdef Q_OS_UNIX
        // On Windows QFile::link makes a shortcut, which is an ordinary file.
        QTest::newRow("link to a file") << QStringLiteral("link");
        QTest::newRow("dangling link") << QStringLiteral("dangling");
        QTest::newRow("fifo") << QStringLiteral("fifo");
#endif
    }
    void lockPathThatIsNoFileIsRefusedAtOnce()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString lockPath = joinPath(dir.path(), ProjectWriteLock::lockFileName());
        const QString other = joinPath(dir.path(), QStringLiteral("other"));
        if (kind == u"folder")
            QVERIFY(QDir(dir.path()).mkdir(ProjectWriteLock::lockFileName()));
        if (kind == u"link") {
            QFile(other).open(QIODevice::WriteOnly);
            QVERIFY(QFile::link(other, lockPath));
        }
        if (kind == u"dangling")
            QVERIFY(QFile::link(other, lockPath));
#ifdef Q_OS_UNIX
        if (kind == u"fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(lockPath).constData(), 0600), 0);
#endif
        QElapsedTimer clock;
        clock.start();
        QString refusal;
        try {
            ProjectWriteLock lock(dir.path());
        } catch (const TessiroError &e) {
            refusal = e.message();
        }
        QVERIFY(clock.elapsed() < 2000);
        QCOMPARE(refusal, ProjectMessages::LockNotAFile.arg(QDir::toNativeSeparators(lockPath)));
        QVERIFY(!QFileInfo::exists(other) || QFileInfo(other).size() == 0); // nothing written through the link
    }

    void missingFolderIsLeftToTheOperation()
    {
        ProjectWriteLock none(QStringLiteral("/nonexistent/tessiro/project"), 50);
    }
};

QTEST_GUILESS_MAIN(tst_ProjectLock)
#include "tst_ProjectLock.moc"
