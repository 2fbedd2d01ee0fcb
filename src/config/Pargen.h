#pragma once

#include "base/Loaded.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The content of pargen.xml. The three typed fields keep the text as typed; the
// baud rates are list positions (-1 for none).
struct PargenValues {
    QString Can_Dev_Id = QStringLiteral("1");
    qint32 Can_Baud = 0;
    QString Net_Dev_Id = QStringLiteral("1");
    qint32 Net_Baud = 0;
    QString Time_Out_SDO = QStringLiteral("10000");
    bool Ope_Dev = false;
    bool Ope_Net = false;
    qint32 Ope_TimeOut = 0;

    bool operator==(const PargenValues &) const = default;
};

// The baud-rate lists; the stored number is the position in the list.
const QStringList &canBaudRates();
const QStringList &netBaudRates();

// Reads pargen.xml, starting from the defaults; a missing file gives the defaults.
// A problem names the file and what is wrong: reading stops there and what was
// read before it is kept.
Loaded<PargenValues> loadPargen(const QString &path);

// The exact bytes of pargen.xml for values.
QByteArray pargenXml(const PargenValues &values);

// Replaces pargen.xml; throws TessiroError when it cannot be written.
void savePargen(const QString &path, const PargenValues &values);

// The range checks run on OK, in their order: the messages of all that fail.
QStringList communicationFailures(const PargenValues &values);
