#pragma once
// Reading the annotated taxa list file (Lib/TaxaListAnnotatedNL.dbf or ...EU.dbf) into the
// in-memory copy, and the species search list's additional list file.

#include <QString>

namespace velmora::ecology {

struct EcologyData;

// The list file for a taxa-list setting: 0 the Dutch list, any other value the European one.
QString TaxaListPath(int number);
// The additional list file for a taxa-list setting.
QString AdditionalTaxaListPath(int number);

// Opens the list file, makes the tags "TaxonName" and "CurName" (case-insensitive) when its
// index file is missing, reads every record in "TaxonName" order into the copy and adds the
// names to the search list. Throws core::Error when the file cannot be read; the copy is then
// empty (every calculation still works).
void LoadTaxaList(EcologyData& ecology, int number);

// Deletes both lists' index files, so that each run builds its index afresh.
void RemoveTaxaListIndexes();

} // namespace velmora::ecology
