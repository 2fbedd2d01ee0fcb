#pragma once

#include "base/Loaded.h"

#include <QString>

// "help2.dat": the help file of this build's variant.
QString helpFileName();

// The help text (rich text, UTF-8) shipped with the program in exeDir: beside it,
// else in its installed data folder. When it cannot be read the text is empty and
// the one problem says so and where it looked.
Loaded<QString> loadHelpText(const QString &exeDir);
