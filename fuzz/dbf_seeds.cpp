// Writes a few well-formed inputs for the table reader fuzz target into a folder.

#include "core/dbf/dbftable.h"

#include <fstream>
#include <iterator>
#include <string>

namespace dbf = velmora::core::dbf;

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Seed(const std::string& folder, const std::string& name, char kind, const std::string& bytes) {
    std::ofstream out(folder + "/" + name, std::ios::binary);
    out.put(kind);
    out << bytes;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    const std::string folder = argv[1];
    const std::string table = folder + "/seed.dbf";
    dbf::DbfTable::Create(
        table, {dbf::IntegerField("ID"), dbf::TextField("DESMID", 80), dbf::TextField("KXY", 7)});
    {
        dbf::DbfTable t;
        t.Open(table);
        t.AddTag({"DESMID", "DESMID"});
        t.AddTag({"ID", "ID", true});
        t.AddTag({"MIX", "SUBSTR(DESMID,1,5)+UPPER(KXY)"});
        for (int i = 0; i < 40; ++i)
            t.AppendValues(
                {std::to_string(i * 37 % 11), "Closterium " + std::to_string(i), "12-34"});
        t.SetDeleted(3, true);
        t.Close();
    }
    Seed(folder, "table7", 0, Slurp(table));
    Seed(folder, "index7", 1, Slurp(folder + "/seed.mdx"));
    const std::string level4 = folder + "/seed4.dbf";
    dbf::DbfTable::Create(level4, {dbf::TextField("CODE", 10), dbf::IntegerField("NR")},
                          dbf::TableLevel::Level4);
    {
        dbf::DbfTable t;
        t.Open(level4);
        t.AppendValues({"V1", "12"});
        t.Close();
    }
    Seed(folder, "table4", 2, Slurp(level4));
    std::remove(table.c_str());
    std::remove((folder + "/seed.mdx").c_str());
    std::remove(level4.c_str());
    return 0;
}
