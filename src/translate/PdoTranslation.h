#pragma once

#include "translate/TranslationTable.h"

// The PDO translation table, rpdodef.xml: PDOs from CAN A to CAN B in sga, from
// CAN B to CAN A in sgb.
class PdoTranslation : public TranslationTable {
public:
    PdoTranslation();

    QByteArray toXml() const override;
    QList<QStringList> exportLines() const override;
    RowTaken takeRecord(const ImportRecord &record) override;

    enum Column { Number, Cobid, IdDevOrig, Translate, Posind, NTpdo };

protected:
    QString missingNotice() const override;
    void loadRow(const pugi::xml_node &row, Filler &filler) override;
    QList<int> integerColumns() const override { return {Cobid}; }
};

const TranslationTableParams &pdoTranslationTable();
