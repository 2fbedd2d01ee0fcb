#pragma once

#include "translate/TranslationEditor.h"

// "Set SDO Access": the SDO translation table, kept in sdotrans.xml.
class TFsdo : public TranslationEditor {
    Q_OBJECT
public:
    explicit TFsdo(AppContext &context, QWidget *parent = nullptr);
};
