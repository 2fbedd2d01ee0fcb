#pragma once

#include "base/FileChooser.h"

#include <QByteArray>
#include <QString>
#include <array>

// The EDS describes ten receive and ten transmit PDOs, whatever the project holds.
constexpr int PdosPerDirection = 10;

// The COB-IDs of pdo.xml: row n of ByteOUT_RPDO is receive PDO n, row n of
// ByteIN_TPDO is transmit PDO n. The counts are the lists' child counts; only
// the first PdosPerDirection rows of each list are read.
struct PdoCobIds {
    qint32 RpdoCount = 0;
    std::array<qint32, PdosPerDirection> RpdoCobId{};
    qint32 TpdoCount = 0;
    std::array<qint32, PdosPerDirection> TpdoCobId{};
};

// Reads the project's pdo.xml at pdoPath. A project without pdo.xml has two empty lists.
// Throws TessiroError when the file cannot be read, is not XML, lacks a list
// or holds a Cob_Id that is not an integer.
PdoCobIds ReadPdoCobIds(const QString &pdoPath);

// The whole EDS document, CR LF after every line.
QByteArray BuildEdsText(const PdoCobIds &cobIds);

// Reads the pdo.xml at pdoPath, builds the document and replaces fileName with it
// in one step. Throws TessiroError; on failure fileName is left as it was.
void WriteEdsFile(const QString &fileName, const QString &pdoPath);

// The save dialog of the "EDS File" step.
FileDialogOptions edsSaveDialogOptions(const QString &projectDir);
