#include "config/USetVar.h"

TFSetVar::TFSetVar(AppContext &context, QWidget *parent) : AccessMapEditor(sdoAccessMap(), context, parent) {}
