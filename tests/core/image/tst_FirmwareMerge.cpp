#include "FailDevice.h"
#include "SRecordFixtures.h"
#include "base/TessiroError.h"
#include "image/FirmwareMerge.h"
#include "image/Messages.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace fixtures;

namespace {

// A project with bank files and a merge set up as the update window sets it.
struct Bench {
    QTemporaryDir dir;
    RecordingNotices notices;
    RecordingProgress progress;
    MergeInputs inputs;

    Bench()
    {
        QDir(dir.path()).mkdir(QStringLiteral("bin"));
        for (int bank = 0; bank < 5; ++bank)
            writeFileBytes(binFile(bank), bankBytes(bank));
        inputs.MasterFile = path(QStringLiteral("master.sx"));
        inputs.BinDir = dir.path() + QStringLiteral("/bin");
        inputs.OutputPath = path(QStringLiteral("New_qk4471.sx"));
    }
    // The merge's result as the window shows it: a failed stage's message as a notice.
    int shown(const StageOutcome &outcome)
    {
        if (outcome.result == StageResult::Failed)
            notices.notice(outcome.message);
        return outcome.result == StageResult::Failed ? -1 : outcome.result == StageResult::RangeAbsent ? 0 : 1;
    }
    int mergeStage(int bank, const QString &input, const QString &outputName)
    {
        FirmwareMerge merge(inputs, progress);
        return shown(merge.MergeBankIntoFirmware(bank, input, path(outputName)));
    }
    bool runChain(const QByteArray &masterText)
    {
        master(masterText);
        return runChain();
    }
    bool runChain()
    {
        FirmwareMerge merge(inputs, progress);
        return shown(merge.runChain()) != -1;
    }
    QString binFile(int bank) const { return dir.path() + QStringLiteral("/bin/bank%1.bin").arg(bank + 1); }
    QString path(const QString &name) const { return dir.path() + u'/' + name; }
    QString master(const QByteArray &text)
    {
        writeFileBytes(path(QStringLiteral("master.sx")), text);
        return path(QStringLiteral("master.sx"));
    }
    int stage(int bank, const QByteArray &input) { return mergeStage(bank, master(input), QStringLiteral("out.sx")); }
    QByteArray output() const { return readFileBytes(path(QStringLiteral("out.sx"))); }
    bool outputExists() const { return QFileInfo::exists(path(QStringLiteral("out.sx"))); }
};

// The bank's new records, built here from the bank file's bytes.
QByteArray newRecords(int bank)
{
    return s2Run(BankRange::first(bank), BankRange::last(bank) + 1,
                 [bank, bytes = bankBytes(bank)](quint32 a) { return bytes[int(a - BankRange::first(bank))]; });
}

QByteArray withLf(QByteArray text)
{
    return text.replace("\r\n", "\n");
}

} // namespace

