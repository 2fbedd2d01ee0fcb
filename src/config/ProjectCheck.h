#pragma once

#include "project/ProjectStore.h"

#include <QList>
#include <QString>

// A check of the configuration editors that fails on a project's files.
struct ConfigProblem {
    QString file;  // path of the file; empty when message already names it
    QString where; // "row 3 of ByteIN", or empty
    QString message;

    QString toString() const;
};

// Runs on the project's pargen.xml, sdo.xml and pdo.xml what the three editors
// run on OK, listing every failing check; files that do not follow their format
// are problems too. A missing file is treated as its editor treats it.
QList<ConfigProblem> checkProject(const ProjectState &project);

// Before banks are built from a project: refuses (TessiroError) a project whose
// communication parameters were never set, and one whose files fail a check of the
// editors, with the first failing check's message. Banks must never hold values the
// editors would refuse, since the generator cuts them to bytes.
void requireBankableProject(const ProjectState &project);
