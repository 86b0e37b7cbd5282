#pragma once
// LibreOffice Calc, run headless, as a test peer: a file converted with a private profile,
// and the comma-separated text it writes read back cell for cell.

#include "common/tempdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>
#include <vector>

namespace velmora::testing {

struct CsvField {
    QString text;
    bool quoted = false;
};
using CsvRows = std::vector<std::vector<CsvField>>;

inline CsvRows ParseCsv(const QString& text) {
    CsvRows rows;
    std::vector<CsvField> row;
    CsvField field;
    bool inQuotes = false;
    bool any = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        any = true;
        if (inQuotes) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                field.text += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                inQuotes = false;
            } else {
                field.text += c;
            }
        } else if (c == QLatin1Char('"')) {
            inQuotes = true;
            field.quoted = true;
        } else if (c == QLatin1Char(',')) {
            row.push_back(field);
            field = {};
        } else if (c == QLatin1Char('\r')) {
            continue;
        } else if (c == QLatin1Char('\n')) {
            row.push_back(field);
            rows.push_back(row);
            row.clear();
            field = {};
            any = false;
        } else {
            field.text += c;
        }
    }
    if (any) {
        row.push_back(field);
        rows.push_back(row);
    }
    return rows;
}

inline QString Soffice() {
    return QStandardPaths::findExecutable(QStringLiteral("soffice"));
}

// Runs one conversion with a private profile; returns the converted file.
inline QString Convert(const QString& input, const QString& convertTo, const QString& extension,
                       const QString& infilter = {}) {
    QTemporaryDir profile;
    const QString outDir = QFileInfo(input).absolutePath() + QStringLiteral("/converted");
    QDir().mkpath(outDir);
    QStringList args = {QStringLiteral("-env:UserInstallation=") +
                            QUrl::fromLocalFile(profile.path()).toString(),
                        QStringLiteral("--headless"),
                        QStringLiteral("--norestore"),
                        QStringLiteral("--convert-to"),
                        convertTo,
                        QStringLiteral("--outdir"),
                        outDir};
    if (!infilter.isEmpty())
        args << QStringLiteral("--infilter=") + infilter;
    args << input;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(Soffice(), args);
    if (!process.waitForFinished(180000)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << "soffice did not finish within 3 minutes";
        return {};
    }
    const QString output = outDir + QLatin1Char('/') + QFileInfo(input).completeBaseName() +
                           QLatin1Char('.') + extension;
    if (!QFile::exists(output))
        ADD_FAILURE() << "soffice wrote no " << extension.toStdString() << ": "
                      << process.readAll().toStdString();
    return output;
}

// UTF-8, comma-separated, text cells quoted and numbers not, so the cell types show.
inline const QString kCsvExport =
    QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,true");
inline const QString kCsvImport = QStringLiteral("CSV:44,34,76,1");

inline CsvRows ToCsv(const QString& path) {
    const QString csv = Convert(path, kCsvExport, QStringLiteral("csv"));
    if (csv.isEmpty() || !QFile::exists(csv))
        return {};
    return ParseCsv(QString::fromUtf8(velmora::testing::ReadAll(csv)));
}

} // namespace velmora::testing
