#include "maps/kml.h"

#include "core/coordinates.h"
#include "core/folders.h"
#include "core/grid/grid.h"
#include "core/prompts.h"
#include "core/text/textfile.h"
#include "maps/mapcalibration.h"
#include "maps/messages.h"
#include "maps/runtables.h"

#include <QDir>
#include <algorithm>
#include <cmath>
#include <tuple>

namespace velmora::maps {

namespace {

// A number for the coordinates element: "." as separator, up to 15 significant digits, no
// trailing zeros and never an exponent.
QString KmlNumber(double value) {
    QString text = QString::number(value, 'g', 15);
    if (text.contains(QLatin1Char('e'))) {
        const int exponent = int(std::floor(std::log10(std::fabs(value))));
        text = QString::number(value, 'f', std::max(0, 14 - exponent));
        if (text.contains(QLatin1Char('.'))) {
            while (text.endsWith(QLatin1Char('0')))
                text.chop(1);
            if (text.endsWith(QLatin1Char('.')))
                text.chop(1);
        }
    }
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text;
}

// A text of the table inside the HTML of a balloon.
QString BalloonText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        default:
            // Control characters (line breaks too: the description is one line) and the two
            // non-characters are not allowed in an XML document.
            if ((c.unicode() < 0x20 && c != QLatin1Char('\t')) || c.unicode() == 0xFFFE ||
                c.unicode() == 0xFFFF)
                out += QLatin1Char(' ');
            else
                out += c;
        }
    }
    return out;
}

void AppendHeader(QStringList& lines) {
    lines << QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")
          << QStringLiteral("<kml xmlns=\"") + kKmlNamespace + QStringLiteral("\">")
          << QStringLiteral("<Document>") << QStringLiteral("<Style id=\"FEATURES\">")
          << QStringLiteral("<BalloonStyle>") << QStringLiteral("<text>$[description]</text>")
          << QStringLiteral("</BalloonStyle>") << QStringLiteral("<Icon>")
          << QStringLiteral("<href>") + kKmlPlacemarkIcon + QStringLiteral("</href>")
          << QStringLiteral("</Icon>") << QStringLiteral("</Style>");
}

void AppendPlacemark(QStringList& lines, const QString& description, const QString& icon,
                     double longitude, double latitude) {
    lines << QStringLiteral("<Placemark>") << QStringLiteral("<styleUrl>#FEATURES</styleUrl>")
          << QStringLiteral("<description> <![CDATA[") + description +
                 QStringLiteral("]]></description>")
          << QStringLiteral("<Style id=\"FEATURES\">") << QStringLiteral("<Icon>")
          << QStringLiteral("<href>") + icon + QStringLiteral("</href>")
          << QStringLiteral("</Icon>") << QStringLiteral("</Style>") << QStringLiteral("<Point>")
          << QStringLiteral("<coordinates>") + KmlNumber(longitude) + QLatin1Char(',') +
                 KmlNumber(latitude) + QStringLiteral(",0</coordinates>")
          << QStringLiteral("</Point>") << QStringLiteral("</Placemark>");
}

} // namespace

KmlBuild BuildKml(const core::Grid& locations, const QString& title, const PlacementRules& rules,
                  const std::function<void()>& betweenRows) {
    KmlBuild build;
    QStringList& lines = build.lines;
    lines.reserve(13 + 12 * std::max(0, locations.RowCount() - 1));
    AppendHeader(lines);

    const QString titleLine = title == ResStr(rsAllLocationsTitle)
                                  ? QString()
                                  : BalloonText(title) + QStringLiteral("<br>");
    const QString locationLabel = ResStr(rsKmlLocation);
    const QString coordinatesLabel = ResStr(rsKmlCoordinates);
    const QString dateLabel = ResStr(rsKmlDate);
    const bool latLon = rules.coordinateSystem == core::kLatLon;

    for (int row = 1; row < locations.RowCount(); ++row) {
        const QString& x = locations.Cell(lcX, row);
        const QString& y = locations.Cell(lcY, row);
        const DotPosition position = PlaceForExport(x, y, rules);
        if (position.status == PositionStatus::CoordinateError) {
            build.lines.clear();
            build.errorRow = row;
            return build;
        }
        double longitude = position.x;
        double latitude = position.y;
        if (!latLon)
            std::tie(latitude, longitude) = core::RDToLatLon(position.x, position.y);

        const QString description =
            titleLine + locationLabel + BalloonText(locations.Cell(lcLocation, row)) +
            QStringLiteral("<br>") + coordinatesLabel + BalloonText(x) + QStringLiteral(" - ") +
            BalloonText(y) + QStringLiteral("<br>") + dateLabel +
            BalloonText(locations.Cell(lcDate, row));
        AppendPlacemark(lines, description,
                        y == QLatin1String("0") ? kKmlSquareIcon : kKmlPlacemarkIcon, longitude,
                        latitude);
        if (betweenRows)
            betweenRows();
    }
    lines << QStringLiteral("</Document>") << QStringLiteral("</kml>");
    return build;
}

QByteArray KmlText(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    return bytes;
}

QString KmlPath(const QString& title) {
    return core::KmlDir() + SafeFileName(title) + QStringLiteral(".KML");
}

KmlWriteResult WriteKml(const core::Grid& locations, const QString& title,
                        const PlacementRules& rules, const std::function<void()>& betweenRows) {
    KmlWriteResult result;
    if (locations.RowCount() <= 1)
        return result;
    const KmlBuild build = BuildKml(locations, title, rules, betweenRows);
    if (build.errorRow >= 0) {
        const QString text = ResStr(rsCoordinateError) + QLatin1Char('\n') +
                             locations.Cell(lcLocation, build.errorRow) + QLatin1Char('\n') +
                             ResStr(rsKmlOnDate) + locations.Cell(lcDate, build.errorRow);
        result.aborted = !core::UserPrompts().OkAbort(text);
        return result;
    }
    const QString path = KmlPath(title);
    QDir().mkpath(core::KmlDir()); // a folder that cannot be made fails the write below
    core::WriteFileAtomically(path, KmlText(build.lines));
    result.path = path;
    return result;
}

} // namespace velmora::maps
