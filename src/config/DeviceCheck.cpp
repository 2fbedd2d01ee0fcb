#include "config/DeviceCheck.h"

#include "base/TessiroError.h"
#include "config/AccessMap.h"
#include "config/DeviceLink.h"
#include "config/Messages.h"
#include "project/ParseIntText.h"

using namespace ConfigMessages;

namespace {

QString hex(qint32 value, int digits)
{
    return QStringLiteral("$") + QString::number(value, 16).rightJustified(digits, u'0').toUpper();
}

} // namespace

QList<ConfigProblem> checkSdoMapAgainstDevice(const ProjectState &project, const DeviceEds &eds)
{
    QList<ConfigProblem> warnings;
    AccessMap map(sdoAccessMap());
    const QString path = project.ProjectFiles.SdoPath;
    // A file that does not load is reported by the project's own checks.
    map.load(path, project.ProjectFiles.PdoPath);
    for (const MapDirection direction : {MapDirection::In, MapDirection::Out}) {
        const AccessMapModel &grid = map.grid(direction);
        const QString list = QString::fromLatin1(map.params().list(direction));
        for (int row = 0; row < grid.savedEnd(); ++row) {
            if (!grid.isPresent(row))
                continue;
            const std::optional<qint32> index = tryParseIntText(grid.cell(row, 1));
            const std::optional<qint32> sub = tryParseIntText(grid.cell(row, 2));
            const std::optional<qint32> size = tryParseIntText(grid.cell(row, 3));
            if (!index || !sub || *index < 0 || *index > 0xFFFF || *sub < 0 || *sub > 0xFF)
                continue; // the row checks name it
            const QString where = QStringLiteral("row %1 of %2").arg(row + 1).arg(list);
            const QString object = hex(*index, 4) + QStringLiteral(" sub ") + hex(*sub, 2);
            const DeviceEdsEntry *entry = eds.find(quint16(*index), quint8(*sub));
            if (!entry) {
                warnings.append({path, where, DeviceLacksObject.arg(object, eds.path)});
                continue;
            }
            if (size && entry->size >= 0 && *size != entry->size)
                warnings.append({path, where, DeviceSizeDiffers.arg(*size).arg(object).arg(entry->size)});
            if (direction == MapDirection::In ? !entry->readable() : !entry->writable())
                warnings.append({path, where,
                                 (direction == MapDirection::In ? DeviceNotReadable : DeviceNotWritable)
                                     .arg(object, entry->access)});
        }
    }
    return warnings;
}

QList<ConfigProblem> checkPdoMapAgainstDevice(const ProjectState &project, const DeviceEds &eds, quint32 nodeId)
{
    const QList<DevicePdo> pdos = devicePdos(eds, nodeId);
    QList<ConfigProblem> warnings;
    AccessMap map(pdoAccessMap());
    const QString path = project.ProjectFiles.PdoPath;
    map.load(path, project.ProjectFiles.SdoPath);
    for (const MapDirection direction : {MapDirection::In, MapDirection::Out}) {
        const bool transmit = direction == MapDirection::In;
        const QString kind = transmit ? QStringLiteral("TPDO") : QStringLiteral("RPDO");
        const AccessMapModel &grid = map.grid(direction);
        const QString list = QString::fromLatin1(map.params().list(direction));
        for (int row = 0; row < grid.savedEnd(); ++row) {
            const std::optional<qint32> cobId = tryParseIntText(grid.cell(row, 1));
            const std::optional<qint32> length = tryParseIntText(grid.cell(row, 2));
            if (!cobId || *cobId < 1 || *cobId > 0x7FF)
                continue; // the row checks name it
            const QString where = QStringLiteral("row %1 of %2").arg(row + 1).arg(list);
            const QString shownId = edsCanIdText(quint32(*cobId));
            const DevicePdo *same = nullptr;
            const DevicePdo *opposite = nullptr;
            for (const DevicePdo &pdo : pdos) {
                if (pdo.extended() || pdo.canId() != quint32(*cobId))
                    continue;
                const DevicePdo *&slot = pdo.transmit == transmit ? same : opposite;
                if (!slot)
                    slot = &pdo;
            }
            auto name = [](const DevicePdo &pdo) {
                return (pdo.transmit ? QStringLiteral("TPDO") : QStringLiteral("RPDO")) + QString::number(pdo.number);
            };
            if (!same) {
                warnings.append({path, where,
                                 opposite ? DevicePdoWrongWay.arg(shownId, name(*opposite), kind)
                                          : DeviceLacksPdo.arg(kind, shownId, eds.path).arg(nodeId)});
                continue;
            }
            if (!same->valid())
                warnings.append({path, where, DevicePdoInvalid.arg(name(*same), shownId)});
            if (length && *length != same->lengthBytes)
                warnings.append(
                    {path, where, DevicePdoLength.arg(*length).arg(name(*same), shownId).arg(same->lengthBytes)});
        }
    }
    return warnings;
}

QList<ConfigProblem> checkMapsAgainstDevice(const ProjectState &project, const DeviceEds &eds, qint32 nodeId)
{
    QList<ConfigProblem> warnings = checkSdoMapAgainstDevice(project, eds);
    if (nodeId >= 1 && nodeId <= 127)
        warnings += checkPdoMapAgainstDevice(project, eds, quint32(nodeId));
    else
        warnings.append({project.ProjectFiles.PdoPath, {}, DevicePdoNoNodeId});
    return warnings;
}

QList<ConfigProblem> checkProjectAgainstDevice(const ProjectState &project)
{
    const Loaded<DeviceLink> link = loadDeviceLink(deviceLinkPath(project.ProjectDir));
    QList<ConfigProblem> warnings;
    for (const QString &problem : link.problems)
        warnings.append({{}, {}, problem});
    if (link.value.EdsPath.isEmpty())
        return warnings;
    try {
        warnings += checkMapsAgainstDevice(project, readDeviceEds(link.value.EdsPath), link.value.NodeId);
    } catch (const TessiroError &error) {
        warnings.append({{}, {}, error.message()});
    }
    return warnings;
}
