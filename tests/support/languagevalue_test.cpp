#include "support/languagevalue.h"

#include <gtest/gtest.h>

using namespace velmora::support;

namespace {

struct QuotedCase {
    const char* value;
    std::optional<const char*> text; // nothing: the value cannot be decoded
};

TEST(LanguageValue, QuotedLiterals) {
    const QuotedCase cases[] = {
        {"'Open'", "Open"},
        {"'It''s here'", "It's here"},
        {"''''", "'"},
        {"''", ""},
        {"", ""},
        {"'Line one'#13#10'Line two'", "Line one\r\nLine two"},
        {"#233't'", "\u00e9t"},
        {"#128512", "\U0001F600"},
        {"#'a'", "a"},
        {"'a'##'b'", "ab"},
        // A character between the pieces ends a line; the rest is trimmed and starts afresh.
        {"'Name' 'Date'", "Name\rDate"},
        {"'a'  'b'   'c'", "a\rb\rc"},
        {"'a' + 'b'", "a\r\rb"},
        {"  'padded'  ", "padded"},
        {"'a = b'", "a = b"},
        // Faults abort: an open quote, a "#" without a number, a code beyond Unicode.
        {"'open", std::nullopt},
        {"'a' 'open", std::nullopt},
        {"#x", std::nullopt},
        {"#13 'a'", std::nullopt},
        {"#1114112", std::nullopt},
    };
    for (const QuotedCase& c : cases) {
        const std::optional<QString> decoded = DecodeQuotedValue(QString::fromUtf8(c.value));
        if (!c.text) {
            EXPECT_FALSE(decoded.has_value()) << c.value;
            continue;
        }
        ASSERT_TRUE(decoded.has_value()) << c.value;
        EXPECT_EQ(*decoded, QString::fromUtf8(*c.text)) << c.value;
    }
}

TEST(LanguageValue, HumanizedMarkers) {
    const QString bs = QStringLiteral("\\");
    // Equal markers: a carriage return in windows, CR LF in messages.
    EXPECT_EQ(DecodeHumanizedValue("one\\two", bs, bs, ValueContext::Form), "one\rtwo");
    EXPECT_EQ(DecodeHumanizedValue("one\\two", bs, bs, ValueContext::ResourceString), "one\r\ntwo");
    // Different markers: each keeps its meaning wherever it is used.
    for (ValueContext context : {ValueContext::Form, ValueContext::ResourceString})
        EXPECT_EQ(DecodeHumanizedValue("a|b~c", "|", "~", context), "a\rb\r\nc");
    // The carriage-return marker is replaced first, so it wins inside a longer CR LF marker.
    EXPECT_EQ(DecodeHumanizedValue("a\\\\b", bs, "\\\\", ValueContext::Form), "a\r\rb");
    // Quotes and blanks are text as written; an empty marker marks nothing.
    EXPECT_EQ(DecodeHumanizedValue(" 'x' ", bs, bs, ValueContext::Form), " 'x' ");
    EXPECT_EQ(DecodeHumanizedValue("a\\b", "", "", ValueContext::Form), "a\\b");
}

} // namespace
