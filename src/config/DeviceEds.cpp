#include "config/DeviceEds.h"

#include "base/FileRead.h"
#include "base/TessiroError.h"
#include "config/Messages.h"

#include <QDir>
#include <QHash>
#include <QStringDecoder>
#include <algorithm>
#include <map>

namespace {

using namespace ConfigMessages;

struct KeyValue {
    QString value;
    int line = 0;
};

struct Section {
    int line = 0;
    QHash<QString, KeyValue> keys; // keys lower-case: CiA 306 keywords ignore case
};

struct ParsedFile {
    QString path;
    QHash<QString, Section> sections; // names upper-case
};

[[noreturn]] void refuse(const QString &path, int line, const QString &what)
{
    throw TessiroError(EdsLineError.arg(QDir::toNativeSeparators(path)).arg(line).arg(what));
}

QString decodeText(const QByteArray &bytes)
{
    // Devices ship both: UTF-8 where it decodes cleanly, else Latin-1.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

ParsedFile parseSections(const QByteArray &bytes, const QString &path)
{
    ParsedFile file;
    file.path = path;
    const QString text = decodeText(bytes);
    Section *current = nullptr;
    int lineNumber = 0;
    for (QStringView raw : QStringView(text).split(u'\n')) {
        ++lineNumber;
        const QStringView line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            if (!line.endsWith(u']'))
                refuse(path, lineNumber, EdsSectionNotClosed.arg(line.toString()));
            const QString name = line.mid(1, line.size() - 2).trimmed().toString().toUpper();
            if (name.isEmpty())
                refuse(path, lineNumber, EdsSectionNotClosed.arg(line.toString()));
            current = &file.sections[name];
            if (current->line == 0)
                current->line = lineNumber;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0 || !current)
            refuse(path, lineNumber, EdsLineNotEntry.arg(line.toString()));
        const QString key = line.left(equals).trimmed().toString().toLower();
        if (key.isEmpty())
            refuse(path, lineNumber, EdsLineNotEntry.arg(line.toString()));
        current->keys.insert(key, KeyValue{line.mid(equals + 1).trimmed().toString(), lineNumber});
    }
    return file;
}

bool parseNumber(QStringView text, quint64 &value)
{
    text = text.trimmed();
    if (text.isEmpty())
        return false;
    int base = 10;
    if (text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) {
        base = 16;
        text = text.mid(2);
    } else if (text.size() > 1 && text[0] == u'0') {
        base = 8;
        text = text.mid(1);
    }
    value = 0;
    for (QChar c : text) {
        const int digit = c.isDigit()                                    ? c.digitValue()
                          : (c.toLower() >= u'a' && c.toLower() <= u'f') ? c.toLower().unicode() - u'a' + 10
                                                                         : 99;
        if (digit >= base || c.unicode() > 127)
            return false;
        value = value * quint64(base) + quint64(digit);
        if (value > 0xFFFFFFFFull)
            return false;
    }
    return true;
}

// A key's number; throws naming the line when present but unreadable.
bool numberKey(const ParsedFile &file, const Section &section, const char *key, quint32 &value)
{
    const auto it = section.keys.constFind(QLatin1String(key));
    if (it == section.keys.cend())
        return false;
    quint64 number = 0;
    if (!parseNumber(it->value, number))
        refuse(file.path, it->line, EdsNotANumber.arg(QLatin1String(key), it->value));
    value = quint32(number);
    return true;
}

QString textKey(const Section &section, const char *key)
{
    return section.keys.value(QLatin1String(key)).value;
}

QString accessKey(const ParsedFile &file, const Section &section)
{
    const auto it = section.keys.constFind(QStringLiteral("accesstype"));
    if (it == section.keys.cend())
        refuse(file.path, section.line, EdsMissingKey.arg(QStringLiteral("AccessType")));
    const QString access = it->value.toLower();
    static const QStringList known = {QStringLiteral("ro"),  QStringLiteral("wo"),  QStringLiteral("rw"),
                                      QStringLiteral("rwr"), QStringLiteral("rww"), QStringLiteral("const")};
    if (!known.contains(access))
        refuse(file.path, it->line, EdsUnknownAccess.arg(it->value));
    return access;
}

quint16 dataTypeKey(const ParsedFile &file, const Section &section)
{
    quint32 type = 0;
    if (!numberKey(file, section, "datatype", type))
        refuse(file.path, section.line, EdsMissingKey.arg(QStringLiteral("DataType")));
    if (type > 0xFFFF)
        refuse(file.path, section.keys.value(QStringLiteral("datatype")).line,
               EdsNotANumber.arg(QStringLiteral("datatype"), section.keys.value(QStringLiteral("datatype")).value));
    return quint16(type);
}

void setDefault(DeviceEdsEntry &entry, const Section &section)
{
    const auto it = section.keys.constFind(QStringLiteral("defaultvalue"));
    if (it == section.keys.cend())
        return;
    entry.hasDefault = true;
    entry.defaultValue = it->value;
    entry.defaultLine = it->line;
}

DeviceEdsEntry entryFrom(const ParsedFile &file, const Section &section, quint16 index, quint8 subIndex)
{
    DeviceEdsEntry entry;
    entry.index = index;
    entry.subIndex = subIndex;
    entry.line = section.line;
    entry.name = textKey(section, "parametername");
    entry.dataType = dataTypeKey(file, section);
    entry.size = edsDataTypeSize(entry.dataType);
    entry.access = accessKey(file, section);
    setDefault(entry, section);
    return entry;
}

bool hexPart(QStringView text, int maxDigits, quint32 &value)
{
    if (text.isEmpty() || text.size() > maxDigits)
        return false;
    bool ok = false;
    value = text.toUInt(&ok, 16);
    return ok && std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; });
}