class TestFirmwareMerge : public QObject {
    Q_OBJECT
private slots:
    void checksum_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("checksum");
        QTest::newRow("first bank record")
            << QByteArray("S224388000010160000102") + QByteArray(54, '0') + "00" << QByteArray("BE");
        QTest::newRow("all-zero block") << QByteArray("S224388020") + QByteArray(64, '0') + "00" << QByteArray("03");
        QTest::newRow("S1 record") << QByteArray("S1137AF00A0A0D0000000000000000000000000000") << QByteArray("61");
        QTest::newRow("S9") << QByteArray("S903000000") << QByteArray("FC");
    }
    void checksum()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, checksum);
        QCOMPARE(SetRecordChecksum(line, true), checksum);
        QCOMPARE(SetRecordChecksum(line, false), line.chopped(2) + checksum);
    }

    void recordLinesOfABank()
    {
        QByteArray bytes(16384, '\0');
        const char first[] = {1, 1, 0x60, 0, 1, 2};
        bytes.replace(0, 6, QByteArray(first, 6));
        const QList<QByteArray> lines = BankRecordLines(0, bytes.constData()).split('\n');
        QCOMPARE(lines.size(), 513); // 512 lines, each with CR LF
        QCOMPARE(lines[0], "S2243880000101600001020000000000000000000000000000000000000000000000000000BE\r");
        QCOMPARE(lines[1], "S224388020" + QByteArray(64, '0') + "03\r");
        QVERIFY(lines[511].startsWith("S22438BFE0"));
        QCOMPARE(BankRecordLines(4, bytes.constData()).left(10), QByteArray("S2243C8000"));
    }

    void bankReplacedInPlace_data()
    {
        QTest::addColumn<bool>("lfOnly");
        QTest::newRow("CR LF input") << false;
        QTest::newRow("LF input") << true;
    }
    void bankReplacedInPlace()
    {
        QFETCH(bool, lfOnly);
        const QByteArray before = s2Run(0x387F00, 0x388000, oldByte);
        const QByteArray after = s2Run(0x38C000, 0x38C100, oldByte);
        const QByteArray master = Header + before + s2Run(0x388000, 0x38C000, oldByte) + after + EndS9;
        Bench bench;
        QCOMPARE(bench.stage(0, lfOnly ? withLf(master) : master), 1);
        QCOMPARE(bench.output(), Header + before + newRecords(0) + after + EndS9);
        QCOMPARE(bench.notices.all(), QStringList());

        // The bar runs once through the input, from its first byte to its last.
        const int size = int((lfOnly ? withLf(master) : master).size());
        QCOMPARE(bench.progress.maxima, QList<int>({size}));
        QCOMPARE(bench.progress.positions.first(), 0);
        QCOMPARE(bench.progress.positions.last(), size);
        QVERIFY(bench.progress.positions.size() > 3);
        QVERIFY(std::is_sorted(bench.progress.positions.cbegin(), bench.progress.positions.cend()));
    }

    void splitRangeTakesTheFirstRunsPlace()
    {
        const QByteArray other = record('2', 0x500000, "other");
        const QByteArray master =
            Header + s2Run(0x388000, 0x38A000, oldByte) + other + s2Run(0x38A000, 0x38C000, oldByte) + EndS9;
        Bench bench;
        QCOMPARE(bench.stage(0, master), 1);
        QCOMPARE(bench.output(), Header + newRecords(0) + other + EndS9);
    }

    void rangeAbsentLeavesTheInputAsItIs()
    {
        const QByteArray master = Header + s2Run(0x388000, 0x38C000, oldByte) + EndS9;
        Bench bench;
        QCOMPARE(bench.stage(1, master), 0);
        QCOMPARE(bench.output(), master);
    }

    void recordKinds_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<int>("result");

        const QByteArray s1 = record('1', 0x8000, "low");
        const QByteArray s5 = "S5030001FB\r\n";
        QTest::newRow("S8 ends the data") << s1 + record('2', 0x388000, "old") + "S804000000FB\r\n"
                                          << s1 + newRecords(0) + "S804000000FB\r\n"
                                          << 1;
        QTest::newRow("S7 ends the data") << record('2', 0x388000, "old") + "S70500000000FA\r\n"
                                          << newRecords(0) + "S70500000000FA\r\n"
                                          << 1;
        QTest::newRow("S3 records in the range go")
            << record('3', 0x00388000, "old") + record('3', 0x0038BFF0, "old") + record('3', 0x01000000, "keep") + s5 +
                   EndS9
            << newRecords(0) + record('3', 0x01000000, "keep") + s5 + EndS9 << 1;
        QTest::newRow("end record before the range gives 0") << EndS9 << EndS9 << 0;
        QTest::newRow("lines after S9 follow the same rules")
            << EndS9 + record('2', 0x388000, "old") + EndS9 << EndS9 + newRecords(0) + EndS9 << 1;
        QTest::newRow("other text and empty lines are copied")
            << QByteArray("s2 lower case\r\n\r\nS9\r\n") << QByteArray("s2 lower case\r\n\r\nS9\r\n") << 0;
        QTest::newRow("last line without line end") << s1 + "S9030000FC" << s1 + EndS9 << 0;
    }
    void recordKinds()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, expected);
        QFETCH(int, result);
        Bench bench;
        QCOMPARE(bench.stage(0, input), result);
        QCOMPARE(bench.output(), expected);
    }

    // A record that crosses a range boundary keeps its bytes outside the range.
    void straddlingRecordsAreCut()
    {
        QByteArray low, high;
        for (int i = 0; i < 32; ++i) {
            low.append(char(0x10 + i));
            high.append(char(0x80 + i));
        }
        const QByteArray master = Header + record('2', 0x387FF0, low) + s2Run(0x388010, 0x38BFF0, oldByte) +
                                  record('2', 0x38BFF0, high) + EndS9;
        Bench bench;
        QCOMPARE(bench.stage(0, master), 1);
        QCOMPARE(bench.output(), Header + record('2', 0x387FF0, low.left(16)) + newRecords(0) +
                                     record('2', 0x38C000, high.mid(16)) + EndS9);
    }

    void stageFailures_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("message");

        const QByteArray good = record('2', 0x388000, "old") + EndS9;
        QTest::newRow("input missing") << "no input" << good << ImageMessages::SxNotFound;
        QTest::newRow("output name empty") << "no name" << good << ImageMessages::NewSxNameEmpty;
        QTest::newRow("bin directory missing") << "no bin" << good << ImageMessages::BinDirNotFound;
        QTest::newRow("bin directory empty") << "empty bin" << good << ImageMessages::BinDirNotFound;
        QTest::newRow("bank file missing") << "no bank" << good << ImageMessages::bankFileNotFound(1);
        QTest::newRow("bank file short") << "short bank" << good
                                         << "File %1 is 16383 bytes long, 16384 are needed,"
                                            "Abort Procedure";
        QTest::newRow("no end record") << "" << record('2', 0x388000, "old")
                                       << "File %2 has no end record (S7, S8 or S9),Abort Procedure";
        QTest::newRow("empty input") << "" << QByteArray()
                                     << "File %2 has no end record (S7, S8 or S9),Abort Procedure";
        QTest::newRow("address not hex") << "" << Header + "S2243880ZZ00\r\n" + EndS9
                                         << ImageMessages::NewSxNotCreated +
                                                "\nFile %2, line 2: the address is not hexadecimal";
        QTest::newRow("text without line ends")
            << "" << QByteArray(17 * 1024 * 1024, 'x')
            << ImageMessages::NewSxNotCreated + "\nFile %2, line 1: the line is longer than 16777216 characters";
        QTest::newRow("record too short")
            << "" << QByteArray("S2\r\nS9\r\n")
            << ImageMessages::NewSxNotCreated + "\nFile %2, line 1: the record is too short to hold its address";
        QTest::newRow("bad checksum on a cut record")
            << ""
            << QByteArray(record('2', 0x387FF0, QByteArray(32, 'x')).replace("\r\n", "").chopped(2) + "00\r\n") + EndS9
            << ImageMessages::NewSxNotCreated + "\nFile %2, line 1: the checksum does not match the record";
    }
    void stageFailures()
    {
        QFETCH(QString, setup);
        QFETCH(QByteArray, input);
        QFETCH(QString, message);
        Bench bench;
        QString inputPath = bench.master(input);
        if (setup == QLatin1String("no input"))
            inputPath = bench.path(QStringLiteral("none.sx"));
        else if (setup == QLatin1String("no name"))
            bench.inputs.OutputPath = bench.path(QString());
        else if (setup == QLatin1String("no bin"))
            bench.inputs.BinDir = bench.path(QStringLiteral("nobin"));
        else if (setup == QLatin1String("empty bin"))
            bench.inputs.BinDir.clear();
        else if (setup == QLatin1String("no bank"))
            QFile::remove(bench.binFile(0));
        else if (setup == QLatin1String("short bank"))
            writeFileBytes(bench.binFile(0), QByteArray(16383, '\0'));

        QCOMPARE(bench.mergeStage(0, inputPath, QStringLiteral("out.sx")), -1);
        message.replace(QStringLiteral("%1"), QDir::toNativeSeparators(bench.binFile(0)))
            .replace(QStringLiteral("%2"), QDir::toNativeSeparators(inputPath));
        QCOMPARE(bench.notices.notices, QStringList({message}));
        QVERIFY(!bench.outputExists());
    }

    // A write that fails half way ends the stage with the merge's message.
    void failedWriteThroughADevice()
    {
        Bench bench;
        const QString input = bench.master(Header + s2Run(0x380000, 0x38C000, oldByte) + EndS9);
        FailDevice device(50000);
        QVERIFY(device.open(QIODevice::WriteOnly));
        FirmwareMerge merge(bench.inputs, bench.progress);
        const StageOutcome outcome = merge.MergeBankIntoDevice(0, input, device, bench.path(QStringLiteral("out.sx")));
        QCOMPARE(int(outcome.result), int(StageResult::Failed));
        QCOMPARE(outcome.message, ImageMessages::NewSxNotCreated +
                                      QStringLiteral("\nFile %1 could not be written: No space left on device")
                                          .arg(QDir::toNativeSeparators(bench.path(QStringLiteral("out.sx")))));
        QVERIFY(device.data().size() <= 50000);
        QVERIFY(!bench.outputExists());
    }

