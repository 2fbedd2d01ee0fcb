#pragma once

#include "config/AccessMapEditor.h"

// "Set PDO Access": the PDO access map, pdo.xml.
class TFSetPdo : public AccessMapEditor {
    Q_OBJECT
public:
    explicit TFSetPdo(AppContext &context, QWidget *parent = nullptr);
};
