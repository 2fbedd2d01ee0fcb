#pragma once

#include "project/ProjectStore.h"
#include "translate/ProjectTable.h"

#include <QDialog>
#include <QStringList>
#include <functional>

struct AppContext;
class Notices;

// What every table window does alike around its table.

// Shows texts once window is up, so that they sit in front of it.
void showNoticesOnceShown(QWidget *window, Notices &notices, const QStringList &texts);

// "Import": asks for the workbook, starting in the project folder, and unless the
// user cancels hands it to import, then shows the import's notices. A failure is
// shown and leaves the window as import left it.
void importChosenWorkbook(AppContext &ctx, const std::function<ImportOutcome(const QString &workbook)> &import);

// "OK" and "Export": runs write for the open project under its write lock. No
// project open, a busy project or a failed write is shown and leaves the window
// open.
void writeIntoProject(AppContext &ctx, const std::function<void(const ProjectState &project)> &write);

// "OK": saves table into its file of the project, then closes window. A save that
// fails keeps the window open with the table as it stands.
void saveAndAccept(QDialog *window, AppContext &ctx, const ProjectTable &table);

// "Export": writes the table's CSV file into the project.
void exportIntoProject(AppContext &ctx, const ProjectTable &table);
