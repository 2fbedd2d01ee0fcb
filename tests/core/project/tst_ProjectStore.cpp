#include "project/IniFile.h"
#include "project/Messages.h"
#include "project/ProjectStore.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString Sep = QString(QDir::separator());

QString iniPath(const QTemporaryDir &dir)
{
    return dir.filePath(QStringLiteral("Tessiro_Brevik.ini"));
}
} // namespace

class TestProjectStore : public QObject {
    Q_OBJECT
private slots:
    void firstStartInEmptyDirectory()
    {
        QTemporaryDir app;
        ProjectStore store;
        QVERIFY(!store.startUp(app.path()));
        const ProjectState &s = store.state();
        QVERIFY(QFileInfo(app.filePath(QStringLiteral("MASTER"))).isDir());
        QVERIFY(QFileInfo(app.filePath(QStringLiteral("PROJECTS"))).isDir());
        QCOMPARE(s.ProjectDir, s.ProjectsDir);
        QCOMPARE(s.ProjectName, QString());
        QCOMPARE(s.ProjectFiles.PargenPath, s.ProjectsDir + Sep + "pargen.xml");

        store.saveLastProject();
        QCOMPARE(readFileBytes(iniPath(app)), QByteArray("[lastproj]\r\nprojectname=\r\n"));

        ProjectStore again;
        QVERIFY(!again.startUp(app.path()));
        QCOMPARE(again.state().ProjectDir, again.state().ProjectsDir);
    }

