#include "project/ProgramFolders.h"
#include "project/ProjectStore.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

const QFileDevice::Permissions ReadAndSearch = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                               QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;
const QFileDevice::Permissions Everything =
    ReadAndSearch | QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QStringList everythingIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

#ifdef Q_OS_UNIX
// Root writes into a folder whatever its permission bits say, and the tests run as
// root: for as long as this lives, the process acts as the unprivileged "nobody",
// for whom a folder without write permission is read-only.
class ActAsUnprivilegedUser {
public:
    ActAsUnprivilegedUser()
    {
        if (geteuid() != 0) {
            m_ok = true;
            return;
        }
        m_dropped = setegid(Nobody) == 0 && seteuid(Nobody) == 0;
        m_ok = m_dropped;
    }
    ~ActAsUnprivilegedUser()
    {
        if (geteuid() != 0 && m_dropped) {
            [[maybe_unused]] const int uid = seteuid(0);
            [[maybe_unused]] const int gid = setegid(0);
        }
    }
    ActAsUnprivilegedUser(const ActAsUnprivilegedUser &) = delete;
    ActAsUnprivilegedUser &operator=(const ActAsUnprivilegedUser &) = delete;
    bool ok() const { return m_ok; }

private:
    static constexpr uid_t Nobody = 65534;
    bool m_dropped = false;
    bool m_ok = false;
};
#endif

} // namespace

class TestProgramFolders : public QObject {
    Q_OBJECT

    QTemporaryDir m_sandbox;
    QString m_home;
    QString m_root; // holds the program folders of one test

private slots:
    void initTestCase()
    {
        QVERIFY(m_sandbox.isValid());
#ifdef Q_OS_WIN
        // The user's data folder is %LOCALAPPDATA%; in test mode a folder of its own
        // inside it, which the tests may empty.
        QStandardPaths::setTestModeEnabled(true);
        m_home = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        QVERIFY(m_home.endsWith(QLatin1String("/qttest")));
        const QString localAppData = qEnvironmentVariable("LOCALAPPDATA");
        QVERIFY(!localAppData.isEmpty());
        QVERIFY2(userDataDir().startsWith(native(localAppData) + u'\\', Qt::CaseInsensitive),
                 qPrintable(userDataDir()));
#else
        // Every user may pass through the sandbox and write into the home inside it.
        QFile::setPermissions(m_sandbox.path(), ReadAndSearch | QFileDevice::WriteOwner);
        m_home = m_sandbox.filePath(QStringLiteral("home"));
        QVERIFY(QDir().mkpath(m_home));
        QFile::setPermissions(m_home, Everything);
        qputenv("HOME", m_home.toUtf8());
        QStandardPaths::setTestModeEnabled(true);
#endif
        QVERIFY(userDataDir().startsWith(native(m_home)));
    }

    void init()
    {
        QDir(m_home).removeRecursively();
        QVERIFY(QDir().mkpath(m_home));
        QFile::setPermissions(m_home, Everything);
        m_root = m_sandbox.filePath(QStringLiteral("root"));
        QVERIFY(QDir().mkpath(m_root));
    }

    void cleanup()
    {
        QDirIterator it(m_root, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext())
            QFile::setPermissions(it.next(), Everything);
        QDir(m_root).removeRecursively();
    }

