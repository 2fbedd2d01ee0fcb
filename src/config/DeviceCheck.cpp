#include "config/DeviceCheck.h"

#include "config/AccessMap.h"
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
