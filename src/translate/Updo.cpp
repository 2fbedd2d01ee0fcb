#include "translate/Updo.h"

#include "translate/PdoTranslation.h"

TFpdo::TFpdo(AppContext &context, QWidget *parent)
    : TranslationEditor(std::make_unique<PdoTranslation>(), context, parent)
{
}
