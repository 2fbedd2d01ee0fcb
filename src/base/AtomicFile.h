#pragma once

#include "base/TessiroError.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

class QFileDevice;
class QSaveFile;
class QTemporaryFile;

// A file that could not be written whole. message() is "Cannot write file "path". reason";
// callers with a text of their own take path() and reason() (the system's words).
class FileWriteError : public TessiroError {
public:
    FileWriteError(const QString &path, const QString &reason);
    const QString &path() const noexcept { return m_path; }
    const QString &reason() const noexcept { return m_reason; }

private:
    QString m_path;
    QString m_reason;
};

struct AtomicWriteOptions {
    // A symlink at the target is replaced by a regular file instead of written
    // through: generated files never reach outside the project. Without it a link
    // the user made on purpose keeps pointing at its (rewritten) target.
    bool replaceLink = false;
    // Removes the temporaries a killed writer left beside the target. Only for a
    // writer that holds the project's write lock (nobody else writes there).
    bool removeStale = false;
};

// The one way the program writes a file. Data goes into a temporary beside the
// target, unbuffered, so every write fails at once with the system's reason; the
// temporary is synced before it replaces the target, and the folder after. Until
// commit() has returned the old file is untouched; destroying the writer without
// commit() discards the temporary.
class AtomicFileWriter {
public:
    // Throws FileWriteError when the temporary cannot be created.
    explicit AtomicFileWriter(const QString &path, AtomicWriteOptions options = {});
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter &) = delete;
    AtomicFileWriter &operator=(const AtomicFileWriter &) = delete;

    // Throws FileWriteError on a failed or short write.
    void write(const char *data, qint64 size);
    void write(const QByteArray &data) { write(data.constData(), data.size()); }
    // For a caller that streams and checks every write's count itself. A write
    // that failed on it still makes commit() fail.
    QFileDevice &device();
    // Syncs and renames over the target; throws FileWriteError with the old file in place.
    void commit();

private:
    [[noreturn]] void fail(const QString &reason);

    QString m_path;
    std::unique_ptr<QSaveFile> m_save;
    std::unique_ptr<QTemporaryFile> m_temp; // only while replacing a symlink
    bool m_failed = false;
};

// Replaces path with data in one step: a failure throws FileWriteError and
// leaves the old file as it was.
void writeFileAtomically(const QString &path, const QByteArray &data, AtomicWriteOptions options = {});

// QSaveFile writes into a temporary beside its target, named target + "." + six
// letters or digits, and renames it over the target when done. A process killed
// in between leaves that temporary behind: this removes those of target. Files
// listed in keep (say, a firmware given as input) are never touched, nor anything
// that is not a regular file. Call it only while no other writer can be writing
// target (under the project's write lock).
void removeStaleTemporaries(const QString &target, const QStringList &keep = {});
