#include "../image/SRecordFixtures.h"
#include "support/ProjectBuilders.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <sys/mount.h>
#include <unistd.h>

namespace {

const QByteArray Pargen = "<Par_Gen><Can_Dev_Id>5</Can_Dev_Id><Can_Baud>4</Can_Baud><Net_Dev_Id>3</Net_Dev_Id>"
                          "<Net_Baud>1</Net_Baud><Time_Out_SDO>10000</Time_Out_SDO></Par_Gen>";
const QByteArray Rpdodef = "<rpdodef><row cobid=\"385\" id_dev_orig=\"dev2\" en_bypass=\"2\" posind=\"p2\" "
                           "n_tpdo=\"t2\"/></rpdodef>";
const QByteArray Master = fixtures::Header + fixtures::s2Run(0x387F00, 0x38C100, fixtures::oldByte) +
                          fixtures::s2Run(0x398000, 0x39C000, fixtures::oldByte) + fixtures::EndS9;

QString fixture(const QString &name)
{
    return sourcePath(QStringLiteral("tests/core/translate/fixtures/") + name);
}

// A project folder on a file system with one page left: enough for the lock
// file, not for the file a command writes. Where mounting is refused, the
// preloaded fault library makes every write there fail with ENOSPC instead.
class FullDisk {
public:
    FullDisk()
    {
        m_mounted =
            ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, "size=512k,mode=0755") == 0;
        QDir().mkpath(project() + QStringLiteral("/bin"));
    }
    ~FullDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    QString project() const { return m_dir.filePath(QStringLiteral("P")); }
    QString path(const QString &relative) const { return project() + u'/' + relative; }

    // The fault library stands in for the mount even where mounting works, so
    // both ways of filling the disk stay tested.
    void useFaultLibrary() { m_faultLibrary = true; }

    void fill()
    {
        if (!m_mounted || m_faultLibrary)
            return;
        QFile ballast(m_dir.filePath(QStringLiteral("ballast")));
        QVERIFY(ballast.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray page(4096, 'x');
        while (ballast.write(page) == page.size()) {
        }
        QVERIFY(ballast.resize(ballast.size() - page.size()));
    }
    void addTo(QProcessEnvironment &env) const
    {
        if (!m_mounted || m_faultLibrary)
            env.insert(QStringLiteral("TESSIRO_TEST_ENOSPC_UNDER"), project() + u'/');
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    bool m_faultLibrary = false;
};

struct Run {
    int exitCode = -1;
    bool crashed = false;
    QString err;
};

Run cli(const QStringList &args, const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    QProcessEnvironment withFaults = env;
    withFaults.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(WRITE_FAULTS_PATH));
    // In the sanitizer build the tool links ASan's runtime, which insists on being
    // loaded first; the fault library only wraps write(), so the order is harmless.
    const QString asan = withFaults.value(QStringLiteral("ASAN_OPTIONS"));
    withFaults.insert(QStringLiteral("ASAN_OPTIONS"),
                      asan + (asan.isEmpty() ? "" : ":") + QStringLiteral("verify_asan_link_order=0"));
    process.setProcessEnvironment(withFaults);
    process.start(QStringLiteral(TESSIRO_CLI_PATH), args);
    Run run;
    if (!process.waitForFinished(60000))
        return run;
    run.crashed = process.exitStatus() != QProcess::NormalExit;
    run.exitCode = process.exitCode();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// Temporaries and helper files a write may have left in folder.
QStringList leftovers(const QString &folder)
{
    QStringList found;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        if (name.contains(QLatin1String(".lock")) || name.section(u'.', -1).size() == 6)
            found << name;
    return found;
}

} // namespace

// Every command that writes, on a full disk, after a kill and with links planted.
class TestDurableWrites : public QObject {
    Q_OBJECT
private slots:
    void init() { m_disk.emplace(); }
    void cleanup() { m_disk.reset(); }

