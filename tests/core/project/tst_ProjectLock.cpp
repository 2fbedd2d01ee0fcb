#include "base/TessiroError.h"
#include "project/Messages.h"
#include "project/ProjectLock.h"
#include "project/ProjectStore.h"

#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

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
        QCOMPARE(refusal, ProjectMessages::ProjectInUse);
        ProjectWriteLock again(dir.path(), 50); // released with the first
    }

    void lockOfADeadProcessIsTakenOver()
    {
        QTemporaryDir dir;
        QFile stale(joinPath(dir.path(), ProjectWriteLock::lockFileName()));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        // No process has this id (above the kernel's pid_max).
        stale.write("2147483000\ntessiro\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        stale.close();
        ProjectWriteLock taken(dir.path(), 50);
    }

    void missingFolderIsLeftToTheOperation()
    {
        ProjectWriteLock none(QStringLiteral("/nonexistent/tessiro/project"), 50);
    }
};

QTEST_GUILESS_MAIN(tst_ProjectLock)
#include "tst_ProjectLock.moc"
