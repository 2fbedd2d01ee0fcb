#pragma once

#include <QStringList>

class Notices;

// "import emcyword PROJECT_DIR WORKBOOK" and "export emcyword PROJECT_DIR", as the
// translation tables' import and export run them; args are the command's own.
int importEmcyWord(const QStringList &args, Notices &notices);
int exportEmcyWord(const QStringList &args, Notices &notices);