#ifdef Q_OS_LINUX
    // A write that fails half way (here: a file size limit, as a full disk would)
    // ends the stage with the merge's message; no partial output is left.
    void failedWriteEndsTheStage()
    {
        Bench bench;
        const QString input = bench.master(Header + s2Run(0x380000, 0x38C000, oldByte) + EndS9);
        rlimit saved{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
        rlimit limited = saved;
        limited.rlim_cur = 50000;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limited) == 0);
        const int result = bench.mergeStage(0, input, QStringLiteral("out.sx"));
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        QCOMPARE(result, -1);
        QCOMPARE(bench.notices.all().size(), 1);
        QVERIFY2(bench.notices.notices.value(0).startsWith(
                     ImageMessages::NewSxNotCreated +
                     QStringLiteral("\nFile %1 could not be written: ")
                         .arg(QDir::toNativeSeparators(bench.path(QStringLiteral("out.sx"))))),
                 qPrintable(bench.notices.all().join(u'|')));
        QCOMPARE(QDir(bench.dir.path()).entryList(QDir::Files), QStringList({QStringLiteral("master.sx")}));
    }
#endif

    void inputIsNeverTruncatedByItsOwnOutput()
    {
        Bench bench;
        const QByteArray master = record('2', 0x388000, "old") + EndS9;
        const QString input = bench.master(master);
        QVERIFY_THROWS_EXCEPTION(TessiroError, bench.mergeStage(0, input, QStringLiteral("master.sx")));
        QCOMPARE(readFileBytes(input), master);
    }

    void bankSelection()
    {
        using Banks = std::array<bool, 5>;
        QCOMPARE(selectedBanks(2), Banks({true, true, false, false, false}));
        QCOMPARE(selectedBanks(3), Banks({true, true, false, false, false}));
        QCOMPARE(selectedBanks(1), Banks({true, true, true, true, true}));
        QCOMPARE(selectedBanks(4), Banks({true, true, true, true, true}));
    }

    void chainMergesBanksOneAndTwo()
    {
        const QByteArray master = Header + s2Run(0x388000, 0x38C000, oldByte) + s2Run(0x398000, 0x39C000, oldByte) +
                                  s2Run(0x3A8000, 0x3AC000, oldByte) + EndS9;
        Bench bench;
        const QString masterPath = bench.master(master);
        QVERIFY(bench.runChain());
        QCOMPARE(readFileBytes(bench.path(QStringLiteral("New_qk4471.sx"))),
                 Header + newRecords(0) + newRecords(1) + s2Run(0x3A8000, 0x3AC000, oldByte) + EndS9);
        QCOMPARE(readFileBytes(masterPath), master);
        QCOMPARE(QDir(bench.dir.path()).entryList(QDir::Files),
                 QStringList({QStringLiteral("master.sx"), QStringLiteral("New_qk4471.sx")}));
        QCOMPARE(QDir(bench.path(QStringLiteral("bin"))).entryList(QDir::Files).size(), 5);
    }

    // Stage 2 finds nothing to replace: its result 0 lets the chain go on.
    void chainGoesOnWithoutTheBankTwoRange()
    {
        Bench bench;
        bench.master(Header + s2Run(0x388000, 0x38C000, oldByte) + EndS9);
        QVERIFY(bench.runChain());
        QCOMPARE(readFileBytes(bench.path(QStringLiteral("New_qk4471.sx"))), Header + newRecords(0) + EndS9);
        QCOMPARE(bench.notices.all(), QStringList());
    }

    void chainOfAllFiveBanks()
    {
        QByteArray master = Header;
        for (int bank = 0; bank < 5; ++bank)
            master += s2Run(BankRange::first(bank), BankRange::last(bank) + 1, oldByte);
        master += EndS9;
        Bench bench;
        bench.inputs.SelectedBanks = selectedBanks(1);
        bench.master(master);
        QVERIFY(bench.runChain());
        QByteArray expected = Header;
        for (int bank = 0; bank < 5; ++bank)
            expected += newRecords(bank);
        QCOMPARE(readFileBytes(bench.path(QStringLiteral("New_qk4471.sx"))), expected + EndS9);
    }

    void chainStopsAtAMissingBankFile()
    {
        Bench bench;
        writeFileBytes(bench.path(QStringLiteral("New_qk4471.sx")), "earlier merge");
        writeFileBytes(bench.path(QStringLiteral("New_qk4471.sx.x7Kq2Z")), "left by a killed run");
        QFile::remove(bench.binFile(1));
        bench.master(Header + s2Run(0x388000, 0x38C000, oldByte) + EndS9);
        QVERIFY(!bench.runChain());
        QCOMPARE(bench.notices.notices, QStringList({QStringLiteral("File bank2.bin Not Found,Abort Procedure")}));
        // Nothing is written, a killed run's temporary is gone; the earlier merge stays as it was.
        QCOMPARE(QDir(bench.dir.path()).entryList(QDir::Files),
                 QStringList({QStringLiteral("master.sx"), QStringLiteral("New_qk4471.sx")}));
        QCOMPARE(readFileBytes(bench.path(QStringLiteral("New_qk4471.sx"))), QByteArray("earlier merge"));
    }

    // Stages run in order and each stops the chain: a later stage's failure is
    // shown only when the stages before it went through.
    void chainFailsWithTheFirstFailingStage_data()
    {
        QTest::addColumn<QByteArray>("master");
        QTest::addColumn<QString>("message");
        const QByteArray bank1 = s2Run(0x388000, 0x38C000, oldByte);
        QTest::newRow("stage 1 meets no end record")
            << Header + bank1 << QStringLiteral("File %1 has no end record (S7, S8 or S9),Abort Procedure");
        QTest::newRow("stage 1 meets a bad line")
            << Header + bank1 + "S2243880ZZ00\r\n" + EndS9
            << ImageMessages::NewSxNotCreated + "\nFile %1, line 514: the address is not hexadecimal";
        QTest::newRow("stage 2 lacks its bank file")
            << Header + bank1 + EndS9 << QStringLiteral("File bank2.bin Not Found,Abort Procedure");
    }
    void chainFailsWithTheFirstFailingStage()
    {
        QFETCH(QByteArray, master);
        QFETCH(QString, message);
        Bench bench;
        QFile::remove(bench.binFile(1));
        QVERIFY(!bench.runChain(master));
        QCOMPARE(
            bench.notices.notices,
            QStringList({message.replace(QStringLiteral("%1"), QDir::toNativeSeparators(bench.inputs.MasterFile))}));
        QVERIFY(!QFileInfo::exists(bench.inputs.OutputPath));
    }

    // A master in the project folder named like a temporary of the merge (or like
    // the intermediate files of earlier versions) is read, never changed.
    void masterNamedLikeATemporary_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("temporary of the merged file") << QStringLiteral("New_qk4471.sx.Ab12Cd");
        QTest::newRow("former intermediate file") << QStringLiteral("\u00B0B2\u00B0.sx");
    }
    void masterNamedLikeATemporary()
    {
        QFETCH(QString, name);
        Bench bench;
        const QByteArray master = Header + s2Run(0x388000, 0x38C000, oldByte) + EndS9;
        bench.inputs.MasterFile = bench.path(name);
        writeFileBytes(bench.inputs.MasterFile, master);
        writeFileBytes(bench.path(QStringLiteral("New_qk4471.sx.Zz99Yy")), "left by a killed run");
        QVERIFY(bench.runChain());
        QCOMPARE(readFileBytes(bench.inputs.MasterFile), master);
        QCOMPARE(readFileBytes(bench.inputs.OutputPath), Header + newRecords(0) + EndS9);
        QCOMPARE(QDir(bench.dir.path()).entryList(QDir::Files), QStringList({QStringLiteral("New_qk4471.sx"), name}));
    }

    // Nothing that is not a plain file of a sane size is read: a FIFO would block,
    // a device or a huge file would never end or exhaust memory.
    void inputsThatAreRefused_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("message");
        const QString notRegular = QStringLiteral("File %1 is not a regular file,Abort Procedure");
        const QString tooLarge =
            QStringLiteral("File %1 is %2 bytes long, more than the %3 bytes allowed,Abort Procedure");
        QTest::newRow("master is a folder") << "master folder" << notRegular;
        QTest::newRow("bank file is a folder") << "bank folder" << notRegular;
        QTest::newRow("master over 1 GiB")
            << "master large"
            << tooLarge.arg(QStringLiteral("%1"), QStringLiteral("1073741825"), QStringLiteral("1073741824"));
        QTest::newRow("bank file over 64 MiB")
            << "bank large"
            << tooLarge.arg(QStringLiteral("%1"), QStringLiteral("67108865"), QStringLiteral("67108864"));
