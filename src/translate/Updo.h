#pragma once

#include "translate/TranslationEditor.h"

// "Define Traslate PDO": the PDO translation table, rpdodef.xml.
class TFpdo : public TranslationEditor {
    Q_OBJECT
public:
    explicit TFpdo(AppContext &context, QWidget *parent = nullptr);
};
