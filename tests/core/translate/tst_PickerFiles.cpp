#include "shell/HelpFile.h"
#include "shell/Messages.h"
#include "support/TestSupport.h"
#include "translate/Messages.h"
#include "translate/StringsFile.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestPickerFiles : public QObject {
    Q_OBJECT
private slots:
    void strings()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("strings.xml"));
        writeFileBytes(path, "<strings><s>Motor</s><!-- a note --><t>a <b>bold</b> word</t><s/><s>\xC2\xB0"
                             "C</s></strings>");
        const Loaded<QStringList> loaded = loadStrings(path);
        QCOMPARE(loaded.problems, QStringList());
        QCOMPARE(loaded.value, QStringList({"Motor", "a bold word", "", QStringLiteral("\u00B0C")}));
    }

    void stringsProblems_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: no file
        QTest::addColumn<QString>("first");      // the fixed text each message starts with
        QTest::addColumn<QString>("place");      // and a part of the line that says where
        QTest::addColumn<int>("strings");
        QTest::newRow("missing") << QByteArray() << TranslateMessages::StringsXmlNotFound << "does not exist" << 0;
        QTest::newRow("not XML") << QByteArray("<strings><s>a</s>") << TranslateMessages::XmlReadError
                                 << "is not valid XML" << 0;
        QByteArray many = "<strings>";
        for (int i = 0; i < 1002; ++i)
            many += "<s>" + QByteArray::number(i) + "</s>";
        QTest::newRow("more than 1000") << many + "</strings>" << QStringLiteral("File \"") << "2 strings left out"
                                        << 1000;
    }
    void stringsProblems()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, first);
        QFETCH(QString, place);
        QFETCH(int, strings);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("strings.xml"));
        if (!content.isEmpty())
            writeFileBytes(path, content);
        const Loaded<QStringList> loaded = loadStrings(path);
        QCOMPARE(loaded.problems.size(), 1);
        QVERIFY2(loaded.problems[0].startsWith(first), qPrintable(loaded.problems[0]));
        QVERIFY2(loaded.problems[0].contains(place), qPrintable(loaded.problems[0]));
        QVERIFY(loaded.problems[0].contains(QDir::toNativeSeparators(path)));
        QCOMPARE(loaded.value.size(), strings);
    }

    void helpFile()
    {
        QTemporaryDir dir;
        const QString exeDir = dir.filePath(QStringLiteral("usr/bin"));
        QVERIFY(QDir().mkpath(exeDir));
        Loaded<QString> help = loadHelpText(exeDir);
        QCOMPARE(help.value, QString());
        QCOMPARE(
            help.problems,
            QStringList{ShellMessages::HelpUnreadable + u'\n' +
                        ShellMessages::HelpLookedIn.arg(
                            QDir::toNativeSeparators(exeDir + QStringLiteral("/help2.dat")),
                            QDir::toNativeSeparators(dir.filePath(QStringLiteral("usr/share/tessiro/help2.dat"))))});

        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("usr/share/tessiro"))));
        writeFileBytes(dir.filePath(QStringLiteral("usr/share/tessiro/help2.dat")), "<p>Step \xC2\xB0</p>");
        help = loadHelpText(exeDir);
        QCOMPARE(help.problems, QStringList());
        QCOMPARE(help.value, QStringLiteral("<p>Step \u00B0</p>"));
    }
};

QTEST_GUILESS_MAIN(TestPickerFiles)
#include "tst_PickerFiles.moc"
