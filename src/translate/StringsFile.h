#pragma once

#include "base/Loaded.h"

#include <QString>
#include <QStringList>

// The rows of the string picker.
constexpr int PickerStringRows = 1000;

// The strings of a strings file: the text of each element child of the root, in
// document order, at most PickerStringRows of them. A missing or unreadable file
// gives no strings and the notice to show; a file read in part keeps what it gave.
Loaded<QStringList> loadStrings(const QString &path);
