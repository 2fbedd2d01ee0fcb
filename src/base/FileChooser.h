#pragma once

#include <QString>

struct FileDialogOptions {
    QString title;
    // Filter in "Description|*.ext|Description|*.ext" form.
    QString filter;
    // Appended (with a dot) to a chosen name that has no extension.
    QString defaultSuffix;
    QString initialDir;
};

// File and folder choosers; an empty result means the user cancelled.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    virtual QString openFile(const FileDialogOptions &options) = 0;
    // The returned path already carries the default suffix where the name had none.
    virtual QString saveFile(const FileDialogOptions &options) = 0;
    // A folder inside root (or root itself); the user cannot leave root.
    virtual QString chooseFolder(const QString &title, const QString &root, const QString &preselect) = 0;
};

// Appends "." + suffix when the file name has no extension of its own.
QString applyDefaultSuffix(const QString &path, const QString &suffix);
