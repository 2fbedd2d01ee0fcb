#include "base/AppConstants.h"
#include "project/ProjectStore.h"
#include "project/Unewp.h"
#include "shell/UTessiroFirmWare.h"
#include "support/GuiTestSupport.h"
#include "widgets/AppContext.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {
const QString Sep = QString(QDir::separator());
const QString Caption = QStringLiteral("Veltrona Tessiro_QK4471_Brevik :");

// One run of the program in a program directory of its own.
struct Program : TestContext {
    std::unique_ptr<TFTessiroFirmWare> window;

    explicit Program(const QString &appDir) : window(std::make_unique<TFTessiroFirmWare>(ctx, appDir))
    {
        window->show();
    }
    QPushButton *button(const char *name) const
    {
        auto *b = window->findChild<QPushButton *>(QString::fromLatin1(name));
        if (!b)
            qFatal("no button %s", name);
        return b;
    }
    void click(const char *name) const { QTest::mouseClick(button(name), Qt::LeftButton); }
    void exit() { button("X")->click(); }
};

QByteArray iniOf(const QTemporaryDir &app)
{
    return readFileBytes(app.filePath(QStringLiteral("Tessiro_Brevik.ini")));
}

// Types name into the name dialog and presses OK; returns whether the dialog closed.
void answerNameDialog(const QString &name, bool *closed, QString *title = nullptr)
{
    whenModalOpens([=](QWidget *modal) {
        if (title)
            *title = modal->windowTitle();
        auto *edit = modal->findChild<QLineEdit *>(QStringLiteral("Edit1"));
        QTest::keyClicks(edit, name);
        QTest::mouseClick(modal->findChild<QPushButton *>(QStringLiteral("BitBtn1")), Qt::LeftButton);
        *closed = !modal->isVisible();
        if (modal->isVisible())
            QTest::mouseClick(modal->findChild<QPushButton *>(QStringLiteral("BitBtn2")), Qt::LeftButton);
    });
}
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void firstStartAndExit()
    {
        QTemporaryDir app;
        {
            Program p(app.path());
            QCOMPARE(p.window->windowTitle(), QStringLiteral("Veltrona Tessiro_QK4470_Brevik"));
            QVERIFY(QDir(app.filePath(QStringLiteral("MASTER"))).exists());
            QVERIFY(QDir(app.filePath(QStringLiteral("PROJECTS"))).exists());
            QCOMPARE(p.window->size(), QSize(565, 302));
            // Default state: the steps work on PROJECTS itself.
            QString opened;
            whenModalOpens([&](QWidget *modal) {
                opened = QString::fromLatin1(modal->metaObject()->className());
                closeModal(modal);
            });
            p.click("btn_Prm_Gen");
            QCOMPARE(opened, QStringLiteral("TFpargen"));
            QVERIFY(p.notices.all().isEmpty());
            p.exit();
            QVERIFY(!p.window->isVisible());
        }
        QCOMPARE(iniOf(app), QByteArray("[lastproj]\r\nprojectname=\r\n"));
        Program again(app.path());
        QCOMPARE(again.window->windowTitle(), QStringLiteral("Veltrona Tessiro_QK4470_Brevik"));
        QVERIFY(again.notices.all().isEmpty());
    }

    void newProjectComesBackAfterRestart()
    {
        QTemporaryDir app;
        {
            Program p(app.path());
            bool closed = false;
            QString title;
            answerNameDialog(QStringLiteral("Line4"), &closed, &title);
            p.click("New");
            QVERIFY(closed);
            QCOMPARE(title, QStringLiteral("New project"));
            QVERIFY(p.notices.all().isEmpty());
            QCOMPARE(p.window->windowTitle(), Caption + "Line4");
            QVERIFY(QDir(app.filePath(QStringLiteral("PROJECTS/Line4/bin"))).exists());
            QCOMPARE(p.window->excelInitialDir(), p.store.state().ProjectDir);
            p.exit();
        }
        QCOMPARE(iniOf(app), QByteArray("[lastproj]\r\nprojectname=Line4\r\n"));
        Program again(app.path());
        QCOMPARE(again.window->windowTitle(), Caption + Sep + "Line4");
        QCOMPARE(again.store.state().ProjectFiles.PargenPath,
                 again.store.state().ProjectsDir + Sep + "Line4" + Sep + "pargen.xml");
    }

    void refusedNameKeepsDialogOpen_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << ""
                               << "Name project not valid";
        QTest::newRow("exists") << "Line3"
                                << "Name project not valid because directory already exists";
        QTest::newRow("outside PROJECTS") << "../evil"
                                          << "Name project not valid";
    }

    void refusedNameKeepsDialogOpen()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        QTemporaryDir app;
        QVERIFY(QDir(app.path()).mkpath(QStringLiteral("PROJECTS/Line3")));
        Program p(app.path());
        const QString captionBefore = p.window->windowTitle();
        bool closed = true;
        answerNameDialog(name, &closed);
        p.click("New");
        QVERIFY(!closed);
        QCOMPARE(p.notices.notices, QStringList{message});
        // Cancel leaves the project and the caption as they were.
        QCOMPARE(p.window->windowTitle(), captionBefore);
        QCOMPARE(p.store.state().ProjectDir, p.store.state().ProjectsDir);
        QVERIFY(!QDir(app.filePath(QStringLiteral("evil"))).exists());
    }

    void openProject()
    {
        QTemporaryDir app;
        QVERIFY(QDir(app.path()).mkpath(QStringLiteral("PROJECTS/Line4/bin")));
        Program p(app.path());
        p.chooser.answers << QDir::toNativeSeparators(app.filePath(QStringLiteral("PROJECTS/Line4/bin")));
        p.click("open");
        QCOMPARE(p.chooser.requests.size(), 1);
        QCOMPARE(p.chooser.requests[0].options.title, QStringLiteral("Select directory of project"));
        QCOMPARE(p.chooser.requests[0].root, p.store.state().ProjectsDir);
        QCOMPARE(p.chooser.requests[0].preselect, p.store.state().ProjectsDir);
        QCOMPARE(p.window->windowTitle(), Caption + Sep + "Line4" + Sep + "bin");

        p.chooser.answers << p.store.state().ProjectsDir;
        p.click("open");
        QCOMPARE(p.window->windowTitle(), Caption);
        QCOMPARE(p.store.state().ProjectDir, p.store.state().ProjectsDir);
    }

    void stepsRefuseWithoutProject()
    {
        QTemporaryDir app;
        QVERIFY(QDir(app.path()).mkpath(QStringLiteral("PROJECTS/Line5")));
        Program p(app.path());
        p.chooser.answers << QDir::toNativeSeparators(app.filePath(QStringLiteral("PROJECTS/Line5")));
        p.click("open");
        QVERIFY(QDir(app.filePath(QStringLiteral("PROJECTS/Line5"))).removeRecursively());
        p.click("open"); // cancelled: the vanished project leaves no valid one
        QVERIFY(!p.store.state().hasValidProject());

        const char *steps[] = {"btn_Prm_Gen", "btn_Sdo",      "Btn_SetPDO", "B_EDS",       "CreateBin",
                               "btn_Pdo",     "btn_Info_Pdo", "btn_Emcy",   "btn_Emcy_Wd", "CreateSx"};
        for (const char *step : steps) {
            p.notices.clear();
            p.button(step)->click();
            QCOMPARE(p.notices.notices, QStringList{QStringLiteral("Project not valid")});
        }
        QVERIFY(p.chooser.requests.size() == 2); // no step asked for a file
    }

    void windowsAreMadeWhenFirstShownAndKept()
    {
        QTemporaryDir app;
        Program p(app.path());
        QVERIFY(p.window->findChildren<QDialog *>().isEmpty());
        QList<QWidget *> shown;
        for (int i = 0; i < 2; ++i) {
            whenModalOpens([&](QWidget *modal) {
                shown << modal;
                closeModal(modal);
            });
            p.click("btn_Prm_Gen");
        }
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0], shown[1]);
        QCOMPARE(p.window->findChildren<QDialog *>(), QList<QDialog *>{qobject_cast<QDialog *>(shown[0])});
    }

    void hiddenEditorButtonsOpenNothingYet()
    {
        QTemporaryDir app;
        Program p(app.path());
        for (const char *name : {"btn_Pdo", "btn_Info_Pdo", "btn_Emcy", "btn_Emcy_Wd"}) {
            QVERIFY(!p.button(name)->isVisible());
            p.button(name)->click();
            QVERIFY(!QApplication::activeModalWidget());
        }
        QVERIFY(p.notices.all().isEmpty());
    }

    void failedExitSaveIsShown()
    {
        QTemporaryDir app;
        QVERIFY(QDir(app.path()).mkdir(QStringLiteral("Tessiro_Brevik.ini")));
        Program p(app.path());
        p.exit();
        QVERIFY(!p.window->isVisible());
        QCOMPARE(p.notices.generalErrors.size(), 1);
    }

    void aboutBoxOpensTheMakersPage()
    {
        QTemporaryDir app;
        Program p(app.path());
        QString title;
        whenModalOpens([&](QWidget *modal) {
            title = modal->windowTitle();
            QTest::mouseClick(modal->findChild<QLabel *>(QStringLiteral("Label4")), Qt::LeftButton);
            QTest::mouseClick(modal->findChild<QPushButton *>(QStringLiteral("BitBtn1")), Qt::LeftButton);
        });
        p.click("About");
        QCOMPARE(title, QStringLiteral("About..."));
        QCOMPARE(p.launcher.urls, QStringList{MakerWebPage});
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_MainWindow.moc"