// Names of a CompactSubObj object's sub-entries: the [XXXXName] section's line
// where there is one, else the object's name and the sub-index in decimal.
QString compactName(const ParsedFile &file, const QString &indexText, const QString &objectName, int sub)
{
    const auto names = file.sections.constFind(indexText + QStringLiteral("NAME"));
    if (names != file.sections.cend()) {
        const auto it = names->keys.constFind(QString::number(sub));
        if (it != names->keys.cend())
            return it->value;
    }
    return objectName + QString::number(sub);
}

DeviceEdsObject objectFrom(const ParsedFile &file, const QString &indexText, quint16 index, const Section &section)
{
    DeviceEdsObject object;
    object.index = index;
    object.name = textKey(section, "parametername");
    quint32 objectType = 7;
    numberKey(file, section, "objecttype", objectType);
    object.objectType = objectType == 2 ? 7 : int(objectType);
    if (object.objectType == 7) {
        object.entries.append(entryFrom(file, section, index, 0));
        return object;
    }
    if (object.objectType != 8 && object.objectType != 9)
        return object; // type definitions and the like hold no data to map
    quint32 compact = 0;
    if (numberKey(file, section, "compactsubobj", compact) && compact > 0) {
        if (compact > 254)
            refuse(file.path, section.keys.value(QStringLiteral("compactsubobj")).line,
                   EdsNotANumber.arg(QStringLiteral("CompactSubObj"), QString::number(compact)));
        DeviceEdsEntry count;
        count.index = index;
        count.name = QStringLiteral("NrOfObjects");
        count.dataType = 0x0005;
        count.size = 1;
        count.access = QStringLiteral("ro");
        count.hasDefault = true;
        count.defaultValue = QString::number(compact);
        object.entries.append(count);
        const quint16 type = dataTypeKey(file, section);
        const QString access = accessKey(file, section);
        for (quint32 sub = 1; sub <= compact; ++sub) {
            DeviceEdsEntry entry;
            entry.index = index;
            entry.subIndex = quint8(sub);
            entry.line = section.line;
            entry.name = compactName(file, indexText, object.name, int(sub));
            entry.dataType = type;
            entry.size = edsDataTypeSize(type);
            entry.access = access;
            setDefault(entry, section);
            object.entries.append(entry);
        }
        return object;
    }
    const QString prefix = indexText + QStringLiteral("SUB");
    std::map<quint32, const Section *> subs;
    for (auto it = file.sections.cbegin(); it != file.sections.cend(); ++it) {
        quint32 sub = 0;
        if (it.key().startsWith(prefix) && hexPart(QStringView(it.key()).mid(prefix.size()), 2, sub))
            subs.emplace(sub, &it.value());
    }
    for (const auto &[sub, subSection] : subs)
        object.entries.append(entryFrom(file, *subSection, index, quint8(sub)));
    return object;
}

} // namespace

int edsDataTypeSize(quint16 dataType)
{
    switch (dataType) {
    case 0x0001: // BOOLEAN
    case 0x0002: // INTEGER8
    case 0x0005: // UNSIGNED8
        return 1;
    case 0x0003: // INTEGER16
    case 0x0006: // UNSIGNED16
        return 2;
    case 0x0010: // INTEGER24
    case 0x0016: // UNSIGNED24
        return 3;
    case 0x0004: // INTEGER32
    case 0x0007: // UNSIGNED32
    case 0x0008: // REAL32
        return 4;
    case 0x0012: // INTEGER40
    case 0x0018: // UNSIGNED40
        return 5;
    case 0x000C: // TIME_OF_DAY
    case 0x000D: // TIME_DIFFERENCE
    case 0x0013: // INTEGER48
    case 0x0019: // UNSIGNED48
        return 6;
    case 0x0014: // INTEGER56
    case 0x001A: // UNSIGNED56
        return 7;
    case 0x0011: // REAL64
    case 0x0015: // INTEGER64
    case 0x001B: // UNSIGNED64
        return 8;
    case 0x0009: // VISIBLE_STRING
    case 0x000A: // OCTET_STRING
    case 0x000B: // UNICODE_STRING
    case 0x000F: // DOMAIN
        return 0;
    default:
        return -1;
    }
}

