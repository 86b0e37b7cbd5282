// libFuzzer target for the import of an annotated taxa list: ReadTaxaListFile on a .csv,
// .tsv, .txt or .xlsx file, and a file read without problems installed as the list in use and
// read back by the program.
//
// Input: the first byte chooses the kind of file (its value mod 4: .csv, .tsv, .txt, .xlsx);
// the rest is the file. Besides "no crash, no hang", the checks are:
// - problems are in line order, each on a line the file has (no more lines than it has line
//   breaks, plus one) with a text;
// - a file without problems has records, every TAXON_NAME and CUR_NAME filled, every R and S
//   a whole number the nature value can add up, and the records pass the check again as they
//   are;
// - those records install, and the list loaded afterwards holds every name.

#include "core/error.h"
#include "core/folders.h"
#include "core/settings.h"
#include "ecology/ecologydata.h"
#include "ecology/taxalistfile.h"
#include "ecology/taxonnames.h"
#include "fuzz/fuzz_support.h"
#include "recording/taxalistimport.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstdint>

namespace core = velmora::core;
namespace ecology = velmora::ecology;
namespace recording = velmora::recording;

namespace {

bool WholeNumber(const QString& text) {
    bool ok = text.isEmpty();
    if (!ok)
        text.toInt(&ok, 10);
    return ok;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    velmora::fuzz::InstallQuietPrompts();
    const QString dir = QString::fromStdString(velmora::fuzz::ScratchDir());
    QDir(dir).mkpath("Lib");
    core::SetProgramDir(dir);
    core::CurrentSettings() = core::DefaultSettings();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    static const char* const kinds[] = {"input.csv", "input.tsv", "input.txt", "input.xlsx"};
    const int kind = data[0] % 4;
    const QString path = velmora::fuzz::WriteScratchFile(kinds[kind], data + 1, size - 1);

    recording::ImportLimits limits;
    limits.maxBytes = 64 * 1024;
    limits.maxCells = 20'000;
    limits.maxColumns = 64;
    recording::TaxaListFile file;
    try {
        file = recording::ReadTaxaListFile(path, limits);
    } catch (const core::Error&) {
        return 0;
    }
    if (velmora::fuzz::Verbose())
        std::fprintf(stderr, "%zu records, %zu problems\n", file.records.size(),
                     file.problems.size());

    const auto* begin = data + 1;
    const auto* end = data + size;
    const long lines = 1 + std::count(begin, end, '\n') + std::count(begin, end, '\r');
    for (std::size_t i = 0; i < file.problems.size(); ++i) {
        const recording::TaxaListProblem& problem = file.problems[i];
        VELMORA_FUZZ_CHECK(problem.line >= 1 && !problem.text.isEmpty());
        VELMORA_FUZZ_CHECK(kind == 3 || problem.line <= lines);
        VELMORA_FUZZ_CHECK(i == 0 || file.problems[i - 1].line <= problem.line);
    }
    VELMORA_FUZZ_CHECK(file.problemsLeftOut == 0 ||
                       qsizetype(file.problems.size()) == recording::kMaxTaxaListProblems);
    if (!file.problems.empty())
        return 0;

    VELMORA_FUZZ_CHECK(!file.records.empty());
    for (const ecology::TaxonRecord& record : file.records) {
        VELMORA_FUZZ_CHECK(!record.taxonName.isEmpty() && !record.curName.isEmpty());
        VELMORA_FUZZ_CHECK(WholeNumber(record.r) && WholeNumber(record.s));
    }
    VELMORA_FUZZ_CHECK(recording::TaxaListRecordProblems(file.records).empty());

    const recording::TaxaListInstalled installed = recording::InstallTaxaList(file.records, 0);
    VELMORA_FUZZ_CHECK(installed.records == int(file.records.size()));
    if (!installed.backupPath.isEmpty())
        QFile::remove(installed.backupPath);
    ecology::EcologyData eco;
    ecology::LoadTaxaList(eco, 0);
    VELMORA_FUZZ_CHECK(eco.taxaList.Taxa().Size() == qsizetype(file.records.size()));
    for (const ecology::TaxonRecord& record : file.records)
        VELMORA_FUZZ_CHECK(
            eco.taxaList.FindTaxon(ecology::CollapseDoubleBlanks(record.taxonName)) >= 0);
    return 0;
}
