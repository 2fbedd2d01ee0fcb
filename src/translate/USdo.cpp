#include "translate/USdo.h"

#include "translate/SdoTranslation.h"

TFsdo::TFsdo(AppContext &context, QWidget *parent)
    : TranslationEditor(std::make_unique<SdoTranslation>(), context, parent)
{
}
