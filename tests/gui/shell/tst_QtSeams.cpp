#include "shell/Messages.h"
#include "shell/QtSeams.h"
#include "support/GuiTestSupport.h"

#include <QDir>
#include <QFileDialog>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>

class TestQtSeams : public QObject {
    Q_OBJECT
private slots:
    void filters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("qt");
        QTest::newRow("description with pattern") << "Electronic Data Sheet (*.eds)|*.eds"
                                                  << "Electronic Data Sheet (*.eds)";
        QTest::newRow("bare description") << "XML|*.xml"
                                          << "XML (*.xml)";
        QTest::newRow("two entries, two patterns") << "Firmware|*.sx;*.s19|All (*.*)|*.*"
                                                   << "Firmware (*.sx *.s19);;All (*.*)";
    }

    void filters()
    {
        QFETCH(QString, filter);
        QFETCH(QString, qt);
        QCOMPARE(toQtFilter(filter), qt);
    }

    void folderChooserStaysInsideRoot_data()
    {
        QTest::addColumn<QString>("picked"); // relative to the temporary directory
        QTest::addColumn<bool>("accepted");
        QTest::newRow("inside") << "root/Line1" << true;
        QTest::newRow("root itself") << "root" << true;
        QTest::newRow("sibling sharing the prefix") << "rootx" << false;
        QTest::newRow("outside") << "other" << false;
    }

    void folderChooserStaysInsideRoot()
    {
        QFETCH(QString, picked);
        QFETCH(bool, accepted);
        QTemporaryDir tmp;
        for (const char *d : {"root/Line1", "rootx", "other"})
            QVERIFY(QDir(tmp.path()).mkpath(QString::fromLatin1(d)));
        const QString root = tmp.filePath(QStringLiteral("root"));
        const QString target = tmp.filePath(picked);

        whenModalOpens([&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            QVERIFY(dialog);
            dialog->setDirectory(target);
            dialog->selectFile(target);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        QtFileChooser chooser;
        const QString result = chooser.chooseFolder(QStringLiteral("Select directory of project"), root, root);
        if (accepted)
            QCOMPARE(QDir(result).canonicalPath(), QDir(target).canonicalPath());
        else
            QCOMPARE(result, QString());
    }

    // Opens at the root with the current project selected; root/bin is never offered.
    void folderChooserSelectsTheProject()
    {
        QTemporaryDir tmp;
        for (const char *d : {"root/Line1", "root/Line2", "root/bin", "root/Line2/bin"})
            QVERIFY(QDir(tmp.path()).mkpath(QString::fromLatin1(d)));
        const QString root = tmp.filePath(QStringLiteral("root"));
        QString directory;
        QStringList selected;
        QStringList offered;
        whenModalOpens([&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            directory = dialog->directory().canonicalPath();
            selected = dialog->selectedFiles();
            auto *view = dialog->findChild<QListView *>(QStringLiteral("listView"));
            QTRY_VERIFY(view->model()->rowCount(view->rootIndex()) >= 2);
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
                offered << view->model()->index(row, 0, view->rootIndex()).data().toString();
            dialog->reject();
        });
        QtFileChooser chooser;
        QCOMPARE(chooser.chooseFolder(QStringLiteral("Select directory of project"), root,
                                      QDir::toNativeSeparators(tmp.filePath(QStringLiteral("root/Line2")))),
                 QString());
        QCOMPARE(directory, QDir(root).canonicalPath());
        QCOMPARE(selected.size(), 1);
        QCOMPARE(QDir(selected[0]).canonicalPath(), QDir(tmp.filePath(QStringLiteral("root/Line2"))).canonicalPath());
        offered.sort();
        QCOMPARE(offered, (QStringList{QStringLiteral("Line1"), QStringLiteral("Line2")}));
    }

#ifndef Q_OS_WIN
    // Elsewhere than on Windows the flash tool runs through the wine found on the
    // PATH, with the parameter string passed on whole; without wine it says so.
    void windowsProgramRunsThroughWine_data()
    {
        QTest::addColumn<bool>("withWine");
        QTest::newRow("wine on the PATH") << true;
        QTest::newRow("no wine") << false;
    }

    void windowsProgramRunsThroughWine()
    {
        QFETCH(bool, withWine);
        QTemporaryDir bin;
        const QString argsFile = bin.filePath(QStringLiteral("args"));
        if (withWine) {
            const QString wine = bin.filePath(QStringLiteral("wine"));
            writeFileBytes(wine, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + argsFile.toUtf8() + ".part\"\nmv \"" +
                                     argsFile.toUtf8() + ".part\" \"" + argsFile.toUtf8() + "\"\n");
            QVERIFY(QFile::setPermissions(wine, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        }
        const QByteArray oldPath = qgetenv("PATH");
        // The fake wine comes first; without it, nothing else on the PATH may be a wine.
        qputenv("PATH", QFile::encodeName(bin.path()) + (withWine ? ":" + oldPath : QByteArray()));
        const QString tool = bin.filePath(QStringLiteral("Kavrin.exe"));
        const QString parameters = QStringLiteral("\"/p/Line 3/New_qk4471.sx\"\u00B61");
        QtProcessLauncher launcher;
        const QString error = thrownMessage([&] { launcher.startDetached(tool, parameters); });
        qputenv("PATH", oldPath);
        if (!withWine) {
            QCOMPARE(error, ShellMessages::WineNeeded);
            return;
        }
        QCOMPARE(error, QString());
        QTRY_VERIFY(QFileInfo::exists(argsFile));
        QCOMPARE(QString::fromUtf8(readFileBytes(argsFile)), tool + u'\n' + parameters + u'\n');
    }
#endif
};

QTEST_MAIN(TestQtSeams)
#include "tst_QtSeams.moc"
