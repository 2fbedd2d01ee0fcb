#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Blocks of cells as spreadsheets put them on the clipboard: cells split by tabs,
// rows by line ends; a cell holding a tab, a line end or a quote is quoted with
// doubled quotes inside.
QList<QStringList> parseTabText(const QString &text);
QString toTabText(const QList<QStringList> &rows);
