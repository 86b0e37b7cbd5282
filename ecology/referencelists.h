#pragma once
// The reference lists that name entry and every calculation read: the species search list
// and the annotated taxa list in use. They are (re)built when the preferences window is
// created and again after its OK, always for the taxa-list setting then in force; names of a
// list used earlier in the run stay in the search list.

namespace velmora::ecology {

struct EcologyData;

// Extends the search list from the additional list file of the setting (0 the Dutch list,
// any other value the European one), then loads the annotated taxa list of the setting and
// adds its names. The steps are independent: a file that cannot be read is reported through
// core::UserPrompts() with the file and the reason, and the other step still runs. After a
// failed load the taxa list is empty, so every calculation still works (without scores).
// Returns true when both files were read.
bool ReloadReferenceLists(EcologyData& ecology, int number);

} // namespace velmora::ecology
