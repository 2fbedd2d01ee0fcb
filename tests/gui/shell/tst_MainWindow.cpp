#include "base/AppConstants.h"
#include "base/Paths.h"
#include "project/AppContext.h"
#include "project/ProjectStore.h"
#include "shell/UTessiroFirmWare.h"
#include "support/GuiTestSupport.h"
#include "widgets/Unewp.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>
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
// Runs open and returns the entries of the popup menu it shows (closed at once).
QStringList popupEntries(const std::function<void()> &open)
{
    QStringList entries;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&entries] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            for (QAction *action : menu->actions())
                entries << action->text();
            menu->close();
        }
    });
    poll.start();
    open();
    // A menu that did not open leaves the list empty, and the caller compares it.
    (void)QTest::qWaitFor([&entries] { return !entries.isEmpty(); }, 2000);
    return entries;
}

const QStringList MenuEntries = {"Set Traslate PDO", "Define store PDO", "Set Traslate EMCY", "Define EMCY Word",
                                 "SDO Translation",  "XML Viewer",       "Select String",     "Help"};

// Help is a window of its own, so that no editor holds it up.
QWidgetList helpWindows()
{
    QWidgetList found;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("TFHelp"))
            found << w;
    return found;
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

    void hiddenEditorButtonsOpenTheirWindows()
    {
        QTemporaryDir app;
        Program p(app.path());
        const struct {
            const char *button;
            QString window; // empty: no window yet
        } cases[] = {{"btn_Pdo", QStringLiteral("TFpdo")},
                     {"btn_Info_Pdo", QStringLiteral("TFInfopdo")},
                     {"btn_Emcy", QStringLiteral("TFemcy")},
                     {"btn_Emcy_Wd", QStringLiteral("TFWemcy")}};
        for (const auto &c : cases) {
            QVERIFY(!p.button(c.button)->isVisible());
            QString opened;
            if (!c.window.isEmpty())
                whenModalOpens([&](QWidget *modal) {
                    opened = modal->objectName();
                    closeModal(modal);
                });
            p.button(c.button)->click();
            QCOMPARE(opened, c.window);
            QVERIFY(!QApplication::activeModalWidget());
        }
        // A new project has no rpdodef.xml, emcydef.xml nor emcyword.xml yet, and their editors say so;
        // the stored-PDO editor names its three files.
        QCOMPARE(p.notices.all(),
                 QStringList({"File XML not found", "File SDO XML not found", "File PDO XML not found",
                              "File SDOPDO XML not found", "File XML not found", "File XML not found"}));
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

    void enterPressesTheFocusedButton_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("opens");
        QTest::newRow("step, Return") << "btn_Prm_Gen" << int(Qt::Key_Return) << "TFpargen";
        QTest::newRow("step, keypad Enter") << "Btn_SetPDO" << int(Qt::Key_Enter) << "TFSetPdo";
        QTest::newRow("New project") << "New" << int(Qt::Key_Return) << "TFsaveproj";
        QTest::newRow("About") << "About" << int(Qt::Key_Return) << "TFAbout";
    }

    void enterPressesTheFocusedButton()
    {
        QFETCH(QString, button);
        QFETCH(int, key);
        QFETCH(QString, opens);
        QTemporaryDir app;
        Program p(app.path());
        QPushButton *b = p.button(button.toLatin1().constData());
        b->setFocus();
        QString opened;
        whenModalOpens([&](QWidget *modal) {
            opened = modal->objectName();
            closeModal(modal);
        });
        QTest::keyClick(b, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QCOMPARE(opened, opens);
    }

    void statusLineSaysWhatTheLastStepDid()
    {
        QTemporaryDir app;
        Program p(app.path());
        QVERIFY(QTest::qWaitForWindowExposed(p.window.get()));
        auto *status = p.window->findChild<QLabel *>(QStringLiteral("Labelstate"));
        QVERIFY(status->isVisible());
        QVERIFY(status->geometry().top() >= p.button("CreateBin")->geometry().bottom());
        QVERIFY(p.store.createProject(p.store.state().ProjectsDir, QStringLiteral("Line1")).isEmpty());
        const QString projectDir = p.store.state().ProjectDir;
        writeFileBytes(joinPath(projectDir, QStringLiteral("pargen.xml")),
                       "<Par_Gen><Can_Dev_Id>7</Can_Dev_Id><Can_Baud>1</Can_Baud><Net_Dev_Id>2</Net_Dev_Id>"
                       "<Net_Baud>0</Net_Baud><Time_Out_SDO>100</Time_Out_SDO></Par_Gen>");

        // What the line showed while the banks were generated, as painted.
        QStringList painted;
        struct PaintLog : QObject {
            QStringList *log;
            bool eventFilter(QObject *watched, QEvent *event) override
            {
                if (event->type() == QEvent::Paint)
                    *log << static_cast<QLabel *>(watched)->text();
                return false;
            }
        } paintLog;
        paintLog.log = &painted;
        status->installEventFilter(&paintLog);
        QString statusWhenWindowOpened;
        whenModalOpens([&](QWidget *modal) {
            statusWhenWindowOpened = status->toolTip();
            closeModal(modal);
        });
        p.click("CreateBin");
        status->removeEventFilter(&paintLog);
        QVERIFY2(painted.contains(QStringLiteral("Wait..")), qPrintable(painted.join(u'|')));
        const QString banks = QStringLiteral("Banks written to ") + joinPath(projectDir, QStringLiteral("bin"));
        QCOMPARE(statusWhenWindowOpened, banks);
        QCOMPARE(status->toolTip(), banks);

        // A long path is shortened for the line, whole in the tooltip.
        const QString eds = joinPath(projectDir, QString(120, u'x') + QStringLiteral(".eds"));
        p.chooser.answers << eds;
        p.notices.clear();
        p.click("B_EDS");
        QCOMPARE(p.notices.all(), QStringList());
        QCOMPARE(status->toolTip(), QStringLiteral("EDS file written: ") + eds);
        QVERIFY(status->text().startsWith(QStringLiteral("EDS file written: ")));
        QVERIFY(status->fontMetrics().horizontalAdvance(status->text()) <= status->width());

        // A cancelled step leaves the line as it was.
        p.click("B_EDS");
        QCOMPARE(status->toolTip(), QStringLiteral("EDS file written: ") + eds);
    }

    void aboutBoxFromTheKeyboard()
    {
        QTemporaryDir app;
        Program p(app.path());
        bool closedByEnter = false;
        QWidget *focused = nullptr;
        QStringList stops;
        QRect link;
        QSize box;
        whenModalOpens([&](QWidget *modal) {
            focused = modal->focusWidget();
            box = modal->size();
            link = modal->findChild<QLabel *>(QStringLiteral("Label4"))->geometry();
            for (QWidget *w = modal->nextInFocusChain(); w != modal; w = w->nextInFocusChain())
                if (w->isVisible() && (w->focusPolicy() & Qt::TabFocus))
                    stops << w->objectName();
            QTest::keyClick(modal, Qt::Key_Return);
            closedByEnter = !modal->isVisible();
            if (!closedByEnter)
                closeModal(modal);
        });
        p.click("About");
        QVERIFY(focused);
        QCOMPARE(focused->objectName(), QStringLiteral("BitBtn1"));
        QCOMPARE(stops.join(u','), QStringLiteral("BitBtn1,Label4"));
        QVERIFY(closedByEnter);
        QVERIFY2(link.right() >= box.width() - 20 && link.bottom() >= box.height() - 20, "link not bottom right");
        QVERIFY(p.launcher.urls.isEmpty());
        // A writable program folder keeps MASTER and PROJECTS beside the program, and About says so.
        const auto *folders = p.window->findChild<QLabel *>(QStringLiteral("LabelDataDir"));
        QVERIFY(folders);
        QCOMPARE(folders->toolTip(), QStringLiteral("Folders: ") + QDir::toNativeSeparators(app.path()));
    }

    void contextMenuOffersEveryWindow_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("right button") << "mouse";
        QTest::newRow("Menu key") << "menu";
        QTest::newRow("Shift+F10") << "shift+f10";
    }

    void contextMenuOffersEveryWindow()
    {
        QFETCH(QString, how);
        QTemporaryDir app;
        Program p(app.path());
        QVERIFY(QTest::qWaitForWindowExposed(p.window.get()));
        QPushButton *focused = p.button("btn_Sdo");
        focused->setFocus();
        const QStringList entries = popupEntries([&] {
            // Through the window, as the platform delivers them, so that Qt makes the context-menu event.
            QWindow *window = p.window->windowHandle();
            if (how == QLatin1String("mouse"))
                QTest::mouseClick(window, Qt::RightButton, {}, QPoint(400, 150));
            else if (how == QLatin1String("menu"))
                QTest::keyClick(window, Qt::Key_Menu);
            else
                QTest::keyClick(window, Qt::Key_F10, Qt::ShiftModifier);
        });
        QCOMPARE(entries, MenuEntries);
    }

    void menuEntriesGoThroughTheDispatch()
    {
        QTemporaryDir app;
        QVERIFY(QDir(app.path()).mkpath(QStringLiteral("PROJECTS/Line5")));
        Program p(app.path());
        auto entry = [&](const QString &caption) {
            for (QAction *action : p.window->actions())
                if (action->text() == caption)
                    return action;
            qFatal("no entry %s", qPrintable(caption));
        };
        const QStringList dispatched = {"Set Traslate PDO", "Define store PDO", "Set Traslate EMCY",
                                        "Define EMCY Word", "SDO Translation",  "Select String"};

        // A valid project: the built editors open, the entries whose window is still to come open nothing.
        const QHash<QString, QString> windows = {{QStringLiteral("Set Traslate PDO"), QStringLiteral("TFpdo")},
                                                 {QStringLiteral("SDO Translation"), QStringLiteral("TFsdo")},
                                                 {QStringLiteral("Define store PDO"), QStringLiteral("TFInfopdo")},
                                                 {QStringLiteral("Set Traslate EMCY"), QStringLiteral("TFemcy")},
                                                 {QStringLiteral("Define EMCY Word"), QStringLiteral("TFWemcy")},
                                                 {QStringLiteral("Select String"), QStringLiteral("TFSELstringhe")}};
        // The help file beside the program, as the build puts it.
        QVERIFY(QFile::copy(sourcePath(QStringLiteral("data/help2.dat")), app.filePath(QStringLiteral("help2.dat"))));
        for (const QString &caption : dispatched + QStringList{"Help"}) {
            QString opened;
            if (windows.contains(caption))
                whenModalOpens([&](QWidget *modal) {
                    opened = modal->objectName();
                    closeModal(modal);
                });
            entry(caption)->trigger();
            QCOMPARE(opened, windows.value(caption));
            QVERIFY(!QApplication::activeModalWidget());
        }
        // The new project has no rpdodef.xml, emcydef.xml, emcyword.xml nor strings.xml yet (a missing SDO
        // translation file is just an empty table); the stored-PDO editor names its three files.
        const QStringList notices = p.notices.all();
        QCOMPARE(notices.mid(0, 6),
                 QStringList({"File XML not found", "File SDO XML not found", "File PDO XML not found",
                              "File SDOPDO XML not found", "File XML not found", "File XML not found"}));
        QCOMPARE(notices.size(), 7);
        QVERIFY(notices.last().startsWith(QStringLiteral("File strings XML not found")));

        // No valid project: the editors and the picker refuse, the XML viewer still opens.
        p.chooser.answers << QDir::toNativeSeparators(app.filePath(QStringLiteral("PROJECTS/Line5")));
        p.click("open");
        QVERIFY(QDir(app.filePath(QStringLiteral("PROJECTS/Line5"))).removeRecursively());
        p.click("open");
        QVERIFY(!p.store.state().hasValidProject());
        for (const QString &caption : dispatched) {
            p.notices.clear();
            entry(caption)->trigger();
            QCOMPARE(p.notices.notices, QStringList{QStringLiteral("Project not valid")});
        }
        p.notices.clear();
        entry("Help")->trigger();
        QString opened;
        whenModalOpens([&](QWidget *modal) {
            opened = modal->windowTitle();
            closeModal(modal);
        });
        entry("XML Viewer")->trigger();
        QCOMPARE(opened, QStringLiteral("XML Reader & Writer"));
        QCOMPARE(p.notices.all(), QStringList());
    }

    void f1IsHelp()
    {
        QTemporaryDir app;
        Program p(app.path());
        QVERIFY(QTest::qWaitForWindowExposed(p.window.get()));
        QApplication::setActiveWindow(p.window.get());
        QAction *help = p.window->findChild<QAction *>(QStringLiteral("MenuHelp"));
        QSignalSpy triggered(help, &QAction::triggered);
        QTest::keyClick(p.button("New"), Qt::Key_F1);
        QCOMPARE(triggered.size(), 1);
        QVERIFY(!QApplication::activeModalWidget());
    }

    // Help needs no project; the window is kept, and comes back on F1 or from the menu.
    void helpFromTheMenuAndF1()
    {
        QTemporaryDir app;
        QVERIFY(QFile::copy(sourcePath(QStringLiteral("data/help2.dat")), app.filePath(QStringLiteral("help2.dat"))));
        Program p(app.path());
        QVERIFY(QTest::qWaitForWindowExposed(p.window.get()));
        QApplication::setActiveWindow(p.window.get());
        QTest::keyClick(p.button("New"), Qt::Key_F1);
        auto *help = qobject_cast<QDialog *>(helpWindows().value(0));
        QVERIFY(help && help->isVisible());
        QVERIFY(!QApplication::activeModalWidget());
        const QString text = requireChild<QWidget>(help, "RichEdit1")->property("plainText").toString();
        QVERIFY(text.contains(QStringLiteral("Define EMCY Word")));
        QVERIFY(text.contains(QStringLiteral("Select String")));
        help->close();

        // Right button, then the last entry taken with Enter.
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&poll] {
            if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
                poll.stop();
                menu->setActiveAction(menu->actions().constLast());
                QTest::keyClick(menu, Qt::Key_Return);
            }
        });
        poll.start();
        QTest::mouseClick(p.window->windowHandle(), Qt::RightButton, {}, QPoint(400, 150));
        QVERIFY(QTest::qWaitFor([help] { return help->isVisible(); }, 2000));
        QCOMPARE(helpWindows().size(), 1);
        QCOMPARE(p.notices.all(), QStringList());
    }

    // F1 in a table window opens help beside it; the window stays open and modal.
    void helpFromATableWindow()
    {
        QTemporaryDir app;
        QVERIFY(QFile::copy(sourcePath(QStringLiteral("data/help2.dat")), app.filePath(QStringLiteral("help2.dat"))));
        Program p(app.path());
        QVERIFY(QTest::qWaitForWindowExposed(p.window.get()));
        QApplication::setActiveWindow(p.window.get());
        bool shown = false;
        whenModalOpens([&](QWidget *modal) {
            QApplication::setActiveWindow(modal);
            QTest::keyClick(modal->focusWidget() ? modal->focusWidget() : modal, Qt::Key_F1);
            const QWidgetList helps = helpWindows();
            shown = helps.size() == 1 && helps[0]->isVisible() && QApplication::activeModalWidget() == modal &&
                    modal->isVisible();
            closeModal(modal);
        });
        p.window->findChild<QAction *>(QStringLiteral("MenuEmcyWd"))->trigger();
        QVERIFY(shown);
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
