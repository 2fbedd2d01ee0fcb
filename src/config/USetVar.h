#pragma once

#include "config/AccessMapEditor.h"

// "Set SDO Access": the SDO access map, sdo.xml.
class TFSetVar : public AccessMapEditor {
    Q_OBJECT
public:
    explicit TFSetVar(AppContext &context, QWidget *parent = nullptr);
};