    // Nothing is reported written that was not written whole; the old file stays.
    void fullDiskFailsAndKeepsTheOldFile_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("faultLibrary");
        for (const bool faultLibrary : {false, true}) {
            const char *how = faultLibrary ? "fault library" : "tmpfs";
            QTest::addRow("banks, %s", how) << QStringList{"banks", "@"} << "bin/bank1.bin" << faultLibrary;
            QTest::addRow("update, %s", how)
                << QStringList{"update", "@", "@/fw.sx"} << "bin/bank1.bin" << faultLibrary;
            QTest::addRow("import, %s", how)
                << QStringList{"import", "rpdodef", "@", fixture("rpdodef_upper_case_sheet.xls")} << "rpdodef.xml"
                << faultLibrary;
            QTest::addRow("export, %s", how) << QStringList{"export", "rpdodef", "@"} << "rpdodef.csv" << faultLibrary;
            QTest::addRow("eds, %s", how) << QStringList{"eds", "@", "@/gateway.eds"} << "gateway.eds" << faultLibrary;
        }
    }
    void fullDiskFailsAndKeepsTheOldFile()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, target);
        QFETCH(bool, faultLibrary);
        FullDisk &disk = *m_disk;
        if (faultLibrary)
            disk.useFaultLibrary();
        else if (!disk.mounted())
            qWarning("tmpfs could not be mounted here: the fault library fills the disk instead");
        writeFileBytes(disk.path("pargen.xml"), Pargen);
        writeFileBytes(disk.path("pdo.xml"), pdoFile({}, {}));
        writeFileBytes(disk.path("rpdodef.xml"), Rpdodef);
        writeFileBytes(disk.path("fw.sx"), Master);
        const QByteArray old = "old " + target.toUtf8();
        writeFileBytes(disk.path(target), old);
        disk.fill();
        for (QString &arg : args)
            arg.replace(u'@', disk.project());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        disk.addTo(env);

        const Run run = cli(args, env);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QLatin1String("No space left on device")), qPrintable(run.err));
        QVERIFY2(run.err.contains(QFileInfo(target).fileName()), qPrintable(run.err));
        QCOMPARE(readFileBytes(disk.path(target)), old);
        QCOMPARE(leftovers(disk.project()), QStringList());
        QCOMPARE(leftovers(disk.path("bin")), QStringList());
    }

    // A generated file that is a link is replaced, never written through.
    void linkedOutputIsReplaced_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("dangling");
        for (const bool dangling : {false, true}) {
            const char *how = dangling ? "dangling" : "to a file";
            QTest::addRow("export, %s", how) << QStringList{"export", "rpdodef", "@"} << "rpdodef.csv" << dangling;
            QTest::addRow("banks, %s", how) << QStringList{"banks", "@"} << "bin/bank2.bin" << dangling;
            QTest::addRow("bankg.c, %s", how) << QStringList{"banks", "@"} << "bin/bankg.c" << dangling;
            QTest::addRow("firmware, %s", how) << QStringList{"update", "@", "@/fw.sx"} << "New_fw.sx" << dangling;
        }
    }
    void linkedOutputIsReplaced()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, name);
        QFETCH(bool, dangling);
        QTemporaryDir dir;
        const QString project = dir.filePath(QStringLiteral("P"));
        QDir().mkpath(project + QStringLiteral("/bin"));
        writeFileBytes(project + "/pargen.xml", Pargen);
        writeFileBytes(project + "/rpdodef.xml", Rpdodef);
        writeFileBytes(project + "/fw.sx", Master);
        const QString outside = dir.filePath(QStringLiteral("outside"));
        if (!dangling)
            writeFileBytes(outside, "not ours");
        QVERIFY(QFile::link(outside, project + u'/' + name));
        for (QString &arg : args)
            arg.replace(u'@', project);

        const Run run = cli(args);
        QCOMPARE(run.exitCode, 0);
        const QFileInfo written(project + u'/' + name);
        QVERIFY(!written.isSymLink());
        QVERIFY(written.isFile() && written.size() > 0);
        QCOMPARE(QFileInfo::exists(outside), !dangling);
        if (!dangling)
            QCOMPARE(readFileBytes(outside), QByteArray("not ours"));
    }

    // A project file the user linked on purpose is still rewritten at its target.
    void linkedProjectFileIsWrittenThrough()
    {
        QTemporaryDir dir;
        const QString project = dir.filePath(QStringLiteral("P"));
        QDir().mkpath(project);
        const QString shared = dir.filePath(QStringLiteral("shared-rpdodef.xml"));
        writeFileBytes(shared, Rpdodef);
        QVERIFY(QFile::link(shared, project + QStringLiteral("/rpdodef.xml")));
        const Run run = cli({"import", "rpdodef", project, fixture("rpdodef_upper_case_sheet.xls")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(QFileInfo(project + QStringLiteral("/rpdodef.xml")).isSymLink());
        QVERIFY(readFileBytes(shared).contains("0x202"));
    }

    // A writer killed before it named itself in the lock blocks the next run for
    // a few seconds at most; the takeover leaves nothing behind.
    void killAtTheLocksFirstWrite()
    {
        QTemporaryDir dir;
        const QString project = dir.filePath(QStringLiteral("P"));
        QDir().mkpath(project);
        writeFileBytes(project + "/pargen.xml", Pargen);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TESSIRO_TEST_KILL_AT_LOCK_WRITE"), QStringLiteral("1"));
        QVERIFY(cli({"banks", project}, env).crashed);
        QCOMPARE(QFileInfo(project + "/.tessiro.lock").size(), 0);

        QElapsedTimer clock;
        clock.start();
        const Run run = cli({"banks", project});
        QCOMPARE(run.err, QString());
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(readFileBytes(project + "/bin/bank1.bin").size(), 16384);
        QCOMPARE(leftovers(project), QStringList());
    }

    // A table write killed between its temporary and its rename left this behind.
    void exportRemovesItsStaleTemporaries()
    {
        QTemporaryDir dir;
        writeFileBytes(dir.filePath("rpdodef.xml"), Rpdodef);
        writeFileBytes(dir.filePath("rpdodef.csv.Ab12Cd"), "cut short");
        writeFileBytes(dir.filePath("rpdodef.xml.x9Y8z7"), "cut short");
        QCOMPARE(cli({"export", "rpdodef", dir.path()}).exitCode, 0);
        QCOMPARE(cli({"import", "rpdodef", dir.path(), fixture("rpdodef_upper_case_sheet.xls")}).exitCode, 0);
        QCOMPARE(leftovers(dir.path()), QStringList());
    }

private:
    std::optional<FullDisk> m_disk;
};

QTEST_GUILESS_MAIN(TestDurableWrites)
#include "tst_DurableWrites.moc"
