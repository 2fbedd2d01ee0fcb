#pragma once

#include <QStringList>

// What a load that keeps going returns: the value it could read, and every
// problem it met on the way (each naming the file and, where it can, the place).
// The window shows the problems; the value is used as it stands.
template <typename T> struct Loaded {
    T value{};
    QStringList problems;

    bool ok() const { return problems.isEmpty(); }
};
