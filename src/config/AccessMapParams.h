#pragma once

#include "project/ProjectStore.h"

#include <QList>
#include <QString>
#include <utility>

// The two DeviceNet directions; each map has one grid per direction.
enum class MapDirection { In, Out };

// Bytes per direction that the SDO and PDO maps share.
constexpr int MapByteBudget = 32;

enum class ColumnTint { Cyan, Yellow };

// One editable grid column and the row attribute it is stored in.
struct MapColumn {
    QString title;
    int width;
    const char *attribute;
    // 0: loaded as stored; otherwise loaded as "$" and at least this many upper-case hex digits.
    int hexDigits;
    ColumnTint tint;
};

// A row check: the cell, converted with default -1, must lie in [low, high] and,
// when allowed is not empty, be one of allowed.
struct RowCheck {
    int column = 0;
    qint32 low = 0;
    qint32 high = 0;
    QList<qint32> allowed = {};
    QString inMessage;
    QString outMessage;
};

// What makes an access-map editor the SDO or the PDO map: file, columns, checks, messages.
// Written with designated initializers, so that every value carries its name.
struct AccessMapParams {
    const char *windowClass;
    QString caption;
    int initialWidth;
    int initialHeight;
    QString ProjectFiles::*ownFile;
    QString ProjectFiles::*otherFile;
    const char *rootElement;
    const char *inList;
    const char *outList;
    QString inTab;
    QString outTab;
    int rowsPerGrid;
    // Model columns 1..n; column 0 is the fixed row number "N°".
    QList<MapColumn> columns;
    // Attributes written before the columns' own, with fixed values.
    QList<std::pair<const char *, const char *>> fixedAttributes;
    int keyColumn;
    int sizeColumn;
    QList<RowCheck> checks;
    QString inBudgetMessage;
    QString outBudgetMessage;
    // The other map's file: its lists and the attribute holding each row's size.
    const char *otherInList;
    const char *otherOutList;
    const char *otherSizeAttribute;

    const char *list(MapDirection d) const { return d == MapDirection::In ? inList : outList; }
    const char *otherList(MapDirection d) const { return d == MapDirection::In ? otherInList : otherOutList; }
    const QString &budgetMessage(MapDirection d) const
    {
        return d == MapDirection::In ? inBudgetMessage : outBudgetMessage;
    }
};

inline const QString NumberColumnTitle = QStringLiteral("N\u00B0");
constexpr int NumberColumnWidth = 64;

const AccessMapParams &sdoAccessMap();
const AccessMapParams &pdoAccessMap();
