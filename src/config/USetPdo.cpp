#include "config/USetPdo.h"

TFSetPdo::TFSetPdo(AppContext &context, QWidget *parent) : AccessMapEditor(pdoAccessMap(), context, parent) {}
