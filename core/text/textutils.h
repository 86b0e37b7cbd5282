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

// Prepends "0" until the text is `width` characters long; a longer text is returned unchanged.
QString LeftPadZeros(const QString& text, int width);

// True for an optional leading "-" followed by one or more digits 0-9 and nothing else.
bool IsInteger(const QString& text);

// True for an optional leading "-" followed by digits with at most one "," or "." among or
// after them: 7,5 and -3 and 12. are numbers; 1.2.3, the empty text, a lone "-" and a lone
// separator are not (at least one digit is required).
bool IsDecimalNumber(const QString& text);

// A date written with dashes, day first or year first, as spreadsheets and older files hold
// it ("5-3-2009", "2009-03-05 10:00").
struct DashedDate {
    int day = 0;
    int month = 0;
    int year = 0;
    QString text; // year-month-day, day and month with at least two digits: "2009-03-05"
};

// Everything from the first blank on (a time part) is dropped. The part before the first "-"
// decides the order: a number below 32 is the day (day-month-year), otherwise it is the year
// (year-month-day); the part between the first and the second "-" is the month, the rest the
// remaining year or day. Day and month of one digit get a leading "0". Throws Error with the
// conversion message when a part is missing or not a whole number; the calendar is not
// checked (the caller decides what to do with, say, month 13).
DashedDate ParseDashedDate(const QString& text);

// The program's order of texts (grid sorting, the species search list): case-insensitive,
// character by character in Unicode order after case folding, so digits come before letters
// and the order is the same on every system. Returns <0, 0 or >0; texts that differ only in
// letter case compare equal.
int CompareText(const QString& a, const QString& b);

} // namespace velmora::core
