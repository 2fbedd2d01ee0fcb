#include "config/DevicePick.h"

#include "base/TessiroError.h"
#include "config/Messages.h"

#include <QFileInfo>
#include <algorithm>

using namespace ConfigMessages;

namespace {

QString hex(quint32 value, int digits)
{
    return QStringLiteral("$") + QString::number(value, 16).rightJustified(digits, u'0').toUpper();
}

QString pdoName(const DevicePdo &pdo)
{
    return (pdo.transmit ? QStringLiteral("TPDO") : QStringLiteral("RPDO")) + QString::number(pdo.number);
}

// "$6041", "0x6041", "6041" and "604" all find index 0x6041.
QString indexFilter(const QString &filter)
{
    QString digits = filter;
    if (digits.startsWith(u'$'))
        digits.remove(0, 1);
    else if (digits.startsWith(QLatin1String("0x")))
        digits.remove(0, 2);
    for (const QChar c : digits)
        if (!c.isDigit() && (c < u'a' || c > u'f'))
            return {};
    return digits;
}

} // namespace

QString edsDataTypeName(quint16 dataType)
{
    switch (dataType) {
    case 0x0001:
        return QStringLiteral("BOOLEAN");
    case 0x0002:
        return QStringLiteral("INTEGER8");
    case 0x0003:
        return QStringLiteral("INTEGER16");
    case 0x0004:
        return QStringLiteral("INTEGER32");
    case 0x0005:
        return QStringLiteral("UNSIGNED8");
    case 0x0006:
        return QStringLiteral("UNSIGNED16");
    case 0x0007:
        return QStringLiteral("UNSIGNED32");
    case 0x0008:
        return QStringLiteral("REAL32");
    case 0x0009:
        return QStringLiteral("VISIBLE_STRING");
    case 0x000A:
        return QStringLiteral("OCTET_STRING");
    case 0x000B:
        return QStringLiteral("UNICODE_STRING");
    case 0x000F:
        return QStringLiteral("DOMAIN");
    case 0x0010:
        return QStringLiteral("INTEGER24");
    case 0x0011:
        return QStringLiteral("REAL64");
    case 0x0015:
        return QStringLiteral("INTEGER64");
    case 0x0016:
        return QStringLiteral("UNSIGNED24");
    case 0x001B:
        return QStringLiteral("UNSIGNED64");
    default:
        return {};
    }
}

DevicePick::DevicePick(const AccessMapParams &params, MapDirection direction)
    : m_pdoMap(&params == &pdoAccessMap()), m_direction(direction)
{
    rebuild();
}

void DevicePick::openEds(const QString &path)
{
    m_eds = readDeviceEds(path);
    rebuild();
}

void DevicePick::setNodeId(qint32 nodeId)
{
    m_nodeId = validNodeId(nodeId) ? nodeId : 0;
    rebuild();
}

DeviceLink DevicePick::link() const
{
    return {hasEds() ? QFileInfo(m_eds.path).absoluteFilePath() : QString(), m_nodeId};
}

QStringList DevicePick::columnTitles() const
{
    if (m_pdoMap)
        return {QStringLiteral("PDO"), QStringLiteral("COB-ID"), QStringLiteral("Length"), QStringLiteral("State")};
    return {QStringLiteral("Index"), QStringLiteral("Name"), QStringLiteral("Type"), QStringLiteral("Size"),
            QStringLiteral("Access")};
}

void DevicePick::rebuild()
{
    m_items.clear();
    m_problem.clear();
    if (!hasEds()) {
        m_problem = PickNoEds;
        return;
    }
    if (m_pdoMap)
        addPdoItems();
    else
        addSdoItems();
}

