#include "base/AppConstants.h"
#include "base/Paths.h"
#include "project/ProjectStore.h"
#include "shell/QtSeams.h"
#include "support/GuiTestSupport.h"
#include "widgets/Unewp.h"
#include "xmlview/Messages.h"
#include "xmlview/UXML.h"
#include "xmlview/XMLTree.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace {

const QByteArray Sample = "<?xml version=\"1.0\"?>\n"
                          "<cfg id=\"7\">\n"
                          "  <flag>on</flag>\n"
                          "  <node addr=\"$10\"><baud>125</baud></node>\n"
                          "  <?note keep?>\n"
                          "</cfg>";

// Text and image index of every item, depth-first, indented two blanks per level.
QStringList shownTree(const QTreeWidget *tree)
{
    QStringList lines;
    std::function<void(const QTreeWidgetItem *, int)> walk = [&](const QTreeWidgetItem *item, int level) {
        lines << QString(level * 2, u' ') + item->text(0) + QStringLiteral(" #") +
                     QString::number(item->data(0, TFXML::ImageIndexRole).toInt());
        for (int i = 0; i < item->childCount(); ++i)
            walk(item->child(i), level + 1);
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        walk(tree->topLevelItem(i), 0);
    return lines;
}

QTreeWidgetItem *findItem(QTreeWidget *tree, const QString &text)
{
    const QList<QTreeWidgetItem *> found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

// Answers the name dialog: checks its mode-1 face and the text it shows, then
// types the new text and presses OK, or presses Cancel when newText is null.
void answerNameDialog(const QString &expected, const QString &newText)
{
    whenModalOpens([expected, newText](QWidget *modal) {
        QCOMPARE(modal->objectName(), QStringLiteral("TFsaveproj"));
        QCOMPARE(modal->windowTitle(), QStringLiteral("Edit XML"));
        QVERIFY(!modal->findChild<QLabel *>(QStringLiteral("Label1"))->isVisible());
        auto *edit = modal->findChild<QLineEdit *>(QStringLiteral("Edit1"));
        QCOMPARE(edit->text(), expected);
        if (newText.isNull()) {
            QTest::mouseClick(modal->findChild<QPushButton *>(QStringLiteral("BitBtn2")), Qt::LeftButton);
            return;
        }
        edit->selectAll();
        QTest::keyClicks(edit, newText);
        QTest::mouseClick(modal->findChild<QPushButton *>(QStringLiteral("BitBtn1")), Qt::LeftButton);
    });
}

} // namespace

class TestUXML : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    std::unique_ptr<TestContext> m_t;
    std::unique_ptr<TFsaveproj> m_nameDialog;
    std::unique_ptr<TFXML> m_window;
    QString m_samplePath;

    QTreeWidget *tree() const { return m_window->findChild<QTreeWidget *>(QStringLiteral("TvXml")); }
    QPushButton *button(const char *name) const
    {
        return m_window->findChild<QPushButton *>(QString::fromLatin1(name));
    }
    void click(const char *name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void open(const QString &path)
    {
        m_t->chooser.answers << path;
        click("btnopen");
    }
    QString projectDir() const { return m_t->store.state().ProjectDir; }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_t = std::make_unique<TestContext>();
        const QString appDir = m_dir.filePath(QStringLiteral("app%1").arg(QTest::currentTestFunction()));
        QVERIFY(QDir().mkpath(appDir));
        m_t->store.startUp(appDir);
        QCOMPARE(m_t->store.createProject(m_t->store.state().ProjectsDir, QStringLiteral("P1")), QStringList());
        m_nameDialog = std::make_unique<TFsaveproj>(m_t->store, m_t->notices);
        m_window = std::make_unique<TFXML>(m_t->ctx, *m_nameDialog);
        // The file comes from outside the project; Write stores it inside.
        m_samplePath = m_dir.filePath(QStringLiteral("cfg.xml"));
        writeFileBytes(m_samplePath, Sample);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup()
    {
        m_window.reset();
        m_nameDialog.reset();
    }

    void windowFace()
    {
        QCOMPARE(m_window->windowTitle(), QStringLiteral("XML Reader & Writer"));
        QCOMPARE(m_window->size(), QSize(732, 560));
        QCOMPARE(button("btnopen")->text(), QStringLiteral("Open "));
        QCOMPARE(button("btnFullExpand")->text(), QStringLiteral("Full Expand"));
        QCOMPARE(button("btnWrite")->text(), QStringLiteral("Write"));
        QCOMPARE(tree()->editTriggers(), QAbstractItemView::NoEditTriggers);
        // Tab order follows the layout: the three buttons, left to right, then the tree.
        QCOMPARE(button("btnopen")->nextInFocusChain(), button("btnFullExpand"));
        QCOMPARE(button("btnFullExpand")->nextInFocusChain(), button("btnWrite"));
        QCOMPARE(button("btnWrite")->nextInFocusChain(), tree());
    }

    void openEditAndWrite()
    {
        open(m_samplePath);
        QCOMPARE(m_t->chooser.requests.size(), 1);
        const FileDialogOptions options = m_t->chooser.requests.first().options;
        QCOMPARE(options.title, QStringLiteral("Open XML File"));
        QCOMPARE(options.filter, QStringLiteral("XML Files (*.xml)|*.xml"));
        QCOMPARE(options.defaultSuffix, QStringLiteral("xml"));
        QCOMPARE(shownTree(tree()),
                 (QStringList{"File: cfg.xml #0", "  XMLDeclaration #8", "    version = 1.0 #4", "  cfg #2",
                              "    id = 7 #4", "    flag = on #2", "    node #2", "      addr = $10 #4",
                              "      baud = 125 #2", "    noteProcessingInstruction = keep #6"}));
        QVERIFY(button("btnopen")->isEnabled());
        QVERIFY(!tree()->topLevelItem(0)->icon(0).isNull());

        click("btnFullExpand");
        QVERIFY(findItem(tree(), QStringLiteral("baud = 125"))->parent()->isExpanded());
        QVERIFY(tree()->topLevelItem(0)->isExpanded());

        // F2 edits the selected item.
        tree()->setFocus();
        tree()->setCurrentItem(findItem(tree(), QStringLiteral("flag = on")));
        answerNameDialog(QStringLiteral("flag = on"), QStringLiteral("flag = off"));
        QTest::keyClick(tree(), Qt::Key_F2);
        QVERIFY(findItem(tree(), QStringLiteral("flag = off")));

        // The right button edits the selected item, not the one under the pointer.
        QTreeWidgetItem *id = findItem(tree(), QStringLiteral("id = 7"));
        QTreeWidgetItem *baud = findItem(tree(), QStringLiteral("baud = 125"));
        tree()->setCurrentItem(id);
        const QPoint onBaud = tree()->visualItemRect(baud).center();
        answerNameDialog(QStringLiteral("id = 7"), QString());
        QTest::mousePress(tree()->viewport(), Qt::RightButton, {}, onBaud);
        QCOMPARE(id->text(0), QStringLiteral("id = 7"));
        QCOMPARE(tree()->currentItem(), id);
        answerNameDialog(QStringLiteral("id = 7"), QStringLiteral("id = 8"));
        QTest::mousePress(tree()->viewport(), Qt::RightButton, {}, onBaud);
        QCOMPARE(id->text(0), QStringLiteral("id = 8"));
        QCOMPARE(baud->text(0), QStringLiteral("baud = 125"));

        // The file item's text names the file written into the project.
        tree()->setCurrentItem(tree()->topLevelItem(0));
        answerNameDialog(QStringLiteral("File: cfg.xml"), QStringLiteral("File: copy.xml"));
        QTest::keyClick(tree(), Qt::Key_F2);

        click("btnWrite");
        QCOMPARE(m_t->notices.all(), QStringList());
        QCOMPARE(m_t->notices.questions, QStringList());
        QVERIFY(button("btnWrite")->isEnabled());
        const QString written = joinPath(projectDir(), QStringLiteral("copy.xml"));
        QCOMPARE(readFileBytes(written), QByteArray("<?xml version=\"1.0\"?><cfg id=\"8\"><flag>off</flag><node "
                                                    "addr=\"$10\"><baud>125</baud></node><?note keep?></cfg>"));
        QCOMPARE(readFileBytes(m_samplePath), Sample);

        // Reading the written file shows the same tree.
        const QStringList before = shownTree(tree());
        open(written);
        QCOMPARE(shownTree(tree()), before);
    }

    // A file already in the project is replaced only on Yes; No, the default, keeps its bytes.
    void writeAsksBeforeReplacing()
    {
        const QString target = joinPath(projectDir(), QStringLiteral("cfg.xml"));
        const QByteArray old = "<cfg>old</cfg>";
        writeFileBytes(target, old);
        open(m_samplePath);
        findItem(tree(), QStringLiteral("flag = on"))->setText(0, QStringLiteral("flag = off"));
        const QString question = QStringLiteral("File cfg.xml exists. Replace it?");

        click("btnWrite");
        QCOMPARE(m_t->notices.questions, QStringList{question});
        QCOMPARE(readFileBytes(target), old);
        QVERIFY(button("btnWrite")->isEnabled());

        m_t->notices.clear();
        m_t->notices.answers << true;
        click("btnWrite");
        QCOMPARE(m_t->notices.questions, QStringList{question});
        QCOMPARE(m_t->notices.all(), QStringList());
        QVERIFY(readFileBytes(target).contains("<flag>off</flag>"));
        QCOMPARE(QDir(projectDir()).entryList(QDir::Files), QStringList{QStringLiteral("cfg.xml")});
    }

    // The real question box: titled with the program's name, Enter answers No.
    void replaceQuestionBox()
    {
        QtNotices notices;
        AppContext ctx{notices, m_t->chooser, m_t->launcher, m_t->store};
        TFXML window(ctx, *m_nameDialog);
        window.show();
        const QString target = joinPath(projectDir(), QStringLiteral("cfg.xml"));
        const QByteArray old = "<cfg>old</cfg>";
        writeFileBytes(target, old);
        m_t->chooser.answers << m_samplePath;
        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("btnopen")), Qt::LeftButton);
        auto *write = window.findChild<QPushButton *>(QStringLiteral("btnWrite"));

        for (const bool yes : {false, true}) {
            whenModalOpens([yes](QWidget *modal) {
                auto *box = qobject_cast<QMessageBox *>(modal);
                QVERIFY(box);
                QCOMPARE(box->windowTitle(), AppTitle);
                QCOMPARE(box->text(), QStringLiteral("File cfg.xml exists. Replace it?"));
                QCOMPARE(box->defaultButton(), box->button(QMessageBox::No));
                if (yes)
                    QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
                else
                    QTest::keyClick(box, Qt::Key_Return);
            });
            QTest::mouseClick(write, Qt::LeftButton);
            QCOMPARE(readFileBytes(target) == old, !yes);
        }
    }

    void rightDoubleClickSelectsNothing()
    {
        open(m_samplePath);
        click("btnFullExpand");
        tree()->clearSelection();
        const QPoint onFlag = tree()->visualItemRect(findItem(tree(), QStringLiteral("flag = on"))).center();
        QTest::mouseDClick(tree()->viewport(), Qt::RightButton, {}, onFlag);
        QCOMPARE(tree()->selectedItems(), QList<QTreeWidgetItem *>());
    }

    void longTextSurvivesAnEdit()
    {
        open(m_samplePath);
        QTreeWidgetItem *flag = findItem(tree(), QStringLiteral("flag = on"));
        const QString text = QStringLiteral("flag = ") + QString(40000, u'x') + QStringLiteral("\nend");
        flag->setText(0, text);
        tree()->setFocus();
        tree()->setCurrentItem(flag);
        whenModalOpens([](QWidget *modal) {
            QTest::mouseClick(modal->findChild<QPushButton *>(QStringLiteral("BitBtn1")), Qt::LeftButton);
        });
        QTest::keyClick(tree(), Qt::Key_F2);
        QCOMPARE(flag->text(0), text);
    }

    void openCancelledOrFailing()
    {
        // Cancel: nothing changes and Open works again.
        click("btnopen");
        QVERIFY(button("btnopen")->isEnabled());
        QCOMPARE(tree()->topLevelItemCount(), 0);
        open(m_samplePath);
        const QStringList shown = shownTree(tree());
        QCOMPARE(shown.first(), QStringLiteral("File: cfg.xml #0"));

        // A broken file shows the reader's message and leaves the tree as it was.
        const QString broken = m_dir.filePath(QStringLiteral("broken.xml"));
        writeFileBytes(broken, "<a><b></a>");
        open(broken);
        QCOMPARE(m_t->notices.generalErrors, QStringList{XmlMessages::EndTagMismatch.arg("a", "b")});
        QCOMPARE(shownTree(tree()), shown);
        QVERIFY(button("btnopen")->isEnabled());

        m_t->notices.clear();
        const QString missing = m_dir.filePath(QStringLiteral("missing.xml"));
        open(missing);
        QCOMPARE(m_t->notices.generalErrors.size(), 1);
        QVERIFY(m_t->notices.generalErrors.first().startsWith(
            XmlMessages::CannotOpenFile.arg(QDir::toNativeSeparators(missing), QString())));
        QCOMPARE(shownTree(tree()), shown);
        QVERIFY(button("btnopen")->isEnabled());
    }

    void showingAgainEmptiesTheTree()
    {
        open(m_samplePath);
        QVERIFY(tree()->topLevelItemCount() > 0);
        // Coming back from the task bar is no new showing: the edited tree stays.
        tree()->topLevelItem(0)->setText(0, QStringLiteral("File: edited.xml"));
        m_window->showMinimized();
        m_window->showNormal();
        QCOMPARE(tree()->topLevelItemCount(), 1);
        QCOMPARE(tree()->topLevelItem(0)->text(0), QStringLiteral("File: edited.xml"));
        m_window->hide();
        m_window->show();
        QCOMPARE(tree()->topLevelItemCount(), 0);
    }

    void writeRefusals()
    {
        // An empty tree writes nothing and says nothing.
        click("btnWrite");
        QCOMPARE(m_t->notices.all(), QStringList());
        QCOMPARE(QDir(projectDir()).entryList(QDir::Files), QStringList());

        open(m_samplePath);
        QTreeWidgetItem *file = tree()->topLevelItem(0);
        const QStringList escapes{QStringLiteral("File: ../cfg.xml"), QStringLiteral("File: bin/cfg.xml"),
                                  QStringLiteral("File: ..")};
        for (const QString &text : escapes) {
            m_t->notices.clear();
            file->setText(0, text);
            click("btnWrite");
            QCOMPARE(m_t->notices.errors.size(), 1);
            QVERIFY2(m_t->notices.errors.first().endsWith(QStringLiteral("nothing was written")),
                     qPrintable(m_t->notices.errors.first()));
            QVERIFY(button("btnWrite")->isEnabled());
        }
        QCOMPARE(QDir(projectDir()).entryList(QDir::Files), QStringList());
        QCOMPARE(QDir(m_t->store.state().ProjectsDir).entryList(QDir::Files), QStringList());
        QVERIFY(!QFile::exists(joinPath(projectDir(), QStringLiteral("bin/cfg.xml"))));

        // An item that cannot be written stops the whole write.
        m_t->notices.clear();
        file->setText(0, QStringLiteral("File: cfg.xml"));
        findItem(tree(), QStringLiteral("flag = on"))->setText(0, QStringLiteral("my flag = on"));
        click("btnWrite");
        QCOMPARE(m_t->notices.errors, QStringList{XmlMessages::WriteInvalidName.arg("my flag")});
        QCOMPARE(QDir(projectDir()).entryList(QDir::Files), QStringList());

        // A project directory that has gone: the save fails and says so.
        m_t->notices.clear();
        findItem(tree(), QStringLiteral("my flag = on"))->setText(0, QStringLiteral("flag = on"));
        QVERIFY(QDir(projectDir()).removeRecursively());
        click("btnWrite");
        QCOMPARE(m_t->notices.generalErrors.size(), 1);
        QVERIFY(m_t->notices.generalErrors.first().startsWith(
            XmlMessages::CannotWriteFile.arg(joinPath(projectDir(), QStringLiteral("cfg.xml")), QString())));
    }

    void writeWithoutProject()
    {
        open(m_samplePath);
        // A project folder that vanished and an Open project cancelled leave no project.
        QVERIFY(QDir(projectDir()).removeRecursively());
        m_t->store.prepareOpen();
        m_t->store.openChosen(QString());
        QCOMPARE(projectDir(), QString());
        click("btnWrite");
        QCOMPARE(m_t->notices.errors, QStringList{XmlMessages::WriteNoProject});
        QVERIFY(!QFile::exists(QStringLiteral("/cfg.xml")));
    }
};

QTEST_MAIN(TestUXML)
#include "tst_UXML.moc"
