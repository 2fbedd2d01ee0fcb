#pragma once

#include <QByteArray>
#include <QString>

// Replaces path with data in one step: a failure leaves the old file as it was.
// Returns false with the reason in *error.
bool writeFileAtomically(const QString &path, const QByteArray &data, QString *error);
