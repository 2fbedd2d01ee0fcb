#include "base/TessiroError.h"
#include "config/Messages.h"
#include "config/Pargen.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace ConfigMessages;

class TestPargen : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path() const { return m_dir.filePath(QStringLiteral("pargen.xml")); }

private slots:
    void init() { QFile::remove(path()); }

    void missingFileGivesDefaultsAndDefaultsSaveExactly()
    {
        const Loaded<PargenValues> loaded = loadPargen(path());
        QCOMPARE(loaded.problems, QStringList());
        QCOMPARE(loaded.value, PargenValues());
        QVERIFY(!QFile::exists(path()));

        savePargen(path(), loaded.value);
        QCOMPARE(readFileBytes(path()),
                 QByteArray("<Par_Gen><Can_Dev_Id>1</Can_Dev_Id><Can_Baud>0</Can_Baud><Net_Dev_Id>1</Net_Dev_Id>"
                            "<Net_Baud>0</Net_Baud><Time_Out_SDO>10000</Time_Out_SDO><Ope_Dev>0</Ope_Dev>"
                            "<Ope_Net>0</Ope_Net><Ope_TimeOut>0</Ope_TimeOut></Par_Gen>"));
    }

    void typedTextIsKeptThroughSaveAndLoad()
    {
        PargenValues values;
        values.Can_Dev_Id = QStringLiteral("$7F");
        values.Can_Baud = -1;
        values.Net_Dev_Id = QStringLiteral(" 0x40");
        values.Net_Baud = 2;
        values.Time_Out_SDO = QStringLiteral("+0");
        values.Ope_Dev = true;
        values.Ope_Net = false;
        values.Ope_TimeOut = -5;
        savePargen(path(), values);
        QCOMPARE(readFileBytes(path()),
                 QByteArray("<Par_Gen><Can_Dev_Id>$7F</Can_Dev_Id><Can_Baud>-1</Can_Baud><Net_Dev_Id> 0x40</Net_Dev_Id>"
                            "<Net_Baud>2</Net_Baud><Time_Out_SDO>+0</Time_Out_SDO><Ope_Dev>1</Ope_Dev>"
                            "<Ope_Net>0</Ope_Net><Ope_TimeOut>-5</Ope_TimeOut></Par_Gen>"));
        const Loaded<PargenValues> loaded = loadPargen(path());
        QCOMPARE(loaded.problems, QStringList());
        QCOMPARE(loaded.value, values);
    }

    void load_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("canId");
        QTest::addColumn<int>("canBaud");
        QTest::addColumn<QString>("netId");
        QTest::addColumn<QString>("timeOut");
        QTest::addColumn<bool>("opeDev");
        QTest::addColumn<int>("delay");
        // The error's element or text; empty when the file loads cleanly.
        QTest::addColumn<QString>("errorPart");

        const QByteArray required = "<Can_Dev_Id>5</Can_Dev_Id><Can_Baud>$8</Can_Baud><Net_Dev_Id>7</Net_Dev_Id>"
                                    "<Net_Baud>1</Net_Baud><Time_Out_SDO>300</Time_Out_SDO>";
        QTest::newRow("without optional elements") << "<Par_Gen>" + required + "</Par_Gen>"
                                                   << "5" << 8 << "7"
                                                   << "300" << false << 0 << "";
        QTest::newRow("any order, optional set")
            << "<Par_Gen><Ope_TimeOut>300</Ope_TimeOut><Ope_Dev>1</Ope_Dev>" + required + "</Par_Gen>"
            << "5" << 8 << "7"
            << "300" << true << 300 << "";
        QTest::newRow("flag other than 1 is cleared")
            << "<Par_Gen>" + required + "<Ope_Dev>2</Ope_Dev><Ope_TimeOut>abc</Ope_TimeOut></Par_Gen>"
            << "5" << 8 << "7"
            << "300" << false << 0 << "";
        QTest::newRow("baud outside the list is kept as read")
            << QByteArray("<Par_Gen><Can_Dev_Id>5</Can_Dev_Id><Can_Baud>9</Can_Baud><Net_Dev_Id>7</Net_Dev_Id>"
                          "<Net_Baud>1</Net_Baud><Time_Out_SDO>300</Time_Out_SDO></Par_Gen>")
            << "5" << 9 << "7"
            << "300" << false << 0 << "";
        QTest::newRow("declaration before the root") << "<?xml version=\"1.0\"?><Par_Gen>" + required + "</Par_Gen>"
                                                     << "5" << 8 << "7"
                                                     << "300" << false << 0 << "";
        QTest::newRow("root of another name is still read") << "<Other>" + required + "</Other>"
                                                            << "5" << 8 << "7"
                                                            << "300" << false << 0 << "";
        // Reading stops at the faulty element: what came before it is kept, the rest are defaults.
        QTest::newRow("Net_Dev_Id missing")
            << QByteArray("<Par_Gen><Can_Dev_Id>5</Can_Dev_Id><Can_Baud>8</Can_Baud><Time_Out_SDO>300</Time_Out_SDO>"
                          "<Ope_Dev>1</Ope_Dev></Par_Gen>")
            << "5" << 8 << "1"
            << "10000" << false << 0 << "element <Net_Dev_Id> is missing";
        QTest::newRow("baud not an integer")
            << QByteArray("<Par_Gen><Can_Dev_Id>5</Can_Dev_Id><Can_Baud>fast</Can_Baud></Par_Gen>") << "5" << 0 << "1"
            << "10000" << false << 0 << "<Can_Baud> holds 'fast', which is not a valid integer value";
        QTest::newRow("Time_Out_SDO missing")
            << "<Par_Gen>" + required.left(required.indexOf("<Time_Out_SDO>")) + "</Par_Gen>"
            << "5" << 8 << "7"
            << "10000" << false << 0 << "element <Time_Out_SDO> is missing";
        QTest::newRow("broken XML") << QByteArray("<Par_Gen><Can_Dev_Id>5</Par_Gen>") << "1" << 0 << "1"
                                    << "10000" << false << 0 << "is not valid XML";
        QTest::newRow("empty file") << QByteArray() << "1" << 0 << "1"
                                    << "10000" << false << 0 << "is not valid XML";
    }

    void load()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, canId);
        QFETCH(int, canBaud);
        QFETCH(QString, netId);
        QFETCH(QString, timeOut);
        QFETCH(bool, opeDev);
        QFETCH(int, delay);
        QFETCH(QString, errorPart);

        writeFileBytes(path(), file);
        const Loaded<PargenValues> loaded = loadPargen(path());
        const PargenValues &values = loaded.value;
        if (errorPart.isEmpty()) {
            QCOMPARE(loaded.problems, QStringList());
        } else {
            QCOMPARE(loaded.problems.size(), 1);
            const QString &error = loaded.problems.first();
            QVERIFY2(error.contains(errorPart), qPrintable(error));
            QVERIFY2(error.contains(QDir::toNativeSeparators(path())), qPrintable(error));
        }
        QCOMPARE(values.Can_Dev_Id, canId);
        QCOMPARE(values.Can_Baud, canBaud);
        QCOMPARE(values.Net_Dev_Id, netId);
        QCOMPARE(values.Time_Out_SDO, timeOut);
        QCOMPARE(values.Ope_Dev, opeDev);
        QCOMPARE(values.Ope_TimeOut, delay);
        QCOMPARE(readFileBytes(path()), file);
    }

    void rangeChecks_data()
    {
        QTest::addColumn<QString>("canId");
        QTest::addColumn<QString>("netId");
        QTest::addColumn<QString>("timeOut");
        QTest::addColumn<QStringList>("failures");

        QTest::newRow("defaults") << "1"
                                  << "1"
                                  << "10000" << QStringList();
        QTest::newRow("upper bounds") << "127"
                                      << "64"
                                      << "65535" << QStringList();
        QTest::newRow("hex accepted") << "$7F"
                                      << "0x40"
                                      << "0" << QStringList();
        QTest::newRow("can 0") << "0"
                               << "1"
                               << "0" << QStringList{CanAddressRange};
        QTest::newRow("can 128") << "128"
                                 << "1"
                                 << "0" << QStringList{CanAddressRange};
        QTest::newRow("can empty") << ""
                                   << "1"
                                   << "0" << QStringList{CanAddressRange};
        QTest::newRow("net 65") << "1"
                                << "65"
                                << "0" << QStringList{NetAddressRange};
        QTest::newRow("net empty") << "1"
                                   << ""
                                   << "0" << QStringList{NetAddressRange};
        QTest::newRow("net abc") << "1"
                                 << "abc"
                                 << "0" << QStringList{NetAddressRange};
        QTest::newRow("time-out 65536") << "1"
                                        << "1"
                                        << "65536" << QStringList{TimeOutSdoRange};
        QTest::newRow("time-out -1") << "1"
                                     << "1"
                                     << "-1" << QStringList{TimeOutSdoRange};
        QTest::newRow("trailing blank is not an integer") << "1 "
                                                          << "1"
                                                          << "0" << QStringList{CanAddressRange};
        QTest::newRow("all wrong, in check order")
            << "0"
            << "99"
            << "x" << QStringList{CanAddressRange, NetAddressRange, TimeOutSdoRange};
    }

    void rangeChecks()
    {
        QFETCH(QString, canId);
        QFETCH(QString, netId);
        QFETCH(QString, timeOut);
        QFETCH(QStringList, failures);
        PargenValues values;
        values.Can_Dev_Id = canId;
        values.Net_Dev_Id = netId;
        values.Time_Out_SDO = timeOut;
        QCOMPARE(communicationFailures(values), failures);
    }

    // The bank keeps the baud indexes and the delay in one byte each: a value
    // outside the list or 0..255 would reach the device as another one.
    void byteChecks_data()
    {
        QTest::addColumn<int>("canBaud");
        QTest::addColumn<int>("netBaud");
        QTest::addColumn<int>("delay");
        QTest::addColumn<QStringList>("failures");
        QTest::newRow("bounds") << 8 << 2 << 255 << QStringList();
        QTest::newRow("zeros") << 0 << 0 << 0 << QStringList();
        QTest::newRow("can baud typed, not in the list") << -1 << 0 << 0 << QStringList{CanBaudNotValid};
        QTest::newRow("can baud 9 from a file") << 9 << 0 << 0 << QStringList{CanBaudNotValid};
        QTest::newRow("net baud 3") << 0 << 3 << 0 << QStringList{NetBaudNotValid};
        QTest::newRow("delay 256") << 0 << 0 << 256 << QStringList{DelayRange};
        QTest::newRow("delay -5") << 0 << 0 << -5 << QStringList{DelayRange};
        QTest::newRow("all, after the ranges")
            << -1 << -1 << 300 << QStringList{CanBaudNotValid, NetBaudNotValid, DelayRange};
    }

    void byteChecks()
    {
        QFETCH(int, canBaud);
        QFETCH(int, netBaud);
        QFETCH(int, delay);
        QFETCH(QStringList, failures);
        PargenValues values;
        values.Can_Baud = canBaud;
        values.Net_Baud = netBaud;
        values.Ope_TimeOut = delay;
        QCOMPARE(communicationFailures(values), failures);
        values.Time_Out_SDO = QStringLiteral("-1");
        QCOMPARE(pargenFailures(values).first().field, PargenField::TimeOutSdo);
    }

    void failedWriteLeavesTheFileAlone()
    {
        const QString blocked = m_dir.filePath(QStringLiteral("missing-dir/pargen.xml"));
        const QString error = thrownMessage([&] { savePargen(blocked, PargenValues()); });
        QVERIFY2(error.contains(QDir::toNativeSeparators(blocked)), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestPargen)
#include "tst_Pargen.moc"