#ifdef Q_OS_UNIX
        QTest::newRow("master is a FIFO") << "master fifo" << notRegular;
        QTest::newRow("bank file is a FIFO") << "bank fifo" << notRegular;
#endif
    }
    void inputsThatAreRefused()
    {
        QFETCH(QString, what);
        QFETCH(QString, message);
        Bench bench;
        bench.master(Header + s2Run(0x388000, 0x38C000, oldByte) + EndS9);
        writeFileBytes(bench.inputs.OutputPath, "earlier merge");
        const bool master = what.startsWith(QLatin1String("master"));
        const QString path = master ? bench.inputs.MasterFile : bench.binFile(1);
        QFile::remove(path);
        if (what.endsWith(QLatin1String("folder"))) {
            QVERIFY(QDir().mkdir(path));
        } else if (what.endsWith(QLatin1String("large"))) {
            // Sparse where the file system allows: no disk space is used.
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize((master ? qint64(1) << 30 : qint64(64) << 20) + 1));
        } else {
#ifdef Q_OS_UNIX
            QCOMPARE(QProcess::execute(QStringLiteral("mkfifo"), {path}), 0);
#endif
        }
        QVERIFY(!bench.runChain());
        QCOMPARE(bench.notices.notices,
                 QStringList({message.replace(QStringLiteral("%1"), QDir::toNativeSeparators(path))}));
        QCOMPARE(readFileBytes(bench.inputs.OutputPath), QByteArray("earlier merge"));
    }

