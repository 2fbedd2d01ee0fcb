#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <exception>

// What is wrong with a zip file, worded to follow "cannot be read: " (no capital,
// no full stop); the caller names the file.
class ZipError : public std::exception {
public:
    explicit ZipError(QString problem) : m_problem(std::move(problem)) {}
    const QString &problem() const noexcept { return m_problem; }
    const char *what() const noexcept override { return "damaged zip file"; }

private:
    QString m_problem;
};

// Reads the members of a zip file held in memory: stored or deflated, without
// encryption and without the zip64 extensions. Workbooks (.xlsx, .ods) are zips.
// A zip comes from anyone, so the member count and each member's unpacked size
// are bounded; whatever does not fit the bounds or the format throws ZipError.
class ZipArchive {
public:
    // Parsed, a part takes up to sixteen times its size (a node per four bytes),
    // so the size bound keeps a whole import within about a gigabyte; real parts
    // of the tables' workbooks are below a megabyte.
    struct Limits {
        qsizetype maxMembers = 10000;
        qint64 maxMemberBytes = 32 * 1024 * 1024;
    };

    // Reads the central directory.
    explicit ZipArchive(QByteArray data) : ZipArchive(std::move(data), Limits{}) {}
    ZipArchive(QByteArray data, Limits limits);

    // Member names are compared without regard to case, as spreadsheet programs
    // do; the first of two same names wins.
    bool contains(const QString &name) const;
    // The member's bytes, checked against their CRC-32.
    QByteArray read(const QString &name) const;
    QStringList names() const;

private:
    struct Member {
        QString name;
        quint16 flags;
        quint16 method;
        quint32 crc;
        quint32 packedSize;
        quint32 size;
        quint32 localOffset;
    };

    const Member &member(const QString &name) const;
    QByteArray inflated(const Member &m, const char *packed) const;

    QByteArray m_data;
    Limits m_limits;
    QList<Member> m_members;
    QHash<QString, qsizetype> m_byName; // folded name -> index
};
