#include "config/AccessMapParams.h"

#include "config/Messages.h"

using namespace ConfigMessages;

const AccessMapParams &sdoAccessMap()
{
    static const AccessMapParams params{
        "TFSetVar",
        SdoCaption,
        618,
        538,
        &ProjectFilesT::SdoPath,
        &ProjectFilesT::PdoPath,
        "CanOpen_to_DeviceNet",
        "ByteIN",
        "ByteOUT",
        SdoInTab,
        SdoOutTab,
        32,
        {{QStringLiteral("Index"), 101, "Index", 4, ColumnTint::Cyan},
         {QStringLiteral("SubIndex"), 84, "SubIndex", 2, ColumnTint::Cyan},
         {QStringLiteral("nByte"), 74, "NByte", 0, ColumnTint::Cyan},
         {QStringLiteral("Mnemonic"), 187, "Mnemonic", 0, ColumnTint::Yellow}},
        {{"IdDev", "1"}},
        1,
        3,
        {{1, 0, 65535, {}, SdoIndexIn, SdoIndexOut},
         {2, 0, 255, {}, SdoSubIndexIn, SdoSubIndexOut},
         {3, 1, 4, {1, 2, 4}, SdoNByteIn, SdoNByteOut}},
        SdoBudgetIn,
        SdoBudgetOut,
        "ByteIN_TPDO",
        "ByteOUT_RPDO",
        "Dimension",
    };
    return params;
}

const AccessMapParams &pdoAccessMap()
{
    static const AccessMapParams params{
        "TFSetPdo",
        PdoCaption,
        721,
        402,
        &ProjectFilesT::PdoPath,
        &ProjectFilesT::SdoPath,
        "CanOpen_PDO_to_DeviceNet",
        "ByteIN_TPDO",
        "ByteOUT_RPDO",
        PdoInTab,
        PdoOutTab,
        10,
        {{QStringLiteral("Cob-ID"), 149, "Cob_Id", 3, ColumnTint::Cyan},
         {QStringLiteral("Dimension"), 106, "Dimension", 0, ColumnTint::Cyan},
         {QStringLiteral("Mnemonic"), 350, "Mnemonic", 0, ColumnTint::Yellow}},
        {},
        1,
        2,
        {{1, 1, 2047, {}, PdoCobIdIn, PdoCobIdOut}, {2, 1, 8, {}, PdoDimensionIn, PdoDimensionOut}},
        PdoBudgetIn,
        PdoBudgetOut,
        "ByteIN",
        "ByteOUT",
        "NByte",
    };
    return params;
}