void DevicePick::addSdoItems()
{
    const bool in = m_direction == MapDirection::In;
    auto entryItem = [&](const DeviceEdsEntry &entry, int parent, const QString &shownIndex) {
        DevicePickItem item;
        item.parent = parent;
        const QString typeName = edsDataTypeName(entry.dataType);
        item.columns = {shownIndex, entry.name,
                        hex(entry.dataType, 4) + (typeName.isEmpty() ? QString() : u' ' + typeName),
                        QString::number(entry.size), entry.access};
        if (entry.size == 0)
            item.reason = PickVariableSize;
        else if (entry.size != 1 && entry.size != 2 && entry.size != 4)
            item.reason = PickSizeNotMapped.arg(entry.size);
        const QString index = hex(entry.index, 4);
        const QString sub = hex(entry.subIndex, 2);
        if (in && !entry.readable())
            item.warning = PickNotReadable.arg(index, sub, entry.access);
        else if (!in && !entry.writable())
            item.warning = PickNotWritable.arg(index, sub, entry.access);
        item.cells = {index, sub, QString::number(entry.size), entry.name};
        item.search = entry.name.toLower();
        return item;
    };
    for (const DeviceEdsObject &object : m_eds.objects) {
        QList<const DeviceEdsEntry *> entries;
        for (const DeviceEdsEntry &entry : object.entries)
            if (entry.size >= 0) // a type of unknown size cannot be mapped or checked
                entries.append(&entry);
        if (entries.isEmpty())
            continue;
        const QString index = hex(object.index, 4);
        const QString indexDigits = index.mid(1).toLower();
        if (object.objectType == 7 && entries.size() == 1 && entries.first()->subIndex == 0) {
            DevicePickItem item = entryItem(*entries.first(), -1, index);
            item.search = indexDigits + u'\n' + item.search;
            m_items.append(item);
            continue;
        }
        const int parent = int(m_items.size());
        DevicePickItem head;
        head.columns = {index, object.name, {}, {}, {}};
        head.reason = PickSubEntries;
        head.search = indexDigits + u'\n' + object.name.toLower();
        m_items.append(head);
        for (const DeviceEdsEntry *entry : entries)
            m_items.append(entryItem(*entry, parent, QStringLiteral("sub ") + hex(entry->subIndex, 2)));
    }
}

void DevicePick::addPdoItems()
{
    if (!m_nodeId) {
        m_problem = PickTypeNodeId;
        return;
    }
    QList<DevicePdo> pdos;
    try {
        pdos = devicePdos(m_eds, quint32(m_nodeId));
    } catch (const TessiroError &error) {
        m_problem = error.message();
        return;
    }
    // The IN list takes the device's TPDOs, the OUT list its RPDOs: those first.
    const bool wantTransmit = m_direction == MapDirection::In;
    std::stable_partition(pdos.begin(), pdos.end(),
                          [wantTransmit](const DevicePdo &pdo) { return pdo.transmit == wantTransmit; });
    for (const DevicePdo &pdo : pdos) {
        DevicePickItem item;
        const QString name = pdoName(pdo);
        const QString cobId = edsCanIdText(pdo.canId());
        item.columns = {name, cobId, QString::number(pdo.lengthBytes),
                        pdo.valid() ? QStringLiteral("valid") : QStringLiteral("invalid")};
        if (pdo.transmit != wantTransmit)
            item.reason = PickPdoWrongWay.arg(pdo.transmit ? QStringLiteral("TPDO") : QStringLiteral("RPDO"),
                                              pdo.transmit ? QStringLiteral("IN") : QStringLiteral("OUT"));
        else if (pdo.extended())
            item.reason = PickPdoExtended;
        else if (pdo.lengthBytes == 0)
            item.reason = PickPdoEmpty;
        else if (pdo.lengthBytes > 8)
            item.reason = PickPdoTooLong.arg(pdo.lengthBytes);
        if (!pdo.valid())
            item.warning = PickPdoInvalid.arg(name, cobId);
        item.cells = {cobId, QString::number(pdo.lengthBytes), name};
        item.search = cobId.mid(1).toLower() + u'\n' + name.toLower();
        m_items.append(item);
    }
}

QList<bool> DevicePick::visible(const QString &filter) const
{
    const QString text = filter.trimmed().toLower();
    QList<bool> shown(m_items.size(), text.isEmpty());
    if (text.isEmpty())
        return shown;
    const QString digits = indexFilter(text);
    auto matches = [&](const DevicePickItem &item) {
        const QString index = item.search.section(u'\n', 0, 0);
        const QString name = item.search.section(u'\n', -1);
        return name.contains(text) || (!digits.isEmpty() && item.search.contains(u'\n') && index.startsWith(digits));
    };
    for (int i = 0; i < m_items.size(); ++i) {
        const DevicePickItem &item = m_items[i];
        if (item.parent >= 0 && shown[item.parent]) {
            // The object matched on its own: all of it shows.
            if (matches(m_items[item.parent]))
                shown[i] = true;
        }
        if (!shown[i] && matches(item)) {
            shown[i] = true;
            if (item.parent >= 0)
                shown[item.parent] = true;
        }
    }
    return shown;
}

int DevicePick::firstChoosable(const QList<bool> &shown) const
{
    for (int i = 0; i < m_items.size(); ++i)
        if (shown.value(i) && m_items[i].choosable())
            return i;
    return -1;
}

void DevicePick::fillRow(AccessMapModel &grid, int row, const DevicePickItem &item)
{
    for (int c = 0; c < item.cells.size(); ++c)
        grid.setCell(row, grid.firstEditableColumn() + c, item.cells[c]);
}