#ifdef Q_OS_LINUX
    // The chain's file replaces the earlier merge only when it is whole: a write
    // that fails half way (a file size limit, as a full disk would) leaves the
    // earlier merge and no temporary.
    void failedWriteKeepsTheEarlierMerge()
    {
        Bench bench;
        writeFileBytes(bench.inputs.OutputPath, "earlier merge");
        bench.master(Header + s2Run(0x300000, 0x3A0000, oldByte) + EndS9);
        rlimit saved{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
        rlimit limited = saved;
        limited.rlim_cur = 100000;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limited) == 0);
        const bool merged = bench.runChain();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY(!merged);
        QVERIFY2(bench.notices.notices.value(0).startsWith(ImageMessages::NewSxNotCreated +
                                                           QStringLiteral("\nFile %1 could not be written: ")
                                                               .arg(QDir::toNativeSeparators(bench.inputs.OutputPath))),
                 qPrintable(bench.notices.all().join(u'|')));
        QCOMPARE(readFileBytes(bench.inputs.OutputPath), QByteArray("earlier merge"));
        QCOMPARE(QDir(bench.dir.path()).entryList(QDir::Files),
                 QStringList({QStringLiteral("master.sx"), QStringLiteral("New_qk4471.sx")}));
    }
#endif

    // SRecord's srec_cat does the same replacement independently; the outputs must agree.
    void agreesWithSrecCat()
    {
        const QString srecCat = QStandardPaths::findExecutable(QStringLiteral("srec_cat"));
        if (srecCat.isEmpty())
            QSKIP("srec_cat (Debian package srecord) is not installed");
        Bench bench;
        QByteArray image(0x60000, '\0');
        for (int i = 0; i < image.size(); ++i)
            image[i] = char((i * 13 + (i >> 9)) & 0xFF);
        writeFileBytes(bench.path(QStringLiteral("image.bin")), image);
        const QStringList format = {QStringLiteral("-motorola"),
                                    QStringLiteral("-obs"),
                                    QStringLiteral("32"),
                                    QStringLiteral("-address-length=3"),
                                    QStringLiteral("-disable=data-count"),
                                    QStringLiteral("-crlf")};
        auto run = [&](const QStringList &args) {
            QProcess p;
            p.setWorkingDirectory(bench.dir.path());
            p.start(srecCat, args);
            QVERIFY(p.waitForFinished(30000));
            QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
        };
        run(QStringList{QStringLiteral("image.bin"), QStringLiteral("-binary"), QStringLiteral("-offset"),
                        QStringLiteral("0x370000"), QStringLiteral("-o"), QStringLiteral("master.sx")} +
            format +
            QStringList{QStringLiteral("-header=QK4471"), QStringLiteral("-execution-start-address=0x370000")});
        run(QStringList{QStringLiteral("master.sx"), QStringLiteral("-exclude"), QStringLiteral("0x388000"),
                        QStringLiteral("0x38C000"), QStringLiteral("-exclude"), QStringLiteral("0x398000"),
                        QStringLiteral("0x39C000"), QStringLiteral("bin/bank1.bin"), QStringLiteral("-binary"),
                        QStringLiteral("-offset"), QStringLiteral("0x388000"), QStringLiteral("bin/bank2.bin"),
                        QStringLiteral("-binary"), QStringLiteral("-offset"), QStringLiteral("0x398000"),
                        QStringLiteral("-o"), QStringLiteral("expected.sx")} +
            format);

        QVERIFY(bench.runChain());
        const QByteArray ours = readFileBytes(bench.path(QStringLiteral("New_qk4471.sx")));
        QVERIFY(ours.endsWith("S804370000C4\r\n"));
        QCOMPARE(ours, readFileBytes(bench.path(QStringLiteral("expected.sx"))));
    }
};

QTEST_GUILESS_MAIN(TestFirmwareMerge)
#include "tst_FirmwareMerge.moc"