    void writableProgramFolderKeepsEverythingBeside()
    {
        const QString exeDir = m_root + QStringLiteral("/bin");
        QVERIFY(QDir().mkpath(exeDir));

        const ProgramFolders folders = programFolders(exeDir + u'/');
        QVERIFY(folders.besideProgram);
        QCOMPARE(folders.DataDir, native(exeDir));
        QCOMPARE(folders.MasterDir, native(exeDir + QStringLiteral("/MASTER")));
        QCOMPARE(folders.ProjectsDir, native(exeDir + QStringLiteral("/PROJECTS")));
        QCOMPARE(folders.LastProjectFile, native(exeDir + QStringLiteral("/Tessiro_Brevik.ini")));
        QCOMPARE(everythingIn(exeDir), QStringList()); // the probe leaves nothing behind
        QVERIFY(!QFileInfo::exists(userDataDir()));
    }

#ifdef Q_OS_UNIX
    void readOnlyProgramFolderMovesToTheUsersDataFolder()
    {
        const QString exeDir = m_root + QStringLiteral("/bin");
        QVERIFY(QDir().mkpath(exeDir));
        QFile::setPermissions(exeDir, ReadAndSearch);

        ProjectStore store;
        QStringList messages;
        {
            ActAsUnprivilegedUser unprivileged;
            if (!unprivileged.ok())
                QSKIP("running as root without the right to act as another user: no folder is read-only");
            QVERIFY(!canCreateFilesIn(exeDir));
            store.startUp(exeDir);
            messages = store.createProject(store.state().ProjectsDir, QStringLiteral("Line4"));
            QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));
            store.saveLastProject();
        }
        const QString data = userDataDir();
        const ProjectState &s = store.state();
        QCOMPARE(s.AppDir, native(exeDir));
        QCOMPARE(s.DataDir, data);
        QCOMPARE(s.MasterDir, data + QDir::separator() + QStringLiteral("MASTER"));
        QVERIFY(QFileInfo(s.MasterDir).isDir());
        QVERIFY(QFileInfo(s.ProjectsDir + QDir::separator() + QStringLiteral("Line4")).isDir());
        QCOMPARE(readFileBytes(data + QStringLiteral("/Tessiro_Brevik.ini")),
                 QByteArray("[lastproj]\r\nprojectname=Line4\r\n"));
        QCOMPARE(everythingIn(exeDir), QStringList());

        ProjectStore again;
        {
            ActAsUnprivilegedUser unprivileged;
            QVERIFY(again.startUp(exeDir));
        }
        QCOMPARE(again.state().ProjectDir, s.ProjectsDir + QDir::separator() + QStringLiteral("Line4"));
    }
#endif

    // Root may write into /usr/bin, and Wine lets everyone write into Program Files; an
    // installed program (bin beside share\tessiro, as the installer lays it out) must
    // still not put projects there.
    void installedProgramUsesTheUsersDataFolderEvenWhenWritable()
    {
        const QString exeDir = m_root + QStringLiteral("/usr/bin");
        QVERIFY(QDir().mkpath(exeDir));
        QVERIFY(QDir().mkpath(m_root + QStringLiteral("/usr/share/tessiro")));
        QVERIFY(canCreateFilesIn(exeDir));

        const ProgramFolders folders = programFolders(exeDir);
        QVERIFY(!folders.besideProgram);
        QCOMPARE(folders.DataDir, userDataDir());
        QVERIFY(QFileInfo(folders.DataDir).isDir());
        QCOMPARE(folders.LastProjectFile, userDataDir() + QDir::separator() + QStringLiteral("Tessiro_Brevik.ini"));
        QCOMPARE(everythingIn(exeDir), QStringList());
    }

    void noFolderNoFiles()
    {
        QVERIFY(!canCreateFilesIn(m_root + QStringLiteral("/missing")));
        writeFileBytes(m_root + QStringLiteral("/plain"), "x");
        QVERIFY(!canCreateFilesIn(m_root + QStringLiteral("/plain")));
    }

    void shippedFileBesideFirstThenInstalled_data()
    {
        QTest::addColumn<bool>("beside");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("beside only") << true << false << "usr/bin/help2.dat";
        QTest::newRow("installed only") << false << true << "usr/share/tessiro/help2.dat";
        QTest::newRow("both: beside wins") << true << true << "usr/bin/help2.dat";
        QTest::newRow("neither: where it was looked for first") << false << false << "usr/bin/help2.dat";
    }
    void shippedFileBesideFirstThenInstalled()
    {
        QFETCH(bool, beside);
        QFETCH(bool, installed);
        QFETCH(QString, expected);
        const QString exeDir = m_root + QStringLiteral("/usr/bin");
        QVERIFY(QDir().mkpath(exeDir));
        QVERIFY(QDir().mkpath(m_root + QStringLiteral("/usr/share/tessiro")));
        if (beside)
            writeFileBytes(exeDir + QStringLiteral("/help2.dat"), "beside");
        if (installed)
            writeFileBytes(m_root + QStringLiteral("/usr/share/tessiro/help2.dat"), "installed");

        QCOMPARE(shippedFile(exeDir, QStringLiteral("help2.dat")), native(m_root + u'/' + expected));
    }
};

QTEST_GUILESS_MAIN(TestProgramFolders)
#include "tst_ProgramFolders.moc"
