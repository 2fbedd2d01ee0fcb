#include "base/TessiroError.h"
#include "project/ParseIntText.h"

#include <QTest>

class TestParseIntText : public QObject {
    Q_OBJECT
private slots:
    void cases_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<qint32>("value");

        QTest::newRow("decimal") << "1234" << true << 1234;
        QTest::newRow("leading zeros") << "007" << true << 7;
        QTest::newRow("plus") << "+5" << true << 5;
        QTest::newRow("minus") << "-5" << true << -5;
        QTest::newRow("leading blanks") << "   42" << true << 42;
        QTest::newRow("leading tab") << "\t42" << true << 42;
        QTest::newRow("int max") << "2147483647" << true << 2147483647;
        QTest::newRow("int min") << "-2147483648" << true << qint32(-2147483647 - 1);
        QTest::newRow("dollar") << "$1A" << true << 0x1A;
        QTest::newRow("0x lower digits") << "0xff" << true << 255;
        QTest::newRow("0X") << "0X10" << true << 16;
        QTest::newRow("x") << "x10" << true << 16;
        QTest::newRow("X") << "X10" << true << 16;
        QTest::newRow("eight F digits") << "$FFFFFFFF" << true << -1;
        QTest::newRow("high bit pattern") << "$80000000" << true << qint32(-2147483647 - 1);
        QTest::newRow("negative hex") << "-$10" << true << -16;
        QTest::newRow("blank then signed hex") << "  +0x7F" << true << 127;

        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("blanks only") << "   " << false << 0;
        QTest::newRow("lone sign") << "-" << false << 0;
        QTest::newRow("lone dollar") << "$" << false << 0;
        QTest::newRow("lone 0x") << "0x" << false << 0;
        QTest::newRow("lone x") << "x" << false << 0;
        QTest::newRow("signed lone prefix") << "-$" << false << 0;
        QTest::newRow("nine hex digits") << "$100000000" << false << 0;
        QTest::newRow("nine digits leading zero") << "$0FFFFFFFF" << false << 0;
        QTest::newRow("overflow") << "2147483648" << false << 0;
        QTest::newRow("underflow") << "-2147483649" << false << 0;
        QTest::newRow("huge") << "99999999999999999999" << false << 0;
        QTest::newRow("trailing blank") << "12 " << false << 0;
        QTest::newRow("inner blank") << "1 2" << false << 0;
        QTest::newRow("blank after sign") << "- 5" << false << 0;
        QTest::newRow("double sign") << "--5" << false << 0;
        QTest::newRow("bad hex digit") << "$1G" << false << 0;
        QTest::newRow("decimal point") << "1.5" << false << 0;
        QTest::newRow("letters") << "abc" << false << 0;
        QTest::newRow("hex without prefix") << "1F" << false << 0;
    }

    void cases()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(qint32, value);

        QCOMPARE(ParseIntText(text, -1), valid ? value : -1);
        QCOMPARE(ParseIntText(text, 0), valid ? value : 0);
        try {
            const qint32 strict = ParseIntText(text);
            QVERIFY2(valid, "strict form accepted an invalid text");
            QCOMPARE(strict, value);
        } catch (const TessiroError &e) {
            QVERIFY2(!valid, "strict form refused a valid text");
            QCOMPARE(e.message(), QStringLiteral("'%1' is not a valid integer value").arg(text));
        }
    }
};

QTEST_GUILESS_MAIN(TestParseIntText)
#include "tst_ParseIntText.moc"
