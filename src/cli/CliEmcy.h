#pragma once

#include <QStringList>

class Notices;

// "import emcydef PROJECT_DIR WORKBOOK" and "export emcydef PROJECT_DIR": args as the
// translation commands get them, the table's name first.
int importEmcydef(const QStringList &args, Notices &notices);
int exportEmcydef(const QStringList &args, Notices &notices);
