#pragma once

#include "translate/CanLine.h"
#include "translate/ProjectTable.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>

// The text fields of an entry, in the order of emcydef.xml's attributes.
enum EmcyText : int {
    IdDev,
    MaskEqEc,
    MaskEqEr,
    MaskEqM1,
    MaskEqM2,
    MaskEqM3,
    EnmaskEqEc,
    EnmaskEqEr,
    EnmaskEqM1,
    EnmaskEqM2,
    EnmaskEqM3,
    EmcyTextCount
};

using EmcyTexts = std::array<QString, EmcyTextCount>;

// emcydef.xml's attributes in file order: the eleven texts, then "bypass_set".
extern const std::array<const char *, EmcyTextCount + 1> EmcyAttributes;

// The largest alias code the window offers; a file may hold up to 15.
constexpr qint32 MaxEmcyAlias = 8;

// One EMCY translation entry.
struct EmcyEntry {
    EmcyTexts texts;
    // Bit 0 of "bypass_set".
    bool translate = false;
    // Bits 1 to 4 of "bypass_set": which byte carries the identifier on the other line.
    qint32 alias = 0;

    bool operator==(const EmcyEntry &) const = default;

    // "bypass_set" as written for this entry in the list of line.
    qint32 bypassSet(CanLine line) const;
    // An entry from the window's fields; an empty field but the identifier is stored as "0".
    static EmcyEntry fromFields(const EmcyTexts &fields, bool translate, qint32 alias);
};

// The EMCY translation table, emcydef.xml: the entries of both lists, each list in
// the order its list box shows it.
class EmcyTable : public ProjectTable {
public:
    EmcyTable() : ProjectTable(importParams(), &ProjectFiles::EmcydefPath) {}

    const QList<EmcyEntry> &entries(CanLine line) const { return m_entries[line]; }
    // The list box's lines: each entry's identifier as typed.
    QStringList lines(CanLine line) const;
    void clear() override;

    // The identifier check: the refusal of id as a new identifier in line's list,
    // nothing when it is accepted. An identifier must be an integer and differ, as
    // text, from every line of the list.
    std::optional<QString> identifierRefusal(CanLine line, const QString &id) const;
    // The label of field t, with the range it shows.
    static QString fieldLabel(int t);
    // The first field of entry that is no integer or lies outside the range its
    // label shows; column is the field, line and row are left as they start.
    static std::optional<TableFault> rangeFault(const EmcyEntry &entry);
    // The first entry, in list order, whose fields rangeFault refuses.
    std::optional<TableFault> saveFault() const override;

    // "New EMCY": checks the identifier, then appends entry. Returns the refusal.
    std::optional<QString> add(CanLine line, const EmcyEntry &entry);
    // "Modify": checks the identifier when it changes, then replaces entry row.
    std::optional<QString> modify(CanLine line, int row, const EmcyEntry &entry);
    // "Delete EMCY".
    void remove(CanLine line, int row);

    // The exact bytes of emcydef.xml; throws TessiroError when an identifier is no integer.
    QByteArray toXml() const override;
    // The lines of "Export": the attribute names, then line A's entries and line B's.
    QList<QStringList> exportLines() const override;

    static const ImportParams &importParams();
    void clearForImport() override;
    RowTaken takeRecord(const ImportRecord &record) override;

protected:
    QString missingNotice() const override;
    void readRow(const pugi::xml_node &row) override;
    int entryCount() const override { return int(m_entries[CanLine::A].size() + m_entries[CanLine::B].size()); }

private:
    PerLine<QList<EmcyEntry>> m_entries;
};
