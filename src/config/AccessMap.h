#pragma once

#include "base/Loaded.h"
#include "config/AccessMapModel.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The cell being typed in, counted before it is committed.
struct MapCellEdit {
    MapDirection direction;
    int row;
    int column;
    QString text;
};

// An access map as its editor holds it: the IN and OUT grids and the other map's
// bytes per direction, with the loading, the checks and the saving of its file.
class AccessMap {
public:
    explicit AccessMap(const AccessMapParams &params);

    const AccessMapParams &params() const { return m_params; }
    AccessMapModel &grid(MapDirection direction) { return direction == MapDirection::In ? m_in : m_out; }
    const AccessMapModel &grid(MapDirection direction) const { return direction == MapDirection::In ? m_in : m_out; }

    struct ByteCounts {
        qint64 in;
        qint64 out;
    };

    // Rebuilds everything from the two files; the value is the other map's bytes.
    // A missing file counts as empty. The problems name what does not follow its
    // format; reading a file stops at its first fault, keeping what was read before it.
    Loaded<ByteCounts> load(const QString &ownPath, const QString &otherPath);

    qint64 OtherMapInBytes = 0;
    qint64 OtherMapOutBytes = 0;

    ByteCounts CountMapBytes(const MapCellEdit *edit = nullptr) const;
    qint64 usedBytes(MapDirection direction, const MapCellEdit *edit = nullptr) const;

    struct Failure {
        MapDirection direction;
        int row; // 1-based grid row; 0 for a budget failure
        QString message;
    };
    // The checks run on OK, in their order. With firstOnly, stops at the first
    // failure as the editor does; otherwise lists every failing check.
    QList<Failure> failures(bool firstOnly) const;

    // The exact bytes of the file for the grids as they stand.
    QByteArray toXml() const;
    // Replaces the file; throws TessiroError when it cannot be written.
    void save(const QString &path) const;

private:
    QString loadOwn(const QString &path);
    QString loadOther(const QString &path);

    const AccessMapParams &m_params;
    AccessMapModel m_in;
    AccessMapModel m_out;
};
