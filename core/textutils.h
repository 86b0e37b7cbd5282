#pragma once
// Number and date conventions of the program.
//
// Numbers typed by users are read with "," as the decimal separator when the text contains a
// ",", otherwise with ".". Numbers turned into text use the program-wide decimal separator,
// which is "," while the interface language is "NL" and "." otherwise. Dates are written as
// year-month-day with four, two and two digits ("2011-05-23").

#include <QChar>
#include <QDate>
#include <QString>

namespace velmora::core {

// The program-wide decimal separator ('.' until set).
QChar DecimalSeparator();
void SetDecimalSeparator(QChar separator);

// Reads a decimal number with "," as the separator when the text contains ",", otherwise
// with "." (blanks around the number are allowed). Throws Error with the conversion message
// when the text is not a number. The program-wide separator is left unchanged.
double ParseNumber(const QString& text);

// A number with a fixed count of decimals and the program-wide separator.
QString FormatDecimal(double value, int decimals);

// The program-wide date format: "yyyy-MM-dd".
QString FormatDate(const QDate& date);

} // namespace velmora::core
