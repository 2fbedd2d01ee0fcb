#include "config/DeviceLink.h"

#include "base/Paths.h"
#include "config/Messages.h"
#include "project/ParseIntText.h"
#include "project/ProjectStore.h"
#include "project/ProjectXml.h"

#include <QDir>
#include <QFileInfo>

QString deviceLinkPath(const QString &projectDir)
{
    return joinPath(projectDir, QStringLiteral("device.xml"));
}

bool validNodeId(qint32 nodeId)
{
    return nodeId >= 1 && nodeId <= 127;
}

Loaded<DeviceLink> loadDeviceLink(const QString &path)
{
    Loaded<DeviceLink> loaded;
    if (!QFileInfo::exists(path))
        return loaded;
    pugi::xml_document doc;
    const Loaded<pugi::xml_node> file = loadProjectXml(path, doc);
    if (!file.ok()) {
        loaded.problems = file.problems;
        return loaded;
    }
    loaded.value.EdsPath = fromXml(file.value.child("Eds").text().get());
    const pugi::xml_node node = file.value.child("NodeId");
    if (node) {
        const QString text = fromXml(node.text().get());
        const std::optional<qint32> nodeId = tryParseIntText(text);
        if (nodeId && validNodeId(*nodeId))
            loaded.value.NodeId = *nodeId;
        else
            loaded.problems << ConfigMessages::DeviceNodeIdNotValid.arg(QDir::toNativeSeparators(path), text);
    }
    return loaded;
}

QByteArray deviceLinkXml(const DeviceLink &link)
{
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("Device");
    root.append_child("Eds").text().set(link.EdsPath.toUtf8().constData());
    if (validNodeId(link.NodeId))
        root.append_child("NodeId").text().set(QString::number(link.NodeId).toUtf8().constData());
    return projectXmlBytes(doc);
}

void saveDeviceLink(const QString &path, const DeviceLink &link)
{
    saveProjectBytes(path, deviceLinkXml(link));
}
