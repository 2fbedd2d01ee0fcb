#include "cli/CliCommands.h"
#include "cli/CliEmcy.h"

#include "base/Notices.h"
#include "base/TessiroError.h"
#include "cli/CliEmcyWord.h"
#include "cli/CliSupport.h"
#include "project/ProjectLock.h"
#include "project/ProjectStore.h"
#include "translate/Messages.h"
#include "translate/PdoTranslation.h"
#include "translate/SdoTranslation.h"
#include "translate/StoredPdoTable.h"

#include <memory>

namespace {

const QString Tables = QStringLiteral("rpdodef, sdo, sdopdo, emcydef, emcyword");

std::unique_ptr<TranslationTable> makeTable(const QString &name)
{
    if (name == QLatin1String("rpdodef"))
        return std::make_unique<PdoTranslation>();
    if (name == QLatin1String("sdo"))
        return std::make_unique<SdoTranslation>();
    return nullptr;
}

// The table named by the first argument; throws for an unknown one.
std::unique_ptr<TranslationTable> requireTable(const QString &name)
{
    std::unique_ptr<TranslationTable> table = makeTable(name);
    if (!table)
        throw TessiroError(QStringLiteral("Unknown table '%1'; the tables are %2").arg(name, Tables));
    return table;
}

// What the editor shows when it opens; true when the file was read whole.
bool loadAsTheEditorOpens(TranslationTable &table, const ProjectFilesT &files, Notices &notices)
{
    bool whole = true;
    for (const QString &problem : table.load(files.*(table.params().file)).problems) {
        notices.notice(problem);
        whole = whole && problem == TranslateMessages::XmlNotFound;
    }
    return whole;
}

// The stored-PDO table keeps lists rather than grids: commands of its own.
const QString StoredPdoName = QStringLiteral("sdopdo");

// What "Define Store PDO" shows when it opens; true when no stored SDO was lost.
bool loadStoredPdo(StoredPdoTable &table, const ProjectFilesT &files, Notices &notices)
{
    const Loaded<StoredPdoTable::LoadResult> loaded = table.load(files);
    for (const QString &problem : loaded.problems)
        notices.notice(problem);
    return loaded.value.tableWhole;
}

// Records naming a PDO that rpdodef.xml lacks are not saved away without anyone
// there to press Cancel: nothing is written then.
int importStoredPdo(const QStringList &args, Notices &notices)
{
    const QString projectDir = requireProjectDir(args[1]);
    const ProjectWriteLock lock(projectDir);
    const ProjectFilesT files = projectFiles(projectDir);
    StoredPdoTable table;
    loadStoredPdo(table, files, notices);
    const ImportOutcome outcome = table.importFrom(args[2]);
    for (const QString &notice : outcome.notices)
        notices.notice(notice);
    if (outcome.stoppedEarly || outcome.leftOut > 0)
        return 1;
    table.save(files.SdopdoPath);
    return 0;
}

int exportStoredPdo(const QStringList &args, Notices &notices)
{
    const QString projectDir = requireProjectDir(args[1]);
    const ProjectWriteLock lock(projectDir);
    const ProjectFilesT files = projectFiles(projectDir);
    StoredPdoTable table;
    if (!loadStoredPdo(table, files, notices))
        return 1;
    table.exportCsv(files);
    return 0;
}

// Opening the editor, "Import" with the workbook, then "OK". Nothing is written when
// the import stops early.
int importCommand(const QStringList &args, Notices &notices)
{
    if (args.value(0) == QLatin1String("emcyword"))
        return importEmcyWord(args, notices);
    requireArguments(args, 3, "import TABLE PROJECT_DIR WORKBOOK");
    if (args[0] == StoredPdoName)
        return importStoredPdo(args, notices);
    if (args[0] == QLatin1String("emcydef"))
        return importEmcydef(args, notices);
    const std::unique_ptr<TranslationTable> table = requireTable(args[0]);
    const QString projectDir = requireProjectDir(args[1]);
    const ProjectWriteLock lock(projectDir);
    const ProjectFilesT files = projectFiles(projectDir);
    // The import replaces what was read, so a faulty file only shows its notice.
    loadAsTheEditorOpens(*table, files, notices);
    const ImportOutcome outcome = table->importFrom(args[2]);
    for (const QString &notice : outcome.notices)
        notices.notice(notice);
    if (outcome.stoppedEarly)
        return 1;
    table->save(files.*(table->params().file));
    return 0;
}

// Opening the editor, then "Export". A file read only in part is not exported: a
// script could not see that rows are missing.
int exportCommand(const QStringList &args, Notices &notices)
{
    if (args.value(0) == QLatin1String("emcyword"))
        return exportEmcyWord(args, notices);
    requireArguments(args, 2, "export TABLE PROJECT_DIR");
    if (args[0] == StoredPdoName)
        return exportStoredPdo(args, notices);
    if (args[0] == QLatin1String("emcydef"))
        return exportEmcydef(args, notices);
    const std::unique_ptr<TranslationTable> table = requireTable(args[0]);
    const QString projectDir = requireProjectDir(args[1]);
    const ProjectWriteLock lock(projectDir);
    const ProjectFilesT files = projectFiles(projectDir);
    if (!loadAsTheEditorOpens(*table, files, notices))
        return 1;
    table->exportCsv(files);
    return 0;
}

} // namespace

const CliCommandInfo TranslateCliCommands[] = {
    {"import", "import TABLE PROJECT_DIR WORKBOOK",
     "fills a translation table (rpdodef, sdo, sdopdo, emcydef, emcyword) from the workbook's sheet named after it and "
     "saves it",
     importCommand},
    {"export", "export TABLE PROJECT_DIR",
     "writes a translation table (rpdodef, sdo, sdopdo, emcydef, emcyword) as PROJECT_DIR/TABLE.csv", exportCommand},
    {nullptr, nullptr, nullptr, nullptr}};
