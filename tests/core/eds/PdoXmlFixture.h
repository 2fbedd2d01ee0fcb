#pragma once

#include <QByteArray>
#include <QStringList>

// A pdo.xml as the PDO editor saves it: IN list first, one row per COB-ID text.
inline QByteArray pdoXml(const QStringList &rpdoCobIds, const QStringList &tpdoCobIds)
{
    auto rows = [](const QStringList &cobIds) {
        QByteArray out;
        for (const QString &cobId : cobIds)
            out += "<row Cob_Id=\"" + cobId.toUtf8() + "\" Dimension=\"8\" Mnemonic=\"\"/>";
        return out;
    };
    return "<CanOpen_PDO_to_DeviceNet><ByteIN_TPDO>" + rows(tpdoCobIds) + "</ByteIN_TPDO><ByteOUT_RPDO>" +
           rows(rpdoCobIds) + "</ByteOUT_RPDO></CanOpen_PDO_to_DeviceNet>";
}

// The project of the golden file: rows in both lists.
inline QByteArray goldenPdoXml()
{
    return pdoXml({"$181", "$182", "$183"}, {"$201", "$202"});
}

inline const char *const GoldenEdsFile = "tests/core/eds/three_rpdo_two_tpdo.eds";
