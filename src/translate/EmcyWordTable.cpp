#include "translate/EmcyWordTable.h"

#include "base/TessiroError.h"
#include "project/ParseIntText.h"
#include "project/ProjectXml.h"
#include "translate/Messages.h"

#include <algorithm>
#include <tuple>

namespace {

const char *const RootElement = "emcyword";
// Columns of a row (and of a worksheet record) before the bits.
enum Column { IndexAddrm = 0, Subindex = 1, Extdata = 2, Devid = 3, FirstBit = 4 };

// A word from the 52 values of a row in file order; the extdata value is not part of it.
EmcyWord wordOf(const QStringList &values)
{
    EmcyWord word;
    word.index_addrm = values.value(IndexAddrm);
    word.subindex = values.value(Subindex);
    word.devid = values.value(Devid);
    for (int n = 0; n < EmcyWord::BitCount; ++n) {
        EmcyWordBit &bit = word.bits[std::size_t(n)];
        bit.b0 = values.value(FirstBit + 3 * n);
        bit.b1 = values.value(FirstBit + 3 * n + 1);
        bit.poscomp = values.value(FirstBit + 3 * n + 2);
    }
    return word;
}

QStringList valuesOf(const EmcyWord &word, CanLine line)
{
    QStringList values{word.index_addrm, word.subindex, QString::number(lineIndex(line)), word.devid};
    for (const EmcyWordBit &bit : word.bits)
        values << bit.b0 << bit.b1 << bit.poscomp;
    return values;
}

} // namespace

std::pair<QString, QString> splitPoscomp(const QString &poscomp)
{
    if (poscomp.isEmpty())
        return {};
    const quint32 c = quint32(ParseIntText(poscomp)) & 0xFFFFu;
    return {QString::number(c >> 4), QString::number(c & 0xFu)};
}

QString joinPoscomp(const QString &byte1, const QString &byte2)
{
    if (byte1.isEmpty() && byte2.isEmpty())
        return {};
    const qint64 sum = 16 * qint64(ParseIntText(byte1)) + ParseIntText(byte2);
    // The value's 16 bits, so that a negative field gives the poscomp the word shows.
    return QString::number(sum & 0xFFFF);
}

namespace {
// index_addrm, subindex, extdata, devid and each bit's poscomp.
QList<int> integerColumns()
{
    QList<int> columns{IndexAddrm, Subindex, Extdata, Devid};
    for (int bit = 0; bit < EmcyWord::BitCount; ++bit)
        columns << FirstBit + 3 * bit + 2;
    return columns;
}
} // namespace

const ImportParams &EmcyWordTable::importParams()
{
    // The export's name line, met as a record, is skipped.
    static const ImportParams params{.table = QStringLiteral("emcyword"),
                                     .columns = ColumnCount,
                                     .headerField = IndexAddrm,
                                     .headerText = QStringLiteral("index_addrm"),
                                     .integerColumns = integerColumns(),
                                     .columnNames = attributeNames()};
    return params;
}

const QStringList &EmcyWordTable::attributeNames()
{
    static const QStringList names = [] {
        QStringList out{QStringLiteral("index_addrm"), QStringLiteral("subindex"), QStringLiteral("extdata"),
                        QStringLiteral("devid")};
        for (int n = 0; n < EmcyWord::BitCount; ++n)
            out << QStringLiteral("bit%1_b0").arg(n) << QStringLiteral("bit%1_b1").arg(n)
                << QStringLiteral("bit%1_poscomp").arg(n);
        return out;
    }();
    return names;
}

QString EmcyWordTable::wordNodeText(CanLine line, int word) const
{
    return QStringLiteral("W%1").arg(m_lines[line].numbers.value(word));
}

QString EmcyWordTable::bitNodeText(int bit)
{
    return QStringLiteral("Bit%1").arg(bit);
}

void EmcyWordTable::clear()
{
    m_lines = {};
}

void EmcyWordTable::append(CanLine line, const EmcyWord &word, int number)
{
    m_lines[line].words << word;
    m_lines[line].numbers << number;
}

void EmcyWordTable::place(qint32 extdata, const EmcyWord &word)
{
    if (extdata != 0 && extdata != 1)
        return;
    const CanLine line = lineAt(int(extdata));
    append(line, word, int(m_lines[line].words.size()));
}

QString EmcyWordTable::missingNotice() const
{
    return TranslateMessages::XmlNotFound;
}

void EmcyWordTable::readRow(const pugi::xml_node &row)
{
    QStringList values;
    for (const QString &name : attributeNames())
        values << requireAttribute(row, name.toLatin1().constData());
    place(requireIntegerAttribute(row, "extdata"), wordOf(values));
}

bool EmcyWordTable::wordCheck(CanLine line, const EmcyWord &key, int exclude) const
{
    if (key.index_addrm.isEmpty() || key.subindex.isEmpty() || key.devid.isEmpty())
        return false;
    const QList<EmcyWord> &list = m_lines[line].words;
    for (int i = 0; i < list.size(); ++i)
        if (i != exclude && list[i].index_addrm == key.index_addrm && list[i].subindex == key.subindex &&
            list[i].devid == key.devid)
            return false;
    return true;
}

