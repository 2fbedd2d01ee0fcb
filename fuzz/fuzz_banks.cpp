// The bank generation: any sdo.xml, pdo.xml and pargen.xml give five banks of
// 16384 bytes or a TessiroError with a message. The input holds the three files
// in that order, split at NUL bytes; a file not given is missing from the project.
#include "FuzzSupport.h"
#include "base/TessiroError.h"
#include "image/BankImage.h"
#include "project/ProjectStore.h"

#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const ProjectFiles files = projectFiles(fuzzDir().path());
    const QList<QByteArray> parts = inputBytes(data, size).split('\0');
    const QString paths[] = {files.SdoPath, files.PdoPath, files.PargenPath};
    for (qsizetype i = 0; i < 3; ++i) {
        if (i < parts.size())
            writeWhole(paths[i], parts[i]);
        else
            removeFile(paths[i]);
    }
    try {
        const BankImage image = BuildBankImage(files);
        for (int bank = 0; bank < BankImage::BankCount; ++bank)
            if (image.bank(bank).size() != BankImage::BankSize)
                fuzzFail("a bank is not 16384 bytes");
        if (!image.bank(BankImage::BankCount).isEmpty())
            fuzzFail("more than five banks");
    } catch (const TessiroError &e) {
        if (e.message().isEmpty())
            fuzzFail("an error without a message");
    }
    return 0;
}
