#pragma once

#include "translate/CanLine.h"
#include "translate/ProjectTable.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <utility>

// One bit of an EMCY word: two mask bytes and the positions of two bytes of the
// emergency message, poscomp = 16 * "Emcy byte 1" + "Emcy Byte 2" as decimal text.
// A new word's bits hold empty texts.
struct EmcyWordBit {
    QString b0;
    QString b1;
    QString poscomp;

    bool operator==(const EmcyWordBit &) const = default;
};

// One EMCY word: where it is read by SDO on one line, the EMCY producer on the
// other, and its sixteen bits. Every value is kept as the text it was given.
struct EmcyWord {
    static constexpr int BitCount = 16;

    QString index_addrm;
    QString subindex;
    QString devid;
    std::array<EmcyWordBit, BitCount> bits{};

    bool operator==(const EmcyWord &) const = default;
};

// The "Emcy byte 1" and "Emcy Byte 2" texts of a poscomp: its value kept to 16
// bits, split into c >> 4 and c mod 16. An empty poscomp (a bit not defined yet)
// gives two empty texts; any other text that is not an integer throws TessiroError.
std::pair<QString, QString> splitPoscomp(const QString &poscomp);
// The poscomp text of the two fields, (16 * byte1 + byte2) mod 65536. Two empty
// fields give the empty poscomp; otherwise each must be an integer (TessiroError).
QString joinPoscomp(const QString &byte1, const QString &byte2);

// The table of EMCY words, emcyword.xml: two lists of words, one per tab ("CanA":
// extdata 0, "CanB": extdata 1), each word shown as a node "W" + number followed
// by its sixteen bit nodes "Bit0" to "Bit15".
class EmcyWordTable : public ProjectTable {
public:
    EmcyWordTable() : ProjectTable(importParams(), &ProjectFiles::EmcywordPath) {}

    static constexpr int NodesPerWord = 1 + EmcyWord::BitCount;
    static constexpr int ColumnCount = 4 + 3 * EmcyWord::BitCount;

    static const ImportParams &importParams();
    // The 52 attribute names of a row, in file order.
    static const QStringList &attributeNames();

    const QList<EmcyWord> &words(CanLine line) const { return m_lines[line].words; }
    // "W" + the word's number: loading and importing number a line's words from 0;
    // a new word takes one above the last word's number.
    QString wordNodeText(CanLine line, int word) const;
    static QString bitNodeText(int bit);

    void clear() override;

    // Whether the three texts make a word of line: none empty, and no other word of
    // the line (exclude is the word being changed, -1 for none) has the same three.
    bool wordCheck(CanLine line, const EmcyWord &key, int exclude = -1) const;
    // "New": the refusal (nothing added) when the word check refuses key's three texts.
    std::optional<QString> newWord(CanLine line, const EmcyWord &key);
    // "Modify" on a word node: the refusal when the word check refuses.
    std::optional<QString> modifyWord(CanLine line, int word, const EmcyWord &key);
    // "Modify" on a bit node: b0, b1 and the poscomp of the two Emcy byte fields,
    // each an integer 0 to 15 (both empty: no position yet). A refused position
    // stores nothing; the fault's column is 0 for "Emcy byte 1", 1 for "Emcy Byte 2".
    std::optional<TableFault> modifyBit(CanLine line, int word, int bit, const QString &b0, const QString &b1,
                                        const QString &byte1, const QString &byte2);
    // The first word whose index_addrm, subindex or devid is no integer; the
    // fault's column is 0, 1 or 2 in that order.
    std::optional<TableFault> saveFault() const override;
    void deleteWord(CanLine line, int word);

    // The exact bytes of emcyword.xml: each line's words sorted by devid, then
    // index_addrm, then subindex, as integers (of equal words the one further down
    // the list first). Throws TessiroError when one of them is not an integer.
    QByteArray toXml() const override;

    // The CSV lines of "Export": the attribute names, then the words of "CanA" and
    // of "CanB" in list order.
    QList<QStringList> exportLines() const override;

    void clearForImport() override;
    RowTaken takeRecord(const ImportRecord &record) override;

protected:
    QString missingNotice() const override;
    void readRow(const pugi::xml_node &row) override;
    int entryCount() const override { return int(m_lines[CanLine::A].words.size() + m_lines[CanLine::B].words.size()); }

private:
    struct LineWords {
        QList<EmcyWord> words;
        QList<int> numbers;
    };
    void append(CanLine line, const EmcyWord &word, int number);
    // Places word as its extdata value says: 0 "CanA", 1 "CanB", any other dropped.
    void place(qint32 extdata, const EmcyWord &word);

    PerLine<LineWords> m_lines;
};
