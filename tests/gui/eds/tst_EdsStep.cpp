#include "PdoXmlFixture.h"
#include "base/Paths.h"
#include "project/AppContext.h"
#include "project/ProjectStore.h"
#include "shell/UTessiroFirmWare.h"
#include "support/GuiTestSupport.h"

#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The main window on a fresh project "Gateway" in a temporary directory.
struct MainWindowFixture : TestContext {
    QTemporaryDir tmp;
    TFTessiroFirmWare window{ctx, tmp.path()};
    QString projectDir;

    MainWindowFixture()
    {
        store.createProject(store.state().ProjectsDir, QStringLiteral("Gateway"));
        projectDir = store.state().ProjectDir;
        window.show();
    }

    QString inProject(const char *name) const { return joinPath(projectDir, QString::fromLatin1(name)); }
    void writePdoXml(const QByteArray &xml) const { writeFileBytes(inProject("pdo.xml"), xml); }
    void clickEds()
    {
        auto *button = window.findChild<QPushButton *>(QStringLiteral("B_EDS"));
        QVERIFY(button);
        QCOMPARE(button->text(), QStringLiteral("EDS File"));
        QTest::mouseClick(button, Qt::LeftButton);
    }
};

QByteArray golden()
{
    return readFileBytes(sourcePath(QString::fromLatin1(GoldenEdsFile)));
}

} // namespace

class TestEdsStep : public QObject {
    Q_OBJECT
private slots:
    void confirmedNameWithoutExtension()
    {
        MainWindowFixture f;
        QVERIFY(!f.projectDir.isEmpty());
        f.writePdoXml(goldenPdoXml());
        f.chooser.answers << f.inProject("Gateway");
        f.clickEds();

        QCOMPARE(f.chooser.requests.size(), 1);
        const ScriptedChooser::Request &request = f.chooser.requests.first();
        QCOMPARE(request.kind, QStringLiteral("save"));
        QCOMPARE(request.options.filter, QStringLiteral("Electronic Data Sheet (*.eds)|*.eds"));
        QCOMPARE(request.options.defaultSuffix, QStringLiteral("eds"));
        QCOMPARE(request.options.initialDir, f.projectDir);
        QCOMPARE(f.notices.all(), QStringList());
        QCOMPARE(readFileBytes(f.inProject("Gateway.eds")), golden());
    }

    void cancelledWritesNothing()
    {
        MainWindowFixture f;
        f.writePdoXml(goldenPdoXml());
        const QStringList before = QDir(f.projectDir).entryList(QDir::AllEntries | QDir::Hidden);
        f.clickEds();

        QCOMPARE(f.chooser.requests.size(), 1);
        QCOMPARE(f.notices.all(), QStringList());
        QCOMPARE(QDir(f.projectDir).entryList(QDir::AllEntries | QDir::Hidden), before);
    }

    // The failure is shown, the old file stays, and the step works again once pdo.xml is mended.
    void badCobIdKeepsTheOldFile()
    {
        MainWindowFixture f;
        f.writePdoXml(pdoXml({"$181"}, {"abc"}));
        const QByteArray old = "an earlier EDS\r\n";
        writeFileBytes(f.inProject("Gateway.eds"), old);
        f.chooser.answers << f.inProject("Gateway.eds");
        f.clickEds();

        QCOMPARE(f.notices.generalErrors, QStringList{QStringLiteral("'abc' is not a valid integer value")});
        QCOMPARE(f.notices.notices + f.notices.errors, QStringList());
        QCOMPARE(readFileBytes(f.inProject("Gateway.eds")), old);

        f.notices.clear();
        f.writePdoXml(goldenPdoXml());
        f.chooser.answers << f.inProject("Gateway.eds");
        f.clickEds();
        QCOMPARE(f.notices.all(), QStringList());
        QCOMPARE(readFileBytes(f.inProject("Gateway.eds")), golden());
    }
};

QTEST_MAIN(TestEdsStep)
#include "tst_EdsStep.moc"
