#pragma once
// The synthetic database of the store and start-up benchmarks: 50,000 location events and
// VELMORA_BENCH_RECORDS samples (1,000,000 by default) in the user table layouts, about 5,000
// taxon names, square codes deliberately stale. Written once per process into a temporary
// program folder.

#include "core/databasestore.h"
#include "core/dbf/dbftable.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace velmora::bench {

namespace dbf = velmora::core::dbf;
using core::LocationFields;
using core::SampleFields;

inline std::uint32_t SampleCount() {
    const char* env = std::getenv("VELMORA_BENCH_RECORDS");
    return env ? static_cast<std::uint32_t>(std::atol(env)) : 1000000u;
}

// VELMORA_BENCH_FOLDER names a folder to keep the database in between runs (it is made
// once); otherwise a temporary folder is used.
inline const QString& Folder() {
    static const QString folder = [] {
        if (const char* kept = std::getenv("VELMORA_BENCH_FOLDER")) {
            QDir().mkpath(QString::fromLocal8Bit(kept) + "/Data");
            return QString::fromLocal8Bit(kept);
        }
        char name[] = "/tmp/velmora-bench-store-XXXXXX";
        if (!mkdtemp(name))
            std::abort();
        QDir(name).mkdir("Data");
        return QString::fromLatin1(name);
    }();
    return folder;
}

// Removes the folder unless it is one to keep.
inline void RemoveFolder() {
    if (!std::getenv("VELMORA_BENCH_FOLDER"))
        QDir(Folder()).removeRecursively();
}

inline std::string DataPath(const char* file) {
    return (Folder() + "/Data/" + file).toStdString();
}

// Writes Bench1.dbf and Bench2.dbf once, with consistent codes.
inline void MakeDatabase() {
    static bool made = false;
    if (made || QFile::exists(Folder() + "/Data/Bench.ini"))
        return;
    made = true;
    std::mt19937 rng(42);
    const int locations = 50000;
    std::vector<std::pair<int, int>> coords(locations);
    {
        dbf::DbfTable::Create(DataPath("Bench1.dbf"), LocationFields());
        dbf::DbfTable t;
        t.Open(DataPath("Bench1.dbf"));
        std::string buffer;
        std::string rec = t.BlankRecord();
        for (int id = 0; id < locations; ++id) {
            const int x = 10 + static_cast<int>(rng() % 260);
            const int y = 310 + static_cast<int>(rng() % 300);
            coords[static_cast<std::size_t>(id)] = {x, y};
            std::string r = rec;
            t.SetInteger(r.data(), 0, id);
            t.SetText(r.data(), 1, "Ven " + std::to_string(rng() % 20000));
            t.SetText(r.data(), 2, std::to_string(1 + id % 28));
            t.SetText(r.data(), 3, std::to_string(1 + id % 12));
            t.SetText(r.data(), 4, std::to_string(1975 + id % 50));
            t.SetText(r.data(), 7, std::to_string(x) + "," + std::to_string(rng() % 10));
            t.SetText(r.data(), 8, std::to_string(y) + "," + std::to_string(rng() % 10));
            buffer += r;
        }
        t.AppendRecords(buffer.data(), locations);
        t.Close();
    }
    {
        dbf::DbfTable::Create(DataPath("Bench2.dbf"), SampleFields());
        dbf::DbfTable t;
        t.Open(DataPath("Bench2.dbf"));
        const std::string blank = t.BlankRecord();
        const std::uint32_t count = SampleCount();
        std::string buffer;
        buffer.reserve(static_cast<std::size_t>(t.RecordLength()) * 100000);
        char text[32];
        for (std::uint32_t i = 0; i < count; ++i) {
            std::string r = blank;
            const int id = static_cast<int>(rng() % locations);
            const auto [x, y] = coords[static_cast<std::size_t>(id)];
            t.SetInteger(r.data(), 0, id);
            std::snprintf(text, sizeof text, "%04d-%02d-%02d", 1975 + id % 50, 1 + id % 12,
                          1 + id % 28);
            t.SetText(r.data(), 1, text);
            // Stale codes, so that the first recomputation rewrites every sample.
            std::snprintf(text, sizeof text, "%03d-%03d", x + 1, y);
            t.SetText(r.data(), 2, text);
            std::snprintf(text, sizeof text, "%03d-%03d", (x + 5) / 5 * 5, y / 5 * 5);
            t.SetText(r.data(), 3, text);
            t.SetText(r.data(), 4, "Cosmarium species" + std::to_string(rng() % 5000));
            t.SetText(r.data(), 5, std::to_string(1 + rng() % 3));
            buffer += r;
            if ((i + 1) % 100000 == 0 || i + 1 == count) {
                t.AppendRecords(buffer.data(),
                                buffer.size() / static_cast<std::size_t>(t.RecordLength()));
                buffer.clear();
            }
        }
        t.Close();
    }
    QFile ini(Folder() + "/Data/Bench.ini");
    ini.open(QIODevice::WriteOnly);
    ini.write("[Coordinates]\r\nSystem=km-based\r\n");
}

} // namespace velmora::bench
