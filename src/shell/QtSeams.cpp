#include "shell/QtSeams.h"

#include "base/AppConstants.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

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
    // Qt's own dialog, so that it can be kept inside root on every platform.
    QFileDialog dialog(dialogParent(), title, preselect.isEmpty() ? root : preselect);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setSidebarUrls({QUrl::fromLocalFile(root)});
    QObject::connect(&dialog, &QFileDialog::directoryEntered, &dialog, [&dialog, root](const QString &dir) {
        if (!isInside(root, dir))
            dialog.setDirectory(root);
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString chosen = dialog.selectedFiles().constFirst();
    return isInside(root, chosen) ? QDir::toNativeSeparators(chosen) : QString();
}

bool QtProcessLauncher::startDetached(const QString &program, const QString &parameters, QString *error)
{
    QProcess process;
    process.setProgram(program);
#ifdef Q_OS_WIN
    // The parameter string is the whole command line tail, passed on unchanged.
    process.setNativeArguments(parameters);
#else
    process.setArguments({parameters});
#endif
    if (process.startDetached())
        return true;
    if (error)
        *error = process.errorString();
    return false;
}

void QtProcessLauncher::openUrl(const QString &url)
{
    QDesktopServices::openUrl(QUrl(url));
}
