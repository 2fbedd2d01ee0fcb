#pragma once

#include "translate/CanLine.h"
#include "translate/ProjectTable.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// One SDO stored under a PDO, or one entry of a reference list (index and
// subindex only). poscomp is 16 x high-byte position + low-byte position, where 0
// is "none" and 1 to 8 are "B1" to "B8".
struct StoredSdo {
    QString index;
    QString subindex;
    QString poscomp;

    bool operator==(const StoredSdo &) const = default;
};

// One PDO of rpdodef.xml: its cobid text and its 1-based place in its tab's list.
struct StoredPdo {
    QString name;
    int number = 0;
    QList<StoredSdo> sdos;

    bool operator==(const StoredPdo &) const = default;
};

// What the edit fields and the two radio groups of a tab hold.
struct SdoFields {
    QString index;
    QString subindex;
    // Radio positions, 0 ("none") to 8 ("B8"); -1 when no button is set.
    int high = 0;
    int low = 0;

    int code() const { return 16 * qMax(high, 0) + qMax(low, 0); }
    bool operator==(const SdoFields &) const = default;
};

// "Copy SDO" of each tab keeps its fields here for the whole run of the program,
// so that closing the window does not lose them.
struct StoredPdoCopies {
    PerLine<std::optional<SdoFields>> lines;
};
StoredPdoCopies &programStoredPdoCopies();

// The stored-PDO table behind "Define Store PDO": per tab ("CanA" 0, "CanB" 1) the
// PDOs of rpdodef.xml with the SDOs stored under each, and the SDOs that the SDO
// translation table already answers on that line.
class StoredPdoTable : public ProjectTable {
public:
    struct LineData {
        QList<StoredPdo> pdos;
        QList<StoredSdo> reference;
    };

    explicit StoredPdoTable(StoredPdoCopies &copies = programStoredPdoCopies());
    ~StoredPdoTable() override = default;

    const LineData &lineData(CanLine line) const { return m_lines[line]; }
    const StoredPdo &pdo(CanLine line, int pdo) const { return m_lines[line].pdos[pdo]; }

    // The window's opening: reference SDOs from sdotrans.xml, PDOs from rpdodef.xml,
    // stored SDOs from sdopdo.xml, in that order; each step goes on after a failed
    // one. The problems are the plain notices to show, in order; the value counts
    // the stored SDOs, and is whole when sdopdo.xml was read whole and every stored
    // SDO found its PDO.
    Loaded<TableRead> load(const ProjectFiles &files);
    Loaded<TableRead> open(const ProjectFiles &files) override { return load(files); }

    // The check before storing fields under a PDO of the tab: the refusal to show,
    // or nothing. The stored SDO at (pdo, sdo) is left out of the comparison when
    // given. Throws TessiroError when a text is not an integer.
    std::optional<QString> refusal(CanLine line, const SdoFields &fields, int exceptPdo = -1, int exceptSdo = -1) const;
    // "New SDO": the check, then the fields appended to the PDO's list. Returns the
    // refusal, nothing when stored.
    std::optional<QString> newSdo(CanLine line, int pdo, const SdoFields &fields);
    // "Modify SDO": the check without the SDO itself, then its fields replaced.
    std::optional<QString> modifySdo(CanLine line, int pdo, int sdo, const SdoFields &fields);
    void deleteSdo(CanLine line, int pdo, int sdo);
    // The fields that show a stored SDO; throws TessiroError when its code is not an integer.
    static SdoFields fieldsOf(const StoredSdo &sdo);

    void copySdo(CanLine line, const SdoFields &fields);
    // Nothing while the tab's buffer was never filled.
    std::optional<SdoFields> pasteSdo(CanLine line) const { return m_copies.lines[line]; }

    // The first stored SDO whose index (column 0) or subindex (column 1) is no
    // integer: row is its PDO, item the SDO.
    std::optional<TableFault> saveFault() const override;

    // The exact bytes of sdopdo.xml, each tab's SDOs sorted by index, then subindex;
    // throws TessiroError when one of them is not an integer.
    QByteArray toXml() const override;

    // The CSV lines of "Export", the header line first.
    QList<QStringList> exportLines() const override;

    static const ImportParams &importParams();
    // Records naming a PDO that rpdodef.xml lacks are not saved away by a script,
    // with no one there to press Cancel.
    bool leftOutStops() const override { return true; }
    void clearForImport() override;
    RowTaken takeRecord(const ImportRecord &record) override;

    // "Sdo0", "Sdo1", ... for a PDO's list of count SDOs.
    static QStringList sdoLabels(int count);

protected:
    void clear() override;

private:
    void loadReference(const QString &path, QStringList &problems);
    void loadPdos(const QString &path, QStringList &problems);
    TableRead loadStored(const QString &path, QStringList &problems);
    // The PDO that an "nrpdo" value names: its tab and its place, or nothing when
    // the tab has fewer PDOs. Throws TessiroError for PDO number 0.
    std::optional<std::pair<CanLine, int>> pdoOf(qint32 nrpdo, const QString &zeroMessage) const;

    PerLine<LineData> m_lines;
    StoredPdoCopies &m_copies;
};
