#include "cli/CliEmcyWord.h"

#include "base/Notices.h"
#include "cli/CliSupport.h"
#include "project/ProjectLock.h"
#include "project/ProjectStore.h"
#include "translate/EmcyWordTable.h"
#include "translate/Messages.h"

namespace {

// What the editor shows when it opens; true when the file was read whole.
bool loadAsTheEditorOpens(EmcyWordTable &table, const ProjectFilesT &files, Notices &notices)
{
    bool whole = true;
    for (const QString &problem : table.load(files.EmcywordPath).problems) {
        notices.notice(problem);
        whole = whole && problem == TranslateMessages::XmlNotFound;
    }
    return whole;
}

} // namespace

// Opening the editor, "Import" with the workbook, then "OK". Nothing is written when
// the import stops early.
int importEmcyWord(const QStringList &args, Notices &notices)
{
    requireArguments(args, 3, "import TABLE PROJECT_DIR WORKBOOK");
    const QString projectDir = requireProjectDir(args[1]);
    const ProjectWriteLock lock(projectDir);
    const ProjectFilesT files = projectFiles(projectDir);
    EmcyWordTable table;
    loadAsTheEditorOpens(table, files, notices);
    const ImportOutcome outcome = table.importFrom(args[2]);
    for (const QString &notice : outcome.notices)
        notices.notice(notice);
    if (outcome.stoppedEarly)
        return 1;
    table.save(files.EmcywordPath);
    return 0;
}

// Opening the editor, then "Export"; a file read only in part is not exported.
int exportEmcyWord(const QStringList &args, Notices &notices)
{
    requireArguments(args, 2, "export TABLE PROJECT_DIR");
    const QString projectDir = requireProjectDir(args[1]);
    const ProjectWriteLock lock(projectDir);
    const ProjectFilesT files = projectFiles(projectDir);
    EmcyWordTable table;
    if (!loadAsTheEditorOpens(table, files, notices))
        return 1;
    table.exportCsv(files);
    return 0;
}
