#include "recording/importlayout.h"

#include "core/text/inifile.h"

namespace velmora::recording {

namespace {

const QString kBox = QStringLiteral("Box");
const QString kLoc = QStringLiteral("Loc");
const QString kDate = QStringLiteral("Date");
const QString kFormat = QStringLiteral("Format");

QString Nr(int i) {
    return QStringLiteral("Nr%1").arg(i);
}

core::IniFile ToIni(const ColumnLayout& layout) {
    core::IniFile ini;
    for (int k = 1; k <= kImportKeyCount; ++k)
        ini.SetInt(kBox, Nr(k), layout.box[static_cast<std::size_t>(k)]);
    for (int i = 0; i < kUniqueLocationColumns; ++i)
        ini.SetInt(kLoc, Nr(i + 1), layout.unique[static_cast<std::size_t>(i)]);
    ini.SetBool(kDate, QStringLiteral("Value1"), layout.columnMode);
    ini.SetBool(kDate, QStringLiteral("Value2"), layout.textMode);
    ini.SetValue(kFormat, QStringLiteral("Value"), layout.dateFormat);
    return ini;
}

} // namespace

bool IsColumnLayoutFile(const QString& path) {
    const core::IniFile ini = core::IniFile::Load(path);
    return ini.HasSection(kBox) || ini.HasSection(kLoc) || ini.HasSection(kDate) ||
           ini.HasSection(kFormat);
}

ColumnLayout ReadColumnLayout(const QString& path) {
    const core::IniFile ini = core::IniFile::Load(path);
    ColumnLayout layout;
    for (int k = 1; k <= kImportKeyCount; ++k)
        layout.box[static_cast<std::size_t>(k)] = ini.IntValue(kBox, Nr(k), 0);
    for (int i = 0; i < kUniqueLocationColumns; ++i)
        layout.unique[static_cast<std::size_t>(i)] = ini.IntValue(kLoc, Nr(i + 1), 0);
    layout.columnMode = ini.BoolValue(kDate, QStringLiteral("Value1"), true);
    layout.textMode = ini.BoolValue(kDate, QStringLiteral("Value2"), false);
    layout.dateFormat = ini.Value(kFormat, QStringLiteral("Value"), kYearFirstFormat);
    return layout;
}

QString ColumnLayoutText(const ColumnLayout& layout) {
    return ToIni(layout).ToText();
}

void WriteColumnLayout(const ColumnLayout& layout, const QString& path) {
    // Written whole through a temporary file: the file holds exactly these keys, and a
    // failed save leaves the previous layout as it was.
    ToIni(layout).Save(path);
}

} // namespace velmora::recording
