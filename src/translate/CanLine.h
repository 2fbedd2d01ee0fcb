#pragma once

#include <array>
#include <cstddef>

// The gateway's two CAN lines. The tables that keep one list per line (the PDO
// and SDO translation grids, EMCY entries and words, stored PDOs) are indexed by
// it, and every window shows line A on its first tab and line B on its second.
enum class CanLine { A, B };

inline constexpr std::array<CanLine, 2> CanLines{CanLine::A, CanLine::B};

// The line's place: 0 for A, 1 for B (its tab, its bit or number in the files).
constexpr int lineIndex(CanLine line)
{
    return line == CanLine::B ? 1 : 0;
}
// The line at a place: 1 is line B, anything else line A.
constexpr CanLine lineAt(int index)
{
    return index == 1 ? CanLine::B : CanLine::A;
}

// One T for each line.
template <typename T> struct PerLine {
    std::array<T, 2> items{};

    T &operator[](CanLine line) { return items[std::size_t(lineIndex(line))]; }
    const T &operator[](CanLine line) const { return items[std::size_t(lineIndex(line))]; }
};
