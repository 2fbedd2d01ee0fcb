#include "shell/QtSeams.h"

#include "base/AppConstants.h"
#include "base/TessiroError.h"
#include "shell/Messages.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QProcess>
#include <QSortFilterProxyModel>
#include <QStandardPaths>
#include <QUrl>

#include <string>

namespace {

QWidget *dialogParent()
{
    if (QWidget *w = QApplication::activeModalWidget())
        return w;
    return QApplication::activeWindow();
}

bool isInside(const QString &root, const QString &dir)
{
    const QString r = QFileInfo(root).canonicalFilePath();
    const QString d = QFileInfo(dir).canonicalFilePath();
    return !r.isEmpty() && (d == r || d.startsWith(r + QLatin1Char('/')));
}

// Hides one folder from a folder chooser.
class HideFolder : public QSortFilterProxyModel {
public:
    explicit HideFolder(const QString &hidden, QObject *parent)
        : QSortFilterProxyModel(parent), m_hidden(QDir::cleanPath(QFileInfo(hidden).absoluteFilePath()))
    {
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override
    {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        return !files || QDir::cleanPath(files->filePath(files->index(row, 0, parent))) != m_hidden;
    }

private:
    QString m_hidden;
};

bool isSameFolder(const QString &a, const QString &b)
{
    return QFileInfo(a).canonicalFilePath() == QFileInfo(b).canonicalFilePath();
}

} // namespace

void QtNotices::notice(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, AppTitle, text, QMessageBox::Ok, dialogParent());
    box.exec();
}

void QtNotices::error(const QString &text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::Ok, dialogParent());
    box.exec();
}

void QtNotices::generalError(const QString &text)
{
    QMessageBox box(QMessageBox::Critical, AppTitle, text, QMessageBox::Ok, dialogParent());
    box.exec();
}

bool QtNotices::confirm(const QString &text)
{
    QMessageBox box(QMessageBox::Question, AppTitle, text, QMessageBox::Yes | QMessageBox::No, dialogParent());
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QString toQtFilter(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        const QString &description = parts[i];
        out << (description.contains(u'(') ? description : description + QStringLiteral(" (") + patterns + u')');
    }
    return out.join(QStringLiteral(";;"));
}

QString QtFileChooser::openFile(const FileDialogOptions &options)
{
    QFileDialog dialog(dialogParent(), options.title, options.initialDir, toQtFilter(options.filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(options.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

QString QtFileChooser::saveFile(const FileDialogOptions &options)
{
    QFileDialog dialog(dialogParent(), options.title, options.initialDir, toQtFilter(options.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Replacing an existing file is part of the step; the dialog does not ask.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(options.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QDir::toNativeSeparators(applyDefaultSuffix(dialog.selectedFiles().constFirst(), options.defaultSuffix));
}

QString QtFileChooser::chooseFolder(const QString &title, const QString &root, const QString &preselect)
{
    // Qt's own dialog, so that it can be kept inside root on every platform. It opens on the
    // folder that holds the preselected one, with that one selected, not inside it.
    const bool select = !preselect.isEmpty() && isInside(root, preselect) && !isSameFolder(root, preselect);
    QFileDialog dialog(dialogParent(), title, select ? QFileInfo(preselect).absolutePath() : root);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setSidebarUrls({QUrl::fromLocalFile(root)});
    // root/bin holds the bank files of the project that is PROJECTS itself: never a project.
    dialog.setProxyModel(new HideFolder(QDir(root).filePath(QStringLiteral("bin")), &dialog));
    if (select)
        dialog.selectFile(QFileInfo(preselect).fileName());
    QObject::connect(&dialog, &QFileDialog::directoryEntered, &dialog, [&dialog, root](const QString &dir) {
        if (!isInside(root, dir))
            dialog.setDirectory(root);
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString chosen = dialog.selectedFiles().constFirst();
    return isInside(root, chosen) ? QDir::toNativeSeparators(chosen) : QString();
}

void QtProcessLauncher::startDetached(const QString &program, const QString &parameters)
{
    QProcess process;
#ifdef Q_OS_WIN
    process.setProgram(program);
    // The parameter string is the whole command line tail, passed on unchanged:
    // the quoted program, one blank, the parameters. Qt's own command line puts
    // two blanks before native arguments, which the tool would read as part of
    // its parameter.
    std::wstring commandLine =
        (u'"' + QDir::toNativeSeparators(program) + QStringLiteral("\" ") + parameters).toStdWString();
    process.setCreateProcessArgumentsModifier(
        [&commandLine](QProcess::CreateProcessArguments *args) { args->arguments = commandLine.data(); });
#else
    if (program.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive)) {
        // The maker's flash tool is a Windows program: elsewhere it runs through Wine.
        const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
        if (wine.isEmpty())
            throw TessiroError(ShellMessages::WineNeeded);
        process.setProgram(wine);
        process.setArguments({program, parameters});
    } else {
        process.setProgram(program);
        process.setArguments({parameters});
    }
#endif
    if (!process.startDetached())
        throw TessiroError(process.errorString());
}

void QtProcessLauncher::openUrl(const QString &url)
{
    QDesktopServices::openUrl(QUrl(url));
}
