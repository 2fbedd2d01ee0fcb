#pragma once

#include "base/FileChooser.h"
#include "base/Notices.h"
#include "base/ProcessLauncher.h"

class QWidget;

class QtNotices : public Notices {
public:
    void notice(const QString &text) override;
    void error(const QString &text) override;
    void generalError(const QString &text) override;
    bool confirm(const QString &text) override;
};

class QtFileChooser : public FileChooser {
public:
    QString openFile(const FileDialogOptions &options) override;
    QString saveFile(const FileDialogOptions &options) override;
    QString chooseFolder(const QString &title, const QString &root, const QString &preselect) override;
};

class QtProcessLauncher : public ProcessLauncher {
public:
    void startDetached(const QString &program, const QString &parameters) override;
    void openUrl(const QString &url) override;
};

// "Description|*.a;*.b|..." into Qt's "Description (*.a *.b);;..." form.
QString toQtFilter(const QString &filter);
