#include "ecology/taxalistfile.h"

#include "core/dataset.h"
#include "core/error.h"
#include "core/folders.h"
#include "ecology/ecologydata.h"

#include <QFile>
#include <QFileInfo>

namespace velmora::ecology {

namespace {
QString BaseName(int number) {
    return number == 0 ? QStringLiteral("TaxaListAnnotatedNL")
                       : QStringLiteral("TaxaListAnnotatedEU");
}
} // namespace

QString TaxaListPath(int number) {
    return core::LibDir() + BaseName(number) + QStringLiteral(".dbf");
}

QString AdditionalTaxaListPath(int number) {
    return core::LibDir() + (number == 1 ? QStringLiteral("AdditionalTaxalistEU.csv")
                                         : QStringLiteral("AdditionalTaxalistNL.csv"));
}

void LoadTaxaList(EcologyData& ecology, int number) {
    ecology.taxaList.Clear();
    const QString path = TaxaListPath(number);
    const QString indexPath = core::LibDir() + BaseName(number) + QStringLiteral(".mdx");
    core::Dataset table;
    table.Open(path, /*readOnly=*/false);
    const bool hadIndex = QFileInfo::exists(indexPath);
    const QStringList tags = table.IndexNames();
    auto hasTag = [&](const QString& name) { return tags.contains(name, Qt::CaseInsensitive); };
    // A missing index file gets both tags; so does one that lacks them.
    if (!hadIndex || !hasTag(QStringLiteral("TaxonName")))
        table.AddIndex(QStringLiteral("TaxonName"), QStringLiteral("TAXON_NAME"), {true, false});
    if (!hadIndex || !hasTag(QStringLiteral("CurName")))
        table.AddIndex(QStringLiteral("CurName"), QStringLiteral("CUR_NAME"), {true, false});
    table.SetIndexName(QStringLiteral("TaxonName"));

    QStringList fieldNames;
    for (const core::DatasetFieldDef& def : table.FieldDefs())
        fieldNames << def.name;
    for (const QString& required : TaxaListFieldNames())
        if (!fieldNames.contains(required, Qt::CaseInsensitive))
            throw core::Error(QStringLiteral("field %1 is missing").arg(required), path);

    std::vector<TaxonRecord> records;
    records.reserve(static_cast<std::size_t>(table.RecordCount()));
    core::Field name = table.FieldByName(QStringLiteral("TAXON_NAME"));
    core::Field cur = table.FieldByName(QStringLiteral("CUR_NAME"));
    core::Field author = table.FieldByName(QStringLiteral("AUTHOR_NAM"));
    core::Field trophic = table.FieldByName(QStringLiteral("TROPHIC_ST"));
    core::Field acidity = table.FieldByName(QStringLiteral("ACIDITY"));
    core::Field lifeForm = table.FieldByName(QStringLiteral("LIFE_FORM"));
    core::Field r = table.FieldByName(QStringLiteral("R"));
    core::Field s = table.FieldByName(QStringLiteral("S"));
    core::Field redList = table.FieldByName(QStringLiteral("R_L"));
    core::Field negVar = table.FieldByName(QStringLiteral("NEG_VAR"));
    for (table.First(); !table.Eof(); table.Next()) {
        records.push_back({name.AsString(), cur.AsString(), author.AsString(), trophic.AsString(),
                           acidity.AsString(), lifeForm.AsString(), r.AsString(), s.AsString(),
                           redList.AsString(), negVar.AsString()});
    }
    table.Close();
    ecology.taxaList.Assign(records, &ecology.searchList, fieldNames);
}

void RemoveTaxaListIndexes() {
    for (int number : {0, 1}) {
        const QString indexPath = core::LibDir() + BaseName(number) + QStringLiteral(".mdx");
        if (QFileInfo(indexPath).isFile())
            QFile::remove(indexPath);
    }
}

} // namespace velmora::ecology
