#include "maps/frequency.h"

#include "core/coordinates.h"
#include "core/dataset.h"
#include "core/error.h"
#include "core/resourcestrings.h"
#include "core/text/textutils.h"
#include "maps/mapcalibration.h"
#include "maps/messages.h"

#include <climits>
#include <cmath>

namespace velmora::maps {

namespace {

int WholeNumber(core::Dataset& table, core::Field field) {
    const long long value = field.AsInteger(); // throws for a blank or a text
    if (value < INT_MIN || value > INT_MAX)
        throw core::Error(
            core::ResStr(core::rsDbfNotInteger).arg(field.FieldName(), field.AsString()),
            table.FileName());
    return static_cast<int>(value);
}

} // namespace

QString EnglishClassName(int classNumber) {
    static const char* const names[] = {"Absent",      "Very rare",  "Very rare", "Rare",
                                        "Rare",        "Occasional", "Frequent",  "Common",
                                        "Very common", "Abundant"};
    if (classNumber < 0 || classNumber > 9)
        return {};
    return QString::fromLatin1(names[classNumber]);
}

FrequencyClassTable::FrequencyClassTable(std::vector<FrequencyClassRecord> records)
    : m_records(std::move(records)) {}

FrequencyClassTable FrequencyClassTable::Read(core::Dataset& table) {
    core::Field kmDescription = table.FieldByName(QStringLiteral("KOMSCHR"));
    core::Field kmClass = table.FieldByName(QStringLiteral("KFK"));
    core::Field kmBound = table.FieldByName(QStringLiteral("KMHOKKEN"));
    core::Field hourDescription = table.FieldByName(QStringLiteral("UOMSCHR"));
    core::Field hourClass = table.FieldByName(QStringLiteral("UFK"));
    core::Field hourBound = table.FieldByName(QStringLiteral("UURHOKKEN"));
    std::vector<FrequencyClassRecord> records;
    for (table.First(); !table.Eof(); table.Next()) {
        FrequencyClassRecord record;
        record.kmDescription = kmDescription.AsString();
        record.kmClass = WholeNumber(table, kmClass);
        record.kmBound = WholeNumber(table, kmBound);
        record.hourDescription = hourDescription.AsString();
        record.hourClass = WholeNumber(table, hourClass);
        record.hourBound = WholeNumber(table, hourBound);
        records.push_back(std::move(record));
    }
    table.First();
    if (records.empty())
        throw core::Error(ResStr(rsClassTableEmpty), table.FileName());
    return FrequencyClassTable(std::move(records));
}

FrequencyClassTable FrequencyClassTable::Load(const QString& path) {
    core::Dataset table;
    table.Open(path, /*readOnly=*/true);
    FrequencyClassTable classes = Read(table);
    table.Close();
    return classes;
}

FrequencyAnswer FrequencyClassTable::FrequencyClass(SquareKind kind, double perMille,
                                                    const QString& language) const {
    if (m_records.empty())
        throw core::Error(ResStr(rsClassTableEmpty));
    const bool km = kind == SquareKind::KmSquares;
    auto classOf = [&](std::size_t i) {
        return km ? m_records[i].kmClass : m_records[i].hourClass;
    };
    auto boundOf = [&](std::size_t i) {
        return km ? m_records[i].kmBound : m_records[i].hourBound;
    };
    std::size_t answer = 0;
    while (classOf(answer) != 9 && answer + 1 < m_records.size() && boundOf(answer + 1) <= perMille)
        ++answer;
    // The bounds are whole per mille and the hour-square share is not rounded: a share
    // below the first bound above 0 still stands for squares where the taxon was found.
    if (perMille > 0 && classOf(answer) == 0) {
        std::size_t next = answer + 1;
        while (next < m_records.size() && classOf(next) == 0)
            ++next;
        if (next < m_records.size())
            answer = next;
    }

    FrequencyAnswer result;
    result.classNumber = classOf(answer);
    result.description = km ? m_records[answer].kmDescription : m_records[answer].hourDescription;
    if (language.compare(QLatin1String("EN"), Qt::CaseInsensitive) == 0) {
        const QString english = EnglishClassName(result.classNumber);
        if (!english.isEmpty())
            result.description = english;
    }
    return result;
}

double KmSquarePerMille(int squares, int total) {
    if (total <= 0)
        throw core::Error(QStringLiteral("KmSquarePerMille: no squares in the database"));
    return RoundHalfEven(1000.0 * squares / total + 0.5);
}

double HourSquarePerMille(int squares, int total) {
    if (total <= 0)
        throw core::Error(QStringLiteral("HourSquarePerMille: no squares in the database"));
    return 1000.0 * squares / total;
}

QString PercentageText(double percentage) {
    constexpr int kDigits = 2;
    if (percentage == 0 || !std::isfinite(percentage))
        return percentage == 0 ? QStringLiteral("0") : QString::number(percentage);
    // The value rounded to the significant digits decides the form: 99.96 is 1E02.
    const QString scientific = QString::number(percentage, 'e', kDigits - 1); // "9.96e+01"
    const qsizetype e = scientific.indexOf(QLatin1Char('e'));
    const int exponent = scientific.mid(e + 1).toInt();
    QString text;
    if (exponent >= kDigits || std::fabs(percentage) < 0.00001) {
        QString mantissa = scientific.left(e);
        while (mantissa.endsWith(QLatin1Char('0')))
            mantissa.chop(1);
        if (mantissa.endsWith(QLatin1Char('.')))
            mantissa.chop(1);
        text = mantissa + QLatin1Char('E') + (exponent < 0 ? QStringLiteral("-") : QString()) +
               QString::number(std::abs(exponent)).rightJustified(2, QLatin1Char('0'));
    } else {
        text = QString::number(percentage, 'f', kDigits - 1 - exponent);
        if (text.contains(QLatin1Char('.'))) {
            while (text.endsWith(QLatin1Char('0')))
                text.chop(1);
            if (text.endsWith(QLatin1Char('.')))
                text.chop(1);
        }
    }
    return text.replace(QLatin1Char('.'), core::DecimalSeparator());
}

void StartAllLocationsTexts(FrequencyTexts& texts) {
    const QString dots = QStringLiteral("...");
    texts.squareCount = dots;
    texts.uf = dots;
    texts.kf = dots;
}

void WriteFrequencyTexts(FrequencyTexts& texts, const FrequencyClassTable& table,
                         const FrequencyRun& run) {
    const bool latLon = run.coordinateSystem == core::kLatLon;
    const QString totalKm = QString::number(run.totalKmSquares);
    const QString totalHour = QString::number(run.totalHourSquares);
    if (!run.taxonRun) {
        texts.squareCount = latLon ? ResStr(rsSquareTotalsLatLon).arg(totalKm)
                                   : ResStr(rsSquareTotalsKm).arg(totalHour, totalKm);
    } else if (run.totalKmSquares > 0 && run.totalHourSquares > 0) {
        const QString k = QString::number(run.kmSquares);
        const QString kmShare = PercentageText(100.0 * run.kmSquares / run.totalKmSquares);
        const FrequencyAnswer kmClass =
            table.FrequencyClass(SquareKind::KmSquares,
                                 KmSquarePerMille(run.kmSquares, run.totalKmSquares), run.language);
        if (latLon) {
            texts.squareCount = ResStr(rsSquareTotalsLatLon).arg(k + QLatin1Char('/') + totalKm);
            texts.uf.clear();
            texts.kf = ResStr(rsLatLonFrequency)
                           .arg(k, totalKm, kmShare, QString::number(kmClass.classNumber),
                                kmClass.description);
        } else {
            const FrequencyAnswer hourClass = table.FrequencyClass(
                SquareKind::HourSquares, HourSquarePerMille(run.hourSquares, run.totalHourSquares),
                run.language);
            texts.squareCount = ResStr(rsSquareTotalsKm).arg(totalHour, totalKm);
            texts.uf = ResStr(rsHourFrequency)
                           .arg(QString::number(run.hourSquares),
                                PercentageText(100.0 * run.hourSquares / run.totalHourSquares),
                                QString::number(hourClass.classNumber), hourClass.description);
            texts.kf =
                ResStr(rsKmFrequency)
                    .arg(k, kmShare, QString::number(kmClass.classNumber), kmClass.description);
        }
    }
    texts.memo = QStringList{texts.uf, texts.kf};
}

} // namespace velmora::maps
