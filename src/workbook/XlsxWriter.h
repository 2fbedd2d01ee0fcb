#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The bytes of an .xlsx workbook of one worksheet, sheetName, holding lines one
// to a row from row 1. A field in plain decimal ("385", "-2") is a number cell;
// every other one ("0x181", "$283", "007", "a,b") a text cell, so that a
// spreadsheet program neither reads it as a number nor changes its text. Empty
// fields leave their cell empty. Throws TessiroError with the reason, naming
// shownPath, when the workbook cannot be made (a text longer than a cell holds).
QByteArray xlsxBytes(const QString &sheetName, const QList<QStringList> &lines, const QString &shownPath);

// Whether a field goes into the workbook as a number: decimal digits with an
// optional minus, no leading zero, within 32 bits signed, so that the number the
// cell holds reads back as the same text.
bool isPlainDecimal(const QString &field);
