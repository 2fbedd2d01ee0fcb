#pragma once

#include "translate/TranslationTable.h"

// The SDO translation table, kept in sdotrans.xml: virtual SDOs answered on CAN A
// in sga, on CAN B in sgb.
class SdoTranslation : public TranslationTable {
public:
    SdoTranslation();

    QByteArray toXml() const override;
    QList<QStringList> exportLines() const override;
    RowTaken takeRecord(const ImportRecord &record) override;

    enum Column { Number, ReadWrite, IndexA, SubindexA, DevIDB, IndexB, SubindexB, NbyteB, Mnemonico };

protected:
    QString missingNotice() const override { return {}; }
    void loadRow(const pugi::xml_node &row, Filler &filler) override;
};

const TranslationTableParams &sdoTranslationTable();
