#include "base/Notices.h"
#include "base/TessiroError.h"
#include "cli/CliCommands.h"
#include "cli/CliSupport.h"
#include "project/ProjectLock.h"
#include "project/ProjectStore.h"
#include "translate/EmcyTable.h"
#include "translate/EmcyWordTable.h"
#include "translate/Messages.h"
#include "translate/PdoTranslation.h"
#include "translate/SdoTranslation.h"
#include "translate/StoredPdoTable.h"

#include <memory>

namespace {

// A table as its editor holds it, driven by a script: open, then import and save,
// or export.
class ScriptedTable {
public:
    virtual ~ScriptedTable() = default;
    // What the editor shows when it opens; true when the file was read whole.
    virtual bool open(const ProjectFilesT &files, Notices &notices) = 0;
    virtual ImportOutcome importFrom(const QString &workbookPath) = 0;
    virtual void save(const ProjectFilesT &files) = 0;
    virtual void exportCsv(const ProjectFilesT &files) = 0;
    // Whether records the import left out keep the table from being saved.
    virtual bool leftOutStops() const { return false; }
};

// The tables kept in one file of the project; a file not there yet reads as whole.
template <typename Table> class FileTable : public ScriptedTable {
public:
    FileTable(std::unique_ptr<Table> table, QString ProjectFilesT::*file) : m_table(std::move(table)), m_file(file) {}

    bool open(const ProjectFilesT &files, Notices &notices) override
    {
        bool whole = true;
        for (const QString &problem : m_table->load(files.*m_file).problems) {
            notices.notice(problem);
            whole = whole && problem == TranslateMessages::XmlNotFound;
        }
        return whole;
    }
    ImportOutcome importFrom(const QString &workbookPath) override { return m_table->importFrom(workbookPath); }
    void save(const ProjectFilesT &files) override { m_table->save(files.*m_file); }
    void exportCsv(const ProjectFilesT &files) override { m_table->exportCsv(files); }

private:
    std::unique_ptr<Table> m_table;
    QString ProjectFilesT::*m_file;
};

// The stored-PDO table reads three files. Records naming a PDO that rpdodef.xml
// lacks are not saved away without anyone there to press Cancel.
class ScriptedStoredPdo : public ScriptedTable {
public:
    bool open(const ProjectFilesT &files, Notices &notices) override
    {
        const Loaded<StoredPdoTable::LoadResult> loaded = m_table.load(files);
        for (const QString &problem : loaded.problems)
            notices.notice(problem);
        return loaded.value.tableWhole;
    }
    ImportOutcome importFrom(const QString &workbookPath) override { return m_table.importFrom(workbookPath); }
    void save(const ProjectFilesT &files) override { m_table.save(files.SdopdoPath); }
    void exportCsv(const ProjectFilesT &files) override { m_table.exportCsv(files); }
    bool leftOutStops() const override { return true; }

private:
    StoredPdoTable m_table;
};

template <typename Table, QString ProjectFilesT::*File> std::unique_ptr<ScriptedTable> fileTable()
{
    return std::make_unique<FileTable<Table>>(std::make_unique<Table>(), File);
}

// A translation table names its file in its params.
template <typename Table> std::unique_ptr<ScriptedTable> translationTable()
{
    auto table = std::make_unique<Table>();
    QString ProjectFilesT::*file = table->params().file;
    return std::make_unique<FileTable<TranslationTable>>(std::move(table), file);
}

std::unique_ptr<ScriptedTable> storedPdoTable()
{
    return std::make_unique<ScriptedStoredPdo>();
}

// The tables by name, in the order the unknown-table message lists them.
const struct {
    const char *name;
    std::unique_ptr<ScriptedTable> (*make)();
} Tables[] = {
    {"rpdodef", translationTable<PdoTranslation>},
    {"sdo", translationTable<SdoTranslation>},
    {"sdopdo", storedPdoTable},
    {"emcydef", fileTable<EmcyTable, &ProjectFilesT::EmcydefPath>},
    {"emcyword", fileTable<EmcyWordTable, &ProjectFilesT::EmcywordPath>},
};

// The table named by the first argument; throws for an unknown one.
std::unique_ptr<ScriptedTable> requireTable(const QString &name)
{
    QStringList names;
    for (const auto &entry : Tables) {
        if (name == QLatin1String(entry.name))
            return entry.make();
        names << QString::fromLatin1(entry.name);
    }
    throw TessiroError(
        QStringLiteral("Unknown table '%1'; the tables are %2").arg(name, names.join(QStringLiteral(", "))));
}

// Opening the editor, "Import" with the workbook, then "OK". Nothing is written when
// the import stops early.
int importCommand(const QStringList &args, Notices &notices)
{
    requireArguments(args, 3, "import TABLE PROJECT_DIR WORKBOOK");
    const std::unique_ptr<ScriptedTable> table = requireTable(args[0]);
    const QString projectDir = requireProjectDir(args[1]);
    const ProjectWriteLock lock(projectDir);
    const ProjectFilesT files = projectFiles(projectDir);
    // The import replaces what was read, so a faulty file only shows its notice.
    table->open(files, notices);
    const ImportOutcome outcome = table->importFrom(args[2]);
    for (const QString &notice : outcome.notices)
        notices.notice(notice);
    if (outcome.stoppedEarly || (table->leftOutStops() && outcome.leftOut > 0))
        return 1;
    table->save(files);
    return 0;
}

// Opening the editor, then "Export". A file read only in part is not exported: a
// script could not see that rows are missing.
int exportCommand(const QStringList &args, Notices &notices)
{
    requireArguments(args, 2, "export TABLE PROJECT_DIR");
    const std::unique_ptr<ScriptedTable> table = requireTable(args[0]);
    const QString projectDir = requireProjectDir(args[1]);
    const ProjectWriteLock lock(projectDir);
    const ProjectFilesT files = projectFiles(projectDir);
    if (!table->open(files, notices))
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
