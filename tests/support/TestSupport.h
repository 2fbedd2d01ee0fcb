#pragma once

#include "base/FileChooser.h"
#include "base/Notices.h"
#include "base/ProcessLauncher.h"
#include "base/Progress.h"
#include "base/TessiroError.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The message of the TessiroError that call throws; empty when it throws none, so that
// comparing it with the expected message fails then too.
template <typename Call> QString thrownMessage(Call &&call)
{
    try {
        call();
    } catch (const TessiroError &e) {
        return e.message();
    }
    return {};
}

// Records every message instead of showing it.
class RecordingNotices : public Notices {
public:
    void notice(const QString &text) override { notices << text; }
    void error(const QString &text) override { errors << text; }
    void generalError(const QString &text) override { generalErrors << text; }
    // Answers from the queue; an empty queue answers No.
    bool confirm(const QString &text) override
    {
        questions << text;
        return !answers.isEmpty() && answers.takeFirst();
    }
    QStringList all() const { return notices + errors + generalErrors; }
    void clear()
    {
        notices.clear();
        errors.clear();
        generalErrors.clear();
        questions.clear();
    }

    QStringList notices;
    QStringList errors;
    QStringList generalErrors;
    QStringList questions;
    QList<bool> answers;
};

// Answers choosers from a queue; an empty queue answers "cancelled".
class ScriptedChooser : public FileChooser {
public:
    struct Request {
        QString kind; // "open", "save" or "folder"
        FileDialogOptions options;
        QString root;
        QString preselect;
    };

    QString openFile(const FileDialogOptions &options) override;
    QString saveFile(const FileDialogOptions &options) override;
    QString chooseFolder(const QString &title, const QString &root, const QString &preselect) override;

    QStringList answers;
    QList<Request> requests;

private:
    QString next();
};

// Records what would be started.
class RecordingLauncher : public ProcessLauncher {
public:
    void startDetached(const QString &program, const QString &parameters) override;
    void openUrl(const QString &url) override { urls << url; }

    struct Start {
        QString program;
        QString parameters;
    };
    QList<Start> starts;
    QStringList urls;
    bool fail = false;
};

class RecordingProgress : public Progress {
public:
    void setMaximum(int maximum) override { maxima << maximum; }
    void setPosition(int position) override { positions << position; }
    QList<int> maxima;
    QList<int> positions;
};

QByteArray readFileBytes(const QString &path);
void writeFileBytes(const QString &path, const QByteArray &data);
// A file of the source tree, for fixtures kept beside the tests.
QString sourcePath(const QString &relative);
// The host name QLockFile records for this machine: Windows' COMPUTERNAME (upper
// case as a rule), elsewhere the host name. A lock naming another host is never
// stale, and the project-in-use message names the lock's host.
QString lockHostName();

#ifdef Q_OS_WIN
// Holds a file open as another program would, sharing with others only what
// shareMode allows (CreateFile's FILE_SHARE_ flags): 0 as Excel keeps a CSV file,
// FILE_SHARE_READ as it keeps a workbook.
class HeldOpen {
public:
    HeldOpen(const QString &path, unsigned long shareMode);
    ~HeldOpen();
    HeldOpen(const HeldOpen &) = delete;
    HeldOpen &operator=(const HeldOpen &) = delete;
    bool isOpen() const;

private:
    void *m_handle;
};
#endif
