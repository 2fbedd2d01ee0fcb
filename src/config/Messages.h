#pragma once

#include <QString>

// The texts of the configuration editors, as the user sees them (trailing blanks included).
namespace ConfigMessages {

// Communication parameters.
inline const QString PargenCaption = QStringLiteral("SET COMMUNICATION");
inline const QString CanAddressRange = QStringLiteral("Error!! CANOpen address must be between 1 and 127. ");
inline const QString NetAddressRange = QStringLiteral("Error!! DeviceNET address must be between 1 and 64. ");
inline const QString TimeOutSdoRange = QStringLiteral("Error!! Time Out SDO must be between 0 and 65535. ");
inline const QString CanBaudNotValid = QStringLiteral("Baud rate not valid for CANopen");
inline const QString NetBaudNotValid = QStringLiteral("Baud rate not valid for DeviceNET");
inline const QString DelayRange = QStringLiteral("Delay not valid, range 0-255 sec.");
// Banks asked for before step 2 ever saved pargen.xml.
inline const QString PargenMissingForBanks =
    QStringLiteral("File pargen.xml not found: set the communication parameters (step 2) first");

// SDO access map.
inline const QString SdoCaption = QStringLiteral("Set SDO Access");
inline const QString SdoInTab = QStringLiteral("DeviceNET IN");
inline const QString SdoOutTab = QStringLiteral("DeviceNET OUT");
inline const QString SdoIndexIn = QStringLiteral("Error!! [DeviceNET IN] CANOpen Index must be between 0 and 0xFFFF. ");
inline const QString SdoIndexOut =
    QStringLiteral("Error!! [DeviceNET OUT] CANOpen Index must be between 0 and 0xFFFF. ");
inline const QString SdoSubIndexIn =
    QStringLiteral("Error!! [DeviceNET IN] CANOpen SubIndex must be between 0 and 0xFF. ");
inline const QString SdoSubIndexOut =
    QStringLiteral("Error!! [DeviceNET OUT] CANOpen SubIndex must be between 0 and 0xFF. ");
inline const QString SdoNByteIn =
    QStringLiteral("Error!! [DeviceNET IN] CANOpen SDO NByte must be 1 or 2 or 4 0 and 0xFF. ");
inline const QString SdoNByteOut =
    QStringLiteral("Error!! [DeviceNET OUT] CANOpen SDO NByte must be 1 or 2 or 4 0 and 0xFF. ");
inline const QString SdoBudgetIn =
    QStringLiteral("Error!! Too many Byte are used in DeviceNET IN. Must be between 1 and 32. ");
inline const QString SdoBudgetOut =
    QStringLiteral("Error!! Too many Byte are used in DeviceNET OUT. Must be between 1 and 32. ");

// PDO access map.
inline const QString PdoCaption = QStringLiteral("Set PDO Access");
inline const QString PdoInTab = QStringLiteral("DeviceNET IN --> Transmit PDO");
inline const QString PdoOutTab = QStringLiteral("DeviceNET OUT --> Recive PDO");
inline const QString PdoCobIdIn =
    QStringLiteral("Error!! [DeviceNET IN TPDO] CANOpen Cob-Id must be between 0x001 and 0x7FF. ");
inline const QString PdoCobIdOut =
    QStringLiteral("Error!! [DeviceNET OUT RPDO] CANOpen Cob-Id  must be between 0x001 and 0x7FF. ");
inline const QString PdoDimensionIn =
    QStringLiteral("Error!! [DeviceNET IN TPDO] CANOpen Dmension must be between 1 and 8. ");
inline const QString PdoDimensionOut =
    QStringLiteral("Error!! [DeviceNET OUT] CANOpen Dimension must be between 1 and 8. ");
inline const QString PdoBudgetIn =
    QStringLiteral("Error!! Too many Byte are used in DeviceNET IN TPDO. Must be between 1 and 32. ");
inline const QString PdoBudgetOut =
    QStringLiteral("Error!! Too many Byte are used in DeviceNET OUT RPDO. Must be between 1 and 32. ");

// Both map editors.
inline const QString UsedBytesLabel = QStringLiteral("Used Number Byte :");
inline const QString ListEndsEarly = QStringLiteral("Row %1 ends the list: the rows below it would not be saved");

// Files that do not follow their format. %1 is always the file's path.
inline const QString MissingElement = QStringLiteral("%1: element <%2> is missing");
inline const QString ElementNotInteger = QStringLiteral("%1: <%2> holds '%3', which is not a valid integer value");
inline const QString MissingAttribute = QStringLiteral("%1: row %2 of <%3> has no attribute %4");
inline const QString AttributeNotInteger =
    QStringLiteral("%1: row %2 of <%3> has %4 '%5', which is not a valid integer value");

// Device EDS and DCF files. EdsLineError: %1 the file, %2 the line, %3 what is wrong there.
inline const QString EdsLineError = QStringLiteral("%1, line %2: %3");
inline const QString EdsSectionNotClosed = QStringLiteral("the section name \"%1\" is not closed by ]");
inline const QString EdsLineNotEntry = QStringLiteral("\"%1\" is neither a section, a Key=Value entry nor a comment");
inline const QString EdsNotANumber = QStringLiteral("%1 holds \"%2\", which is not a number CiA 306 allows");
inline const QString EdsMissingKey = QStringLiteral("this section has no %1");
inline const QString EdsUnknownAccess = QStringLiteral("AccessType \"%1\" is none of ro, wo, rw, rwr, rww, const");

// The SDO map checked against the device's EDS: %1 the object as "$6041 sub $00".
inline const QString DeviceLacksObject = QStringLiteral("the device has no object %1 in \"%2\"");
inline const QString DeviceSizeDiffers = QStringLiteral("nByte is %1 but the device's object %2 has %3 bytes");
inline const QString DeviceNotReadable = QStringLiteral("the device's object %1 cannot be read (AccessType %2)");
inline const QString DeviceNotWritable = QStringLiteral("the device's object %1 cannot be written (AccessType %2)");

// The PDO map checked against the device's PDOs: %1 the COB-ID as "$181".
inline const QString DeviceLacksPdo = QStringLiteral("the device has no %1 with COB-ID %2 in \"%3\" (node ID %4)");
inline const QString DevicePdoWrongWay =
    QStringLiteral("COB-ID %1 is the device's %2, but this list takes the device's %3s");
inline const QString DevicePdoInvalid =
    QStringLiteral("the device's %1 (COB-ID %2) is switched off (bit 31 of its COB-ID)");
inline const QString DevicePdoLength =
    QStringLiteral("Dimension is %1 but the device's %2 (COB-ID %3) carries %4 bytes");
inline const QString DevicePdoNoNodeId =
    QStringLiteral("the PDO rows were not compared with the device: its node ID is not known");
inline const QString DeviceWarnings =
    QStringLiteral("The maps do not all fit the device's EDS; the banks are generated all the same:");
inline const QString DeviceNodeIdNotValid =
    QStringLiteral("%1: <NodeId> holds '%2', which is not a CANopen node ID (1 to 127)");

// Picking rows from the device's EDS.
inline const QString PickFromEds = QStringLiteral("Pick from EDS\u2026");
inline const QString PickCaption = QStringLiteral("Pick from the device's EDS");
inline const QString PickOtherEds = QStringLiteral("Other EDS\u2026");
inline const QString PickSearch = QStringLiteral("&Search (name or index):");
inline const QString PickNodeId = QStringLiteral("&Node ID of the device:");
inline const QString PickEdsFilter = QStringLiteral("CANopen EDS or DCF (*.eds *.dcf)|*.eds;*.dcf|All files|*");
inline const QString PickTypeNodeId = QStringLiteral("Type the device's node ID (1 to 127) to see its PDOs.");
inline const QString PickNoEds = QStringLiteral("Choose the device's EDS file.");
inline const QString PickSizeNotMapped = QStringLiteral("%1 bytes: the map takes objects of 1, 2 or 4 bytes");
inline const QString PickVariableSize = QStringLiteral("variable length: the map takes objects of 1, 2 or 4 bytes");
inline const QString PickSubEntries = QStringLiteral("pick one of its sub-entries");
inline const QString PickNotReadable =
    QStringLiteral("%1 sub %2 cannot be read (AccessType %3), yet the IN list reads it from the device.");
inline const QString PickNotWritable =
    QStringLiteral("%1 sub %2 cannot be written (AccessType %3), yet the OUT list writes it to the device.");
inline const QString PickUseAnyway = QStringLiteral("%1 Use it anyway?");
inline const QString PickPdoWrongWay = QStringLiteral("the device's %1s belong to the %2 list");
inline const QString PickPdoExtended = QStringLiteral("29-bit identifier: the map holds COB-IDs up to $7FF");
inline const QString PickPdoEmpty = QStringLiteral("maps no object by default");
inline const QString PickPdoTooLong = QStringLiteral("%1 bytes: a PDO carries at most 8");
inline const QString PickPdoInvalid =
    QStringLiteral("The device's %1 (COB-ID %2) is switched off (bit 31 of its COB-ID).");

} // namespace ConfigMessages
