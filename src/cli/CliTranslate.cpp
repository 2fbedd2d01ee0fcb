#include "base/Notices.h"
#include "base/TessiroError.h"
#include "cli/CliCommands.h"
#include "cli/CliSupport.h"
#include "project/ProjectLock.h"
#include "project/ProjectStore.h"
#include "translate/EmcyTable.h"
#include "translate/EmcyWordTable.h"
#include "translate/PdoTranslation.h"
#include "translate/SdoTranslation.h"
#include "translate/StoredPdoTable.h"

#include <QDir>
#include <cstdio>
#include <memory>

namespace {

template <typename Table> std::unique_ptr<ProjectTable> make()
{
    return std::make_unique<Table>();
}

// The tables by name, in the order the unknown-table message lists them.
const struct {
    const char *name;
    std::unique_ptr<ProjectTable> (*make)();
} Tables[] = {
    {"rpdodef", make<PdoTranslation>}, {"sdo", make<SdoTranslation>},     {"sdopdo", make<StoredPdoTable>},
    {"emcydef", make<EmcyTable>},      {"emcyword", make<EmcyWordTable>},
};

// What the editor shows as it opens; whether the table's file was read whole
// (a file not there yet reads as whole).
bool openTable(ProjectTable &table, const ProjectFiles &files, Notices &notices)
{
    const Loaded<TableRead> loaded = table.open(files);
    for (const QString &problem : loaded.problems)
        notices.notice(problem);
    return loaded.value.whole();
}

// The table named by the first argument; throws for an unknown one.
std::unique_ptr<ProjectTable> requireTable(const QString &name)
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
// the import stops early, nor when sdopdo records name PDOs that rpdodef.xml does
// not list, unless --skip-unmatched says to leave those out as the window does
// once the user presses OK.
int importCommand(const QStringList &allArgs, Notices &notices)
{
    const bool skipUnmatched = !allArgs.isEmpty() && allArgs.first() == QLatin1String("--skip-unmatched");
    const QStringList args = skipUnmatched ? allArgs.mid(1) : allArgs;
    requireArguments(args, 3, "import [--skip-unmatched] TABLE PROJECT_DIR WORKBOOK");
    const std::unique_ptr<ProjectTable> table = requireTable(args[0]);
    if (skipUnmatched && !table->leftOutStops())
        throw TessiroError(QStringLiteral("--skip-unmatched applies to sdopdo alone: the other tables keep no "
                                          "records from a workbook that they cannot save"));
    const QString projectDir = requireProjectDir(args[1]);
    const ProjectWriteLock lock(projectDir);
    const ProjectFiles files = projectFiles(projectDir);
    // The import replaces what was read, so a faulty file only shows its notice.
    openTable(*table, files, notices);
    const ImportOutcome outcome = table->importFrom(args[2]);
    for (const QString &notice : outcome.notices)
        notices.notice(notice);
    if (outcome.stoppedEarly || (table->leftOutStops() && outcome.leftOut > 0 && !skipUnmatched))
        return 1;
    table->save(files);
    return 0;
}

// Opening the editor, then "Export". A file read only in part is not exported: a
// script could not see that rows are missing.
int exportCommand(const QStringList &args, Notices &notices)
{
    requireArguments(args, 2, "export TABLE PROJECT_DIR");
    const std::unique_ptr<ProjectTable> table = requireTable(args[0]);
    const QString projectDir = requireProjectDir(args[1]);
    const ProjectWriteLock lock(projectDir);
    const ProjectFiles files = projectFiles(projectDir);
    if (!openTable(*table, files, notices))
        return 1;
    // One written file a line, for a script to pick up.
    for (const QString &written : table->exportFiles(files)) {
        const QByteArray line = QDir::toNativeSeparators(written).toUtf8() + '\n';
        std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    }
    return 0;
}

} // namespace

const CliCommandInfo TranslateCliCommands[] = {
    {"import", "import [--skip-unmatched] TABLE PROJECT_DIR WORKBOOK",
     "fills a translation table (rpdodef, sdo, sdopdo, emcydef, emcyword) from the workbook's sheet named after it and "
     "saves it; sdopdo records naming a PDO that rpdodef.xml does not list stop it, unless --skip-unmatched leaves "
     "them "
     "out",
     importCommand},
    {"export", "export TABLE PROJECT_DIR",
     "writes a translation table (rpdodef, sdo, sdopdo, emcydef, emcyword) as PROJECT_DIR/TABLE.csv and "
     "PROJECT_DIR/TABLE.xlsx and prints the two paths",
     exportCommand},
    {nullptr, nullptr, nullptr, nullptr}};
