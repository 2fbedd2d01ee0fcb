#include "cli/CliEmcy.h"

#include "base/Notices.h"
#include "cli/CliSupport.h"
#include "project/ProjectLock.h"
#include "project/ProjectStore.h"
#include "translate/EmcyTable.h"
#include "translate/Messages.h"

namespace {

// What the editor shows when it opens; true when the file was read whole.
bool loadAsTheEditorOpens(EmcyTable &table, const ProjectFilesT &files, Notices &notices)
{
    bool whole = true;
    for (const QString &problem : table.load(files.EmcydefPath).problems) {
        notices.notice(problem);
        whole = whole && problem == TranslateMessages::XmlNotFound;
    }
    return whole;
}

} // namespace

// Opening the editor, "Import" with the workbook, then "OK". Nothing is written when
// the import stops early.
int importEmcydef(const QStringList &args, Notices &notices)
{
    const QString projectDir = requireProjectDir(args[1]);
    const ProjectWriteLock lock(projectDir);
    const ProjectFilesT files = projectFiles(projectDir);
    EmcyTable table;
    // The import replaces what was read, so a faulty file only shows its notice.
    loadAsTheEditorOpens(table, files, notices);
    const ImportOutcome outcome = table.importFrom(args[2]);
    for (const QString &notice : outcome.notices)
        notices.notice(notice);
    if (outcome.stoppedEarly)
        return 1;
    table.save(files.EmcydefPath);
    return 0;
}

// Opening the editor, then "Export". A file read only in part is not exported.
int exportEmcydef(const QStringList &args, Notices &notices)
{
    const QString projectDir = requireProjectDir(args[1]);
    const ProjectWriteLock lock(projectDir);
    const ProjectFilesT files = projectFiles(projectDir);
    EmcyTable table;
    if (!loadAsTheEditorOpens(table, files, notices))
        return 1;
    table.exportCsv(files);
    return 0;
}