    void restoresStoredProject_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("bare name") << "Line3";
        QTest::newRow("with separator") << Sep + "Line3";
    }

    void restoresStoredProject()
    {
        QFETCH(QString, stored);
        QTemporaryDir app;
        QVERIFY(QDir(app.path()).mkpath(QStringLiteral("PROJECTS/Line3")));
        writeFileBytes(iniPath(app), "[lastproj]\r\nprojectname=" + stored.toUtf8() + "\r\n");

        ProjectStore store;
        QVERIFY(store.startUp(app.path()));
        QCOMPARE(store.state().ProjectName, Sep + "Line3");
        QCOMPARE(store.state().ProjectDir, store.state().ProjectsDir + Sep + "Line3");
        QCOMPARE(store.state().ProjectFiles.PdoPath, store.state().ProjectDir + Sep + "pdo.xml");
    }

    void vanishedProjectKeepsItsName()
    {
        QTemporaryDir app;
        writeFileBytes(iniPath(app), "[lastproj]\r\nprojectname=Gone\r\n");
        ProjectStore store;
        QVERIFY(!store.startUp(app.path()));
        QCOMPARE(store.state().ProjectDir, store.state().ProjectsDir);
        store.saveLastProject();
        QCOMPARE(readFileBytes(iniPath(app)), QByteArray("[lastproj]\r\nprojectname=") + Sep.toUtf8() + "Gone\r\n");
    }

    void storedNameCannotLeaveProjects()
    {
        QTemporaryDir app;
        QVERIFY(QDir(app.path()).mkpath(QStringLiteral("elsewhere")));
        writeFileBytes(iniPath(app), "[lastproj]\r\nprojectname=../elsewhere\r\n");
        ProjectStore store;
        QVERIFY(!store.startUp(app.path()));
        QCOMPARE(store.state().ProjectDir, store.state().ProjectsDir);
    }

    void iniWriterKeepsEverythingElse_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("replace, keep others")
            << QByteArray("; settings\r\n[other]\r\npath=C:\\a\\b\r\n\r\n[LastProj]\r\n"
                          "ProjectName = \\Old\r\nextra=1\r\n")
            << QByteArray("; settings\r\n[other]\r\npath=C:\\a\\b\r\n\r\n[LastProj]\r\n"
                          "ProjectName=\\New\\x\r\nextra=1\r\n");
        QTest::newRow("key added to section") << QByteArray("[lastproj]\r\nextra=1\r\n\r\n[z]\r\nk=v\r\n")
                                              << QByteArray("[lastproj]\r\nextra=1\r\nprojectname=\\New\\x\r\n\r\n"
                                                            "[z]\r\nk=v\r\n");
        QTest::newRow("section appended, LF kept")
            << QByteArray("[z]\nk=v\n") << QByteArray("[z]\nk=v\n[lastproj]\nprojectname=\\New\\x\n");
        QTest::newRow("no final line break")
            << QByteArray("[lastproj]\r\nprojectname=a") << QByteArray("[lastproj]\r\nprojectname=\\New\\x");
        QTest::newRow("mixed line ends, key replaced") << QByteArray("[lastproj]\nprojectname=\\Old\r\nz=1\n")
                                                       << QByteArray("[lastproj]\nprojectname=\\New\\x\r\nz=1\n");
        QTest::newRow("mixed line ends, key added after an LF line")
            << QByteArray("[lastproj]\r\nextra=1\n[z]\r\n")
            << QByteArray("[lastproj]\r\nextra=1\nprojectname=\\New\\x\n[z]\r\n");
        QTest::newRow("lone CR is no line end") << QByteArray("[lastproj]\rprojectname=a\n")
                                                << QByteArray("[lastproj]\rprojectname=a\nprojectname=\\New\\x\n");
        QTest::newRow("section appended after a last line without an end")
            << QByteArray("[z]\nk=v") << QByteArray("[z]\nk=v\n[lastproj]\nprojectname=\\New\\x\n");
        QTest::newRow("commented key ignored")
            << QByteArray("[lastproj]\r\n;projectname=a\r\n")
            << QByteArray("[lastproj]\r\n;projectname=a\r\nprojectname=\\New\\x\r\n");
    }

    void iniWriterKeepsEverythingElse()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.ini"));
        writeFileBytes(path, before);
        writeIniValue(path, QStringLiteral("lastproj"), QStringLiteral("projectname"), QStringLiteral("\\New\\x"));
        QCOMPARE(readFileBytes(path), after);
        QCOMPARE(readIniValue(path, QStringLiteral("LASTPROJ"), QStringLiteral("projectname")),
                 QStringLiteral("\\New\\x"));
    }

    void newProjectChecks_data()
    {
        QTest::addColumn<bool>("withParent");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("messages");
        const QString notValid = ProjectMessages::NameNotValid;
        QTest::newRow("no parent, no name")
            << false << "" << QStringList{ProjectMessages::DestinationNotValid, notValid};
        QTest::newRow("no parent") << false << "Line9" << QStringList{ProjectMessages::DestinationNotValid};
        QTest::newRow("empty") << true << "" << QStringList{notValid};
        QTest::newRow("exists") << true << "Line3" << QStringList{ProjectMessages::NameExists};
        QTest::newRow("dot") << true << "." << QStringList{notValid};
        QTest::newRow("dot dot") << true << ".." << QStringList{notValid};
        QTest::newRow("slash") << true << "a/b" << QStringList{notValid};
        QTest::newRow("backslash") << true << "a\\b" << QStringList{notValid};
        QTest::newRow("climbs out") << true << "../evil" << QStringList{notValid};
        QTest::newRow("refused by file system") << true << QString(300, u'n') << QStringList{notValid};
        // Names Windows cannot hold are refused on every system, each with its reason.
        const auto device = [](const char *n) {
            return QStringList{ProjectMessages::NameIsDevice.arg(QLatin1String(n))};
        };
        QTest::newRow("device") << true << "CON" << device("CON");
        QTest::newRow("device, other case, extension") << true << "aux.txt" << device("aux.txt");
        QTest::newRow("numbered device") << true << "com1" << device("com1");
        QTest::newRow("device with blank before extension") << true << "Lpt9 .x" << device("Lpt9 .x");
        QTest::newRow("forbidden character")
            << true << "a<b" << QStringList{ProjectMessages::NameHasForbiddenCharacter.arg("a<b", "<")};
        QTest::newRow("colon") << true << "c:x"
                               << QStringList{ProjectMessages::NameHasForbiddenCharacter.arg("c:x", ":")};
        QTest::newRow("control character")
            << true << "a\tb" << QStringList{ProjectMessages::NameHasControlCharacter.arg("a\tb")};
        QTest::newRow("trailing dot") << true << "Line."
                                      << QStringList{ProjectMessages::NameEndsWithDotOrBlank.arg("Line.")};
        QTest::newRow("trailing blank") << true << "Line "
                                        << QStringList{ProjectMessages::NameEndsWithDotOrBlank.arg("Line ")};
    }

    void newProjectChecks()
    {
        QFETCH(bool, withParent);
        QFETCH(QString, name);
        QFETCH(QStringList, messages);
        QTemporaryDir app;
        ProjectStore store;
        store.startUp(app.path());
        QVERIFY(QDir(store.state().ProjectsDir).mkdir(QStringLiteral("Line3")));
        const ProjectState before = store.state();
        const QStringList entriesBefore = QDir(app.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

        QCOMPARE(store.createProject(withParent ? before.ProjectsDir : QString(), name), messages);
        QCOMPARE(store.state().ProjectDir, before.ProjectDir);
        QCOMPARE(store.state().ProjectName, before.ProjectName);
        QCOMPARE(QDir(app.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), entriesBefore);
        QCOMPARE(QDir(before.ProjectsDir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("Line3")});
    }

    void newProjectAcceptsNamesNearDevices_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("longer than a device") << "CONSOLE";
        QTest::newRow("COM0 is no device") << "COM0";
        QTest::newRow("COM10 is no device") << "COM10";
        QTest::newRow("device inside the name") << "my con";
        QTest::newRow("leading blank and dot") << " .Line";
        QTest::newRow("non-ASCII") << QStringLiteral("Linie Ä");
    }

    void newProjectAcceptsNamesNearDevices()
    {
        QFETCH(QString, name);
        QTemporaryDir app;
        ProjectStore store;
        store.startUp(app.path());
        QCOMPARE(store.createProject(store.state().ProjectsDir, name), QStringList());
        QVERIFY(QFileInfo(store.state().ProjectDir).isDir());
    }

    void newProjectCreatesEmptyProject()
    {
        QTemporaryDir app;
        ProjectStore store;
        store.startUp(app.path());
        QCOMPARE(store.createProject(store.state().ProjectsDir, QStringLiteral("Line4")), QStringList());
        const QString dir = store.state().ProjectsDir + Sep + "Line4";
        QCOMPARE(store.state().ProjectName, QStringLiteral("Line4"));
        QCOMPARE(store.state().ProjectDir, dir);
        QVERIFY(QDir(dir).entryList(QDir::Files).isEmpty());
        QVERIFY(QDir(dir + Sep + "bin").isEmpty());
        QCOMPARE(store.state().ProjectFiles.PargenPath, dir + Sep + "pargen.xml");
    }

    void openProject_data()
    {
        QTest::addColumn<QString>("chosen"); // relative to the program directory; "" cancels
        QTest::addColumn<QString>("projectName");
        QTest::newRow("project") << "PROJECTS/Line4" << Sep + "Line4";
        QTest::newRow("deeper folder") << "PROJECTS/Line4/bin" << Sep + "Line4" + Sep + "bin";
        QTest::newRow("PROJECTS itself") << "PROJECTS"
                                         << "";
        QTest::newRow("cancelled") << "" << Sep + "Line3";
        QTest::newRow("outside counts as cancel") << "MASTER" << Sep + "Line3";
        QTest::newRow("bin of PROJECTS counts as cancel") << "PROJECTS/bin" << Sep + "Line3";
    }

    void openProject()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, projectName);
        QTemporaryDir app;
        QVERIFY(QDir(app.path()).mkpath(QStringLiteral("PROJECTS/Line4/bin")));
        QVERIFY(QDir(app.path()).mkpath(QStringLiteral("PROJECTS/Line3")));
        QVERIFY(QDir(app.path()).mkpath(QStringLiteral("PROJECTS/bin")));
        writeFileBytes(iniPath(app), "[lastproj]\r\nprojectname=Line3\r\n");
        ProjectStore store;
        QVERIFY(store.startUp(app.path()));
        QCOMPARE(store.prepareOpen(), store.state().ProjectsDir + Sep + "Line3");

        store.openChosen(chosen.isEmpty() ? QString() : QDir::toNativeSeparators(app.filePath(chosen)));
        QCOMPARE(store.state().ProjectName, projectName);
        QCOMPARE(store.state().ProjectDir, store.state().ProjectsDir + projectName);
        QCOMPARE(store.state().ProjectFiles.SdoPath, store.state().ProjectDir + Sep + "sdo.xml");
    }

    void openCancelledAfterProjectVanished()
    {
        QTemporaryDir app;
        ProjectStore store;
        store.startUp(app.path());
        QCOMPARE(store.createProject(store.state().ProjectsDir, QStringLiteral("Line5")), QStringList());
        QVERIFY(QDir(store.state().ProjectDir).removeRecursively());

        QCOMPARE(store.prepareOpen(), QString());
        store.openChosen(QString());
        QVERIFY(!store.state().hasValidProject());
        QCOMPARE(store.state().ProjectName, QString());
        QCOMPARE(store.state().ProjectFiles.PargenPath, Sep + "pargen.xml");
    }

