#pragma once
// The message texts of maps: map files and their calibration, the placing of dots and the
// dot styles. Maps owns the identifiers 4001-4999. The lookup, and the ranges of every
// module, are in core/resourcestrings.h.

#include "core/resourcestrings.h"

#include <QString>
#include <vector>

namespace velmora::maps {

enum Message : int {
    // Map files
    rsMapNoCoordinates = 4001,    // first line of the message for a file name without edges
    rsMapMustBeCalibrated = 4002, // its second line
    rsCalibrated = 4003,          // the calibration label
    rsNotCalibrated = 4004,
    rsNoMapChosen = 4005,
    rsMapNoExtent = 4006,      // the edges of a file name give the map no width or height
    rsMapNotRead = 4007,       // %1: the reason
    rsMapFileMissing = 4008,   // %1: the path
    rsMapNotAPicture = 4009,   // %1: the file name
    rsMapNameNotUsable = 4010, // %1: the map name of a settings file
    // Calibration
    rsErrorInX1Y1 = 4021,
    rsErrorInX2Y2 = 4022,
    rsMapNameCaption = 4023, // the input box for the name of a calibrated map
    rsMapNamePrompt = 4024,
    rsMapWillBeSavedAs = 4025, // followed by a line break and the file name
    rsMapNotSaved = 4026,
    rsPointsTooClose = 4027,
    rsPointsNoExtent = 4028,
    // Placing dots
    rsCoordinateError = 4041, // followed by a line break and the location
    rsDateLabel = 4042,
    rsEmptyField = 2008,
    // Dot styles
    rsBadDotSize = 4061,   // %1: the text, %2: the largest size
    rsBadLineWidth = 4062, // %1: the text, %2: the largest width
    rsAbundanceHeader = 4063,
    rsDotSizeHeader = 4064,
    rsAllLocationsTitle = 4065,   // the title of an all-locations run
    rsKmSquareButton = 4066,      // the placement button of a km-based database
    rsPerSquareButton = 4067,     // the same button in a "LatLon" database
    rsLocationYearNotRead = 4070, // %1: the location, %2: its year text
    rsPeriodNotNumbers = 4071,
    rsFixFilterFirst = 4072,
    rsBusyCalculating = 4073,
    rsNotDotSettings = 4074, // %1: the file name
    // Run tables
    rsDayNotRead = 4101,          // %1: the location, %2: its ID, %3: MAAND, %4: DAG
    rsMeasurementTooLarge = 4102, // %1: the text, %2: the location, %3: its ID
    rsPictureHeader = 4103,       // "Afb.", the photo column of the location and sample tables
    rsCertainHeader = 4104,       // "Zeker"
    rsSampleRemarkHeader = 4105,  // "Opm. bij de soort"
    rsEarliestLabel = 4106,       // followed by day and month
    rsLatestLabel = 4107,
    rsRecordCount = 4108,    // %1: the number of locations in the location table
    rsPhEcLabel = 4109,      // %1: the records counted in the pH table
    rsBiotopeLabel = 4110,   // %1: the records counted in the biotope table
    rsSpeciesInfo = 4111,    // %1 author, %2 trophic state, %3 acidity, %4 life form
    rsRedListSpecies = 4112, // appended to the information line
    rsSpeciesNotInList = 4113,
    // Record filter
    rsFilterUnknownField = 4201,    // %1: the rule row, %2: the field cell
    rsFilterUnknownOperator = 4202, // %1: the rule row
    rsFilterValueNotUsable = 4203,  // %1: the rule row
    rsFilterStackEmpty = 4204,      // %1: the rule row
    rsFilterNoField = 4205,         // %1: the rule row, a comparison without a field
    rsTooManyFilterRows = 4206,
    rsNoFiltersAvailable = 4207,
    rsFilterFieldHint = 4208,    // the hint over the field column
    rsFilterOperatorHint = 4209, // the hint over the operator column
    rsFilterCaption = 4210,      // the group's caption after "Wis Filter"
    rsFilterFieldHeader = 4211,  // the header row of the filter grid
    rsFilterOperatorHeader = 4212,
    rsFilterValueHeader = 4213,
    // Filter files; %1: the line
    rsFilterFileTooLarge = 4221,
    rsFilterFileBadRowCount = 4222, // %2: the text of the line
    rsFilterFileLineMissing = 4223, // %2: the rows announced
    rsFilterFileExtraRows = 4224,   // %2: the rows announced
    rsFilterFileTooManyCells = 4225,
    rsFilterFileUnknownField = 4226, // %2: the field cell
    rsFilterFileBadCharacter = 4227,
    // Frequency classes
    rsSquareTotalsKm = 4301,     // %1: hour-squares, %2: km-squares of the database
    rsSquareTotalsLatLon = 4302, // %1: the squares ("k/K" after a taxon run)
    rsHourFrequency = 4303,      // UFLabel; %1 count, %2 percentage, %3 class, %4 description
    rsKmFrequency = 4304,        // KFLabel; as UFLabel
    rsLatLonFrequency = 4305,    // %1 k, %2 K, %3 percentage, %4 class, %5 description
    rsClassTableEmpty = 4306,
    // KML export
    rsKmlOnDate = 4321,   // the last line of the coordinate error message, before the date
    rsKmlLocation = 4322, // the balloon of a placemark (HTML)
    rsKmlCoordinates = 4323,
    rsKmlDate = 4324,
};

// The text of one of maps's messages, translated when the interface language has it.
QString ResStr(Message id);

// maps's block, in source order.
const std::vector<core::ResourceString>& Messages();

} // namespace velmora::maps
