#include "FuzzSupport.h"

#include "base/TessiroError.h"
#include "project/ProjectStore.h"
#include "translate/EmcyTable.h"
#include "translate/EmcyWordTable.h"
#include "translate/PdoTranslation.h"
#include "translate/SdoTranslation.h"
#include "translate/StoredPdoTable.h"

#include <memory>

namespace {

template <typename Table> std::unique_ptr<ProjectTable> make()
{
    return std::make_unique<Table>();
}

std::unique_ptr<ProjectTable> (*const Tables[])() = {make<PdoTranslation>, make<SdoTranslation>, make<StoredPdoTable>,
                                                     make<EmcyTable>, make<EmcyWordTable>};
constexpr size_t TableCount = sizeof Tables / sizeof Tables[0];
constexpr size_t StoredPdos = 2;

// The PDOs that stored SDOs hang under.
const char PdoList[] = "<rpdodef><row cobid=\"0x181\" id_dev_orig=\"1\" en_bypass=\"1\" posind=\"0\" n_tpdo=\"1\"/>"
                       "<row cobid=\"0x182\" id_dev_orig=\"1\" en_bypass=\"1\" posind=\"0\" n_tpdo=\"2\"/>"
                       "<row cobid=\"0x201\" id_dev_orig=\"1\" en_bypass=\"0\" posind=\"0\" n_tpdo=\"1\"/>"
                       "<row cobid=\"0x202\" id_dev_orig=\"1\" en_bypass=\"0\" posind=\"0\" n_tpdo=\"2\"/></rpdodef>";

// Whether the table's window, right after opening, would save what it read: read
// whole, every value that must be an integer is one, and OK finds nothing to refuse
// (a filled row under an empty key is refused, not saved).
bool savesWhatItRead(ProjectTable &table, const ProjectFiles &files, int &entries)
{
    const Loaded<TableRead> loaded = table.open(files);
    if (!loaded.value.whole() || table.saveFault())
        return false;
    entries = loaded.value.entries;
    try {
        table.toXml();
    } catch (const TessiroError &) {
        return false;
    }
    return true;
}

} // namespace

// The first byte picks the table, the rest is its file. A file read whole and saved
// must read back whole, with as many entries, and save again. (The bytes need not
// stay: the PDO translation table writes the rows of its first grid in turn.)
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const ProjectFiles files = projectFiles(fuzzDir().path());
    for (const QString &path :
         {files.RpdodefPath, files.SdotransPath, files.SdopdoPath, files.EmcydefPath, files.EmcywordPath})
        removeFile(path);

    const size_t picked = data[0] % TableCount;
    const auto make = Tables[picked];
    if (picked == StoredPdos)
        writeWhole(files.RpdodefPath, QByteArray(PdoList));
    const std::unique_ptr<ProjectTable> first = make();
    writeWhole(first->filePath(files), inputBytes(data + 1, size - 1));
    int entries = 0;
    if (!savesWhatItRead(*first, files, entries))
        return 0;
    try {
        first->save(files);
    } catch (const TessiroError &) {
        fuzzFail("a table that makes its bytes cannot be saved");
    }
    const std::unique_ptr<ProjectTable> second = make();
    int readBack = 0;
    if (!savesWhatItRead(*second, files, readBack))
        fuzzFail("a saved table does not read back whole");
    if (readBack != entries)
        fuzzFail("a saved table reads back into another number of entries");
    return 0;
}