#ifdef Q_OS_WIN
    // Windows names one folder in several ways: "/" or "\", a lower-case drive
    // letter, names in another case, a trailing separator. Any of them chosen finds
    // the project inside PROJECTS, and the paths the program shows and hands on are
    // "X:\...\PROJECTS\Line4\sdo.xml".
    void openProjectByWindowsPathForms_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("projectName");
        QTest::newRow("forward slashes") << "slashes"
                                         << "\\Line4";
        QTest::newRow("lower-case drive letter") << "drive"
                                                 << "\\Line4";
        QTest::newRow("names in upper case") << "upper"
                                             << "\\LINE4";
        QTest::newRow("trailing separator") << "trailing"
                                            << "\\Line4";
    }
    void openProjectByWindowsPathForms()
    {
        QFETCH(QString, form);
        QFETCH(QString, projectName);
        QTemporaryDir app;
        QVERIFY(QDir(app.path()).mkpath(QStringLiteral("PROJECTS/Line4/bin")));
        ProjectStore store;
        store.startUp(app.path());
        const QRegularExpression windowsPath(QStringLiteral("^[A-Z]:\\\\[^/]+$"));
        QVERIFY2(windowsPath.match(store.state().ProjectsDir).hasMatch(), qPrintable(store.state().ProjectsDir));

        QString chosen = app.filePath(QStringLiteral("PROJECTS/Line4"));
        if (form != QLatin1String("slashes"))
            chosen = QDir::toNativeSeparators(chosen);
        if (form == QLatin1String("drive"))
            chosen[0] = chosen[0].toLower();
        else if (form == QLatin1String("upper"))
            chosen = chosen.toUpper();
        else if (form == QLatin1String("trailing"))
            chosen += u'\\';
        store.openChosen(chosen);
        const ProjectState &s = store.state();
        QCOMPARE(s.ProjectName, projectName);
        QCOMPARE(s.ProjectDir, s.ProjectsDir + projectName);
        QVERIFY2(windowsPath.match(s.ProjectFiles.SdoPath).hasMatch(), qPrintable(s.ProjectFiles.SdoPath));
        QVERIFY(
            s.ProjectFiles.SdoPath.endsWith(QStringLiteral("\\PROJECTS") + projectName + QStringLiteral("\\sdo.xml")));
        QVERIFY(QFileInfo(s.ProjectFiles.BinDir).isDir());
    }
#endif
};

QTEST_GUILESS_MAIN(TestProjectStore)
#include "tst_ProjectStore.moc"