std::optional<QString> EmcyWordTable::newWord(CanLine line, const EmcyWord &key)
{
    if (!wordCheck(line, key))
        return TranslateMessages::IndexNotValid;
    EmcyWord word;
    word.index_addrm = key.index_addrm;
    word.subindex = key.subindex;
    word.devid = key.devid;
    // Named after the last node, not counted: numbers freed by Delete are not taken again.
    const QList<int> &numbers = m_lines[line].numbers;
    append(line, word, numbers.isEmpty() ? 0 : numbers.last() + 1);
    return std::nullopt;
}

std::optional<QString> EmcyWordTable::modifyWord(CanLine line, int word, const EmcyWord &key)
{
    if (!wordCheck(line, key, word))
        return TranslateMessages::IndexNotValid;
    EmcyWord &stored = m_lines[line].words[word];
    stored.index_addrm = key.index_addrm;
    stored.subindex = key.subindex;
    stored.devid = key.devid;
    return std::nullopt;
}

std::optional<TableFault> EmcyWordTable::modifyBit(CanLine line, int word, int bit, const QString &b0,
                                                   const QString &b1, const QString &byte1, const QString &byte2)
{
    using namespace TranslateMessages;
    // A position beyond 15 would spill into the other byte's half of poscomp.
    if (!byte1.isEmpty() || !byte2.isEmpty()) {
        const QString labels[] = {QStringLiteral("Emcy byte 1"), QStringLiteral("Emcy Byte 2")};
        const QString texts[] = {byte1, byte2};
        for (int f = 0; f < 2; ++f) {
            const std::optional<qint32> value = tryParseIntText(texts[f]);
            if (!value)
                return TableFault{line, word, f, FieldFault.arg(labels[f], invalidIntegerMessage(texts[f]))};
            if (*value < 0 || *value > 15)
                return TableFault{line, word, f, FieldFault.arg(labels[f], OutsideRange.arg(texts[f]).arg(0).arg(15))};
        }
    }
    EmcyWordBit &stored = m_lines[line].words[word].bits[std::size_t(bit)];
    stored.b0 = b0;
    stored.b1 = b1;
    stored.poscomp = joinPoscomp(byte1, byte2);
    return std::nullopt;
}

std::optional<TableFault> EmcyWordTable::saveFault() const
{
    for (CanLine line : CanLines)
        for (int w = 0; w < m_lines[line].words.size(); ++w) {
            const EmcyWord &word = m_lines[line].words[w];
            const std::pair<const char *, QString> keys[] = {
                {"index_addrm", word.index_addrm}, {"subindex", word.subindex}, {"devid", word.devid}};
            for (int k = 0; k < 3; ++k)
                if (!tryParseIntText(keys[k].second))
                    return TableFault{line, w, k,
                                      TranslateMessages::WordFault
                                          .arg(line == CanLine::A ? QStringLiteral("CanA") : QStringLiteral("CanB"))
                                          .arg(wordNodeText(line, w), QString::fromLatin1(keys[k].first),
                                               invalidIntegerMessage(keys[k].second))};
        }
    return std::nullopt;
}

void EmcyWordTable::deleteWord(CanLine line, int word)
{
    m_lines[line].words.removeAt(word);
    m_lines[line].numbers.removeAt(word);
}

QByteArray EmcyWordTable::toXml() const
{
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child(RootElement);
    const QStringList &names = attributeNames();
    for (CanLine line : CanLines) {
        const QList<EmcyWord> &list = m_lines[line].words;
        struct Key {
            qint32 devid;
            qint32 index;
            qint32 subindex;
            int position;
        };
        QList<Key> keys;
        for (int i = 0; i < list.size(); ++i)
            keys << Key{ParseIntText(list[i].devid), ParseIntText(list[i].index_addrm), ParseIntText(list[i].subindex),
                        i};
        // Of words equal in all three keys, the one further down the list first.
        std::sort(keys.begin(), keys.end(), [](const Key &x, const Key &y) {
            return std::tie(x.devid, x.index, x.subindex, y.position) <
                   std::tie(y.devid, y.index, y.subindex, x.position);
        });
        for (const Key &key : keys) {
            pugi::xml_node row = root.append_child("row");
            const QStringList values = valuesOf(list[key.position], line);
            for (int c = 0; c < ColumnCount; ++c)
                row.append_attribute(names[c].toLatin1().constData()).set_value(values[c].toUtf8().constData());
        }
    }
    return projectXmlBytes(doc);
}

QList<QStringList> EmcyWordTable::exportLines() const
{
    QList<QStringList> lines{attributeNames()};
    for (CanLine line : CanLines)
        for (const EmcyWord &word : m_lines[line].words)
            lines << valuesOf(word, line);
    return lines;
}

void EmcyWordTable::clearForImport()
{
    clear();
}

RowTaken EmcyWordTable::takeRecord(const ImportRecord &record)
{
    const qint32 extdata = record.integer(Extdata);
    QStringList values;
    for (int c = 0; c < ColumnCount; ++c)
        values << record.field(c);
    place(extdata, wordOf(values));
    return RowTaken::Taken;
}
