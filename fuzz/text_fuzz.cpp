// libFuzzer target for the text files of the program: DecodeText, ReadTextFile and
// ReadTextLines (UTF-8 when the bytes are valid UTF-8, otherwise Windows-1252), and the
// field-name table read from such a file (Lib/FieldNames.csv).
//
// Input: the bytes of a text file. Besides "no crash, no hang", the decoding promises are
// checked: valid UTF-8 comes back exactly (a leading byte-order mark dropped), any other file
// gives one character per byte; lines hold no line-end characters and, joined with LF, give
// the text again up to its line ends.

#include "core/dbf/codepage.h"
#include "core/text/fieldnametable.h"
#include "core/text/textfile.h"
#include "fuzz/fuzz_support.h"

#include <QRegularExpression>
#include <cstdint>

namespace core = velmora::core;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    velmora::fuzz::InstallQuietPrompts();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString decoded = core::DecodeText(bytes);
    if (core::dbf::IsValidUtf8(std::string_view(bytes.constData(), size))) {
        const QByteArray bom("\xEF\xBB\xBF");
        const QByteArray expected = bytes.startsWith(bom) ? bytes.mid(3) : bytes;
        VELMORA_FUZZ_CHECK(decoded.toUtf8() == expected);
    } else {
        VELMORA_FUZZ_CHECK(decoded.size() == bytes.size());
    }

    const QString path = velmora::fuzz::WriteScratchFile("input.txt", data, size);
    const QString text = core::ReadTextFile(path);
    VELMORA_FUZZ_CHECK(text == decoded);

    const QStringList lines = core::ReadTextLines(path);
    for (const QString& line : lines)
        VELMORA_FUZZ_CHECK(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')));
    QString normalized = text;
    normalized.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalized.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (normalized.endsWith(QLatin1Char('\n')))
        normalized.chop(1);
    VELMORA_FUZZ_CHECK(lines.join(QLatin1Char('\n')) == normalized);

    const std::vector<core::FieldNameRow> rows = core::ReadFieldNameTable(path);
    VELMORA_FUZZ_CHECK(rows.size() <= static_cast<std::size_t>(lines.size()));
    return 0;
}
