#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Replaces path with data in one step: a failure leaves the old file as it was.
// Returns false with the reason in *error.
bool writeFileAtomically(const QString &path, const QByteArray &data, QString *error);

// QSaveFile writes into a temporary beside its target, named target + "." + six
// letters or digits, and renames it over the target when done. A process killed
// in between leaves that temporary behind: this removes those of target. Files
// listed in keep (say, a firmware given as input) are never touched, nor anything
// that is not a regular file. Call it only while no other writer can be writing
// target (under the project's write lock).
void removeStaleTemporaries(const QString &target, const QStringList &keep = {});
