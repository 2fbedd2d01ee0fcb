#include "base/GuardedCall.h"
#include "base/Notices.h"
#include "base/TessiroError.h"
#include "cli/CliCommands.h"
#include "cli/CliSupport.h"
#include "config/DeviceCheck.h"
#include "config/DeviceEds.h"
#include "config/DeviceLink.h"

#include <cstdio>

namespace {

void print(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

int runEdsObjects(const QStringList &args, Notices &notices)
{
    return guardedCall(notices,
                       [&] {
                           requireArguments(args, 1, "eds-objects EDS_FILE");
                           print(edsObjectsText(readDeviceEds(args[0])));
                       })
               ? 0
               : 1;
}

quint32 requireNodeId(const QString &text)
{
    bool ok = false;
    const uint nodeId = text.toUInt(&ok, 0);
    if (!ok || !validNodeId(qint32(nodeId)))
        throw TessiroError(QStringLiteral("NODE_ID \"%1\" is not a CANopen node ID (1 to 127)").arg(text));
    return nodeId;
}

int runEdsPdos(const QStringList &args, Notices &notices)
{
    return guardedCall(notices,
                       [&] {
                           requireArguments(args, 2, "eds-pdos EDS_FILE NODE_ID");
                           const quint32 nodeId = requireNodeId(args[1]);
                           print(edsPdosText(devicePdos(readDeviceEds(args[0]), nodeId)));
                       })
               ? 0
               : 1;
}

} // namespace

// check PROJECT_DIR --device EDS_FILE: the rows are warnings, printed without
// changing the exit code; an EDS that cannot be read fails the command.
void checkAgainstDevice(const ProjectState &project, const QString &edsPath, const QString &nodeIdText,
                        Notices &notices)
{
    const qint32 nodeId = nodeIdText.isEmpty() ? loadDeviceLink(deviceLinkPath(project.ProjectDir)).value.NodeId
                                               : qint32(requireNodeId(nodeIdText));
    for (const ConfigProblem &warning : checkMapsAgainstDevice(project, readDeviceEds(edsPath), nodeId))
        notices.notice(QStringLiteral("Warning: ") + warning.toString());
}

const CliCommandInfo DeviceCliCommands[] = {
    {"eds-objects", "eds-objects EDS_FILE",
     "lists the object dictionary entries of a device's EDS or DCF file, tab-separated", runEdsObjects},
    {"eds-pdos", "eds-pdos EDS_FILE NODE_ID", "lists the PDOs a device's EDS or DCF file defines for NODE_ID",
     runEdsPdos},
    {nullptr, nullptr, nullptr, nullptr},
};
