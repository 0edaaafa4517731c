#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "Conversion.h"

namespace quorbelix {
namespace {

TEST(Conversion, AcceptsDecimalTexts) {
    EXPECT_EQ(textToInteger("0"), 0);
    EXPECT_EQ(textToInteger("00"), 0);
    EXPECT_EQ(textToInteger("042"), 42);
    EXPECT_EQ(textToInteger("100"), 100);
    EXPECT_EQ(textToInteger("   7"), 7);
    EXPECT_EQ(textToInteger("+5"), 5);
    EXPECT_EQ(textToInteger(" -5"), -5);
    EXPECT_EQ(textToInteger("-0"), 0);
    EXPECT_EQ(textToInteger("2147483647"), 2147483647);
    EXPECT_EQ(textToInteger("+2147483647"), 2147483647);
    EXPECT_EQ(textToInteger("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(textToInteger("00000000000000000012"), 12);
}

TEST(Conversion, AcceptsHexadecimalTexts) {
    EXPECT_EQ(textToInteger("$1F"), 31);
    EXPECT_EQ(textToInteger("x1f"), 31);
    EXPECT_EQ(textToInteger("X1F"), 31);
    EXPECT_EQ(textToInteger("0x1F"), 31);
    EXPECT_EQ(textToInteger("0XaB"), 171);
    EXPECT_EQ(textToInteger("  $FF"), 255);
    EXPECT_EQ(textToInteger("-$10"), -16);
    EXPECT_EQ(textToInteger("+0x10"), 16);
    EXPECT_EQ(textToInteger("$00000001"), 1);
    // Eight digits are a 32-bit pattern: above 7FFFFFFF they read as negative.
    EXPECT_EQ(textToInteger("$7FFFFFFF"), 2147483647);
    EXPECT_EQ(textToInteger("$80000000"), -2147483647 - 1);
    EXPECT_EQ(textToInteger("$FFFFFFFF"), -1);
    EXPECT_EQ(textToInteger("-$FFFFFFFF"), 1);
}

TEST(Conversion, RejectsEverythingElse) {
    for (const char* text : {"",
                             " ",
                             "-",
                             "+",
                             "$",
                             "x",
                             "0x",
                             "-$",
                             "12a",
                             "1 ",
                             " 1 ",
                             "\t1",
                             "1\r",
                             "1.5",
                             "1,000",
                             "1e3",
                             "--1",
                             "+-1",
                             "- 1",
                             "-+1",
                             "$-1",
                             "0x+1",
                             "$ 1",
                             "2147483648",
                             "-2147483649",
                             "99999999999999999999",
                             "$123456789",
                             "$G",
                             "0b1",
                             "\xC2\xA0"
                             "1"}) {
        EXPECT_THROW(textToInteger(text), ConversionError) << '"' << text << '"';
    }
}

TEST(Conversion, ErrorNamesTheTextInFrench) {
    try {
        textToInteger(" 12a");
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "' 12a' n'est pas une valeur entière correcte");
        ASSERT_NE(dynamic_cast<const ConversionError*>(&error), nullptr);
        EXPECT_EQ(dynamic_cast<const ConversionError&>(error).text(), " 12a");
    }
}

}  // namespace
}  // namespace quorbelix