const DeviceEdsEntry *DeviceEds::find(quint16 index, quint8 subIndex) const
{
    for (const DeviceEdsObject &object : objects)
        if (object.index == index)
            for (const DeviceEdsEntry &entry : object.entries)
                if (entry.subIndex == subIndex)
                    return &entry;
    return nullptr;
}

DeviceEds readDeviceEds(const QString &path)
{
    return parseDeviceEds(readRegularFile(path), path);
}

DeviceEds parseDeviceEds(const QByteArray &bytes, const QString &path)
{
    const ParsedFile file = parseSections(bytes, path);
    DeviceEds eds;
    eds.path = path;
    for (auto it = file.sections.cbegin(); it != file.sections.cend(); ++it) {
        quint32 index = 0;
        if (hexPart(it.key(), 4, index) && it.key().size() == 4)
            eds.objects.append(objectFrom(file, it.key(), quint16(index), it.value()));
    }
    std::sort(eds.objects.begin(), eds.objects.end(),
              [](const DeviceEdsObject &a, const DeviceEdsObject &b) { return a.index < b.index; });
    return eds;
}

bool parseEdsValue(const QString &text, quint32 nodeId, quint32 &value)
{
    quint64 sum = 0;
    const QList<QStringView> terms = QStringView(text).split(u'+');
    for (QStringView term : terms) {
        term = term.trimmed();
        quint64 number = 0;
        if (term.compare(QLatin1String("$NODEID"), Qt::CaseInsensitive) == 0)
            number = nodeId;
        else if (!parseNumber(term, number))
            return false;
        sum += number;
        if (sum > 0xFFFFFFFFull)
            return false;
    }
    value = quint32(sum);
    return true;
}

QList<DevicePdo> devicePdos(const DeviceEds &eds, quint32 nodeId)
{
    auto valueOf = [&](const DeviceEdsEntry &entry) {
        quint32 value = 0;
        if (!parseEdsValue(entry.defaultValue, nodeId, value))
            refuse(eds.path, entry.defaultLine, EdsNotANumber.arg(QStringLiteral("DefaultValue"), entry.defaultValue));
        return value;
    };
    QList<DevicePdo> pdos;
    for (const bool transmit : {false, true}) {
        const quint16 first = transmit ? 0x1800 : 0x1400;
        for (int n = 0; n < 512; ++n) {
            const DeviceEdsEntry *cobId = eds.find(quint16(first + n), 1);
            if (!cobId) {
                continue;
            }
            DevicePdo pdo;
            pdo.transmit = transmit;
            pdo.number = n + 1;
            if (!cobId->hasDefault)
                refuse(eds.path, cobId->line, EdsMissingKey.arg(QStringLiteral("DefaultValue")));
            pdo.cobId = valueOf(*cobId);
            const quint16 mapping = quint16(first + 0x200 + n);
            const DeviceEdsEntry *count = eds.find(mapping, 0);
            // A mapping whose sub-index 0 has no default maps nothing.
            const quint32 mapped = count && count->hasDefault ? valueOf(*count) : 0;
            quint32 bits = 0;
            for (quint32 sub = 1; sub <= mapped && sub <= 0xFF; ++sub)
                if (const DeviceEdsEntry *entry = eds.find(mapping, quint8(sub)); entry && entry->hasDefault)
                    bits += valueOf(*entry) & 0xFF;
            pdo.lengthBytes = int((bits + 7) / 8);
            pdos.append(pdo);
        }
    }
    return pdos;
}

QString edsCanIdText(quint32 canId)
{
    return QStringLiteral("$%1").arg(canId, 3, 16, QChar(u'0')).toUpper();
}

QString edsObjectsText(const DeviceEds &eds)
{
    QString text;
    for (const DeviceEdsObject &object : eds.objects)
        for (const DeviceEdsEntry &entry : object.entries) {
            if (entry.size < 0)
                continue;
            text += QStringLiteral("$%1\t$%2\t%3\t$%4\t%5\t%6\n")
                        .arg(QString::number(entry.index, 16).rightJustified(4, u'0').toUpper(),
                             QString::number(entry.subIndex, 16).rightJustified(2, u'0').toUpper(), entry.name,
                             QString::number(entry.dataType, 16).rightJustified(4, u'0').toUpper(),
                             QString::number(entry.size), entry.access);
        }
    return text;
}

QString edsPdosText(const QList<DevicePdo> &pdos)
{
    QString text;
    for (const DevicePdo &pdo : pdos)
        text += QStringLiteral("%1\t%2\t%3\t%4\t%5\n")
                    .arg(pdo.transmit ? QStringLiteral("TPDO") : QStringLiteral("RPDO"), QString::number(pdo.number),
                         edsCanIdText(pdo.canId()), pdo.valid() ? QStringLiteral("valid") : QStringLiteral("invalid"),
                         QString::number(pdo.lengthBytes));
    return text;
}
