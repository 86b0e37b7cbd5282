#include "core/error.h"
#include "core/text/textfile.h"
#include "core/text/textutils.h"

#include <gtest/gtest.h>

using namespace velmora::core;

TEST(TextUtils, LeftPadZeros) {
    EXPECT_EQ(LeftPadZeros(QStringLiteral("42"), 6), QStringLiteral("000042"));
    EXPECT_EQ(LeftPadZeros(QString(), 3), QStringLiteral("000"));
    EXPECT_EQ(LeftPadZeros(QStringLiteral("1234567"), 6), QStringLiteral("1234567"));
    EXPECT_EQ(LeftPadZeros(QStringLiteral("7,5"), 6), QStringLiteral("0007,5"));
}

TEST(TextUtils, IsIntegerAndIsDecimalNumber) {
    struct Case {
        const char* text;
        bool integer;
        bool decimal;
    };
    const Case cases[] = {
        {"0", true, true},       {"-3", true, true},    {"12", true, true},
        {"007", true, true},     {"7,5", false, true},  {"-7.25", false, true},
        {"12.", false, true},    {",5", false, true},   {"1.2.3", false, false},
        {"1,2.3", false, false}, {"", false, false},    {"-", false, false},
        {".", false, false},     {"--1", false, false}, {"+1", false, false},
        {" 1", false, false},    {"1e3", false, false}, {"1-", false, false},
        {"١٢", false, false}, // Arabic-Indic digits are not digits of a number here
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(IsInteger(text), c.integer) << c.text;
        EXPECT_EQ(IsDecimalNumber(text), c.decimal) << c.text;
    }
}

TEST(TextUtils, ParseNumberTakesCommaOrPoint) {
    EXPECT_DOUBLE_EQ(ParseNumber(QStringLiteral("7,5")), 7.5);
    EXPECT_DOUBLE_EQ(ParseNumber(QStringLiteral("7.5")), 7.5);
    EXPECT_DOUBLE_EQ(ParseNumber(QStringLiteral(" -12 ")), -12);
    for (const char* bad : {"", "-", "abc", "1,2,3", "1.000,5", "1 000", "nan", "inf"})
        EXPECT_THROW(ParseNumber(QString::fromUtf8(bad)), Error) << bad;
    const QChar before = DecimalSeparator();
    ParseNumber(QStringLiteral("1,5"));
    EXPECT_EQ(DecimalSeparator(), before);
}

TEST(TextUtils, ParseDashedDateBothOrdersAndTimePart) {
    struct Case {
        const char* text;
        int day, month, year;
        const char* iso;
    };
    const Case cases[] = {
        {"5-3-2009", 5, 3, 2009, "2009-03-05"},
        {"2009-03-05", 5, 3, 2009, "2009-03-05"},
        {"2009-03-05 10:00", 5, 3, 2009, "2009-03-05"},
        {"12-05-2008", 12, 5, 2008, "2008-05-12"},
        {"2008-5-12", 12, 5, 2008, "2008-05-12"},
        {"31-12-1999 23:59:59", 31, 12, 1999, "1999-12-31"},
        {"32-1-5", 5, 1, 32, "32-01-05"}, // 32 and up is a year
    };
    for (const Case& c : cases) {
        const DashedDate d = ParseDashedDate(QString::fromUtf8(c.text));
        EXPECT_EQ(d.day, c.day) << c.text;
        EXPECT_EQ(d.month, c.month) << c.text;
        EXPECT_EQ(d.year, c.year) << c.text;
        EXPECT_EQ(d.text, QString::fromUtf8(c.iso)) << c.text;
    }
    for (const char* bad : {"", "2009", "5-3", "5/3/2009", "a-3-2009", "5-x-2009", "5-3-"})
        EXPECT_THROW(ParseDashedDate(QString::fromUtf8(bad)), Error) << bad;
}

TEST(TextUtils, CompareTextIgnoresCaseAndPutsDigitsFirst) {
    EXPECT_EQ(CompareText(QStringLiteral("Abc"), QStringLiteral("aBC")), 0);
    EXPECT_LT(CompareText(QStringLiteral("9"), QStringLiteral("a")), 0);
    EXPECT_LT(CompareText(QStringLiteral("Z9"), QStringLiteral("za")), 0);
    EXPECT_LT(CompareText(QStringLiteral("apple"), QStringLiteral("Banana")), 0);
    EXPECT_LT(CompareText(QStringLiteral("000999"), QStringLiteral("001000")), 0);
}

TEST(TextFiles, DecodingKeepsEveryCharacterButTheByteOrderMark) {
    struct Case {
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {"plain", "plain"},
        {"\xEF\xBB\xBFwith mark", "with mark"},
        // A U+FEFF after the mark is text, and is kept.
        {"\xEF\xBB\xBF\xEF\xBB\xBFx", QString(QChar(0xFEFF)) + "x"},
        {"caf\xC3\xA9", QString::fromUtf8("café")},
        {"caf\xE9", QString::fromUtf8("café")}, // not UTF-8: Windows-1252
        {"\x80", QString(QChar(0x20AC))},
    };
    for (const Case& c : cases)
        EXPECT_EQ(velmora::core::DecodeText(c.bytes), c.text) << c.bytes.toHex().constData();
}
