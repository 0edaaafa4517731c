#include <gtest/gtest.h>

#include <stdexcept>
#include <string_view>
#include <utility>

#include "Conversion.h"

namespace quorbelix {
namespace {

constexpr std::int32_t kMin = -2147483647 - 1;

TEST(Conversion, AcceptsDecimalAndHexadecimalTexts) {
    // Eight hexadecimal digits are a 32-bit pattern: above 7FFFFFFF they read as negative.
    // clang-format off
    const std::pair<const char*, std::int32_t> accepted[] = {
        {"0", 0}, {"00", 0}, {"042", 42}, {"   7", 7}, {"+5", 5}, {" -5", -5}, {"-0", 0},
        {"2147483647", 2147483647}, {"+2147483647", 2147483647}, {"-2147483648", kMin},
        {"00000000000000000012", 12}, {"$1F", 31}, {"x1f", 31}, {"X1F", 31}, {"0x1F", 31},
        {"0XaB", 171}, {"  $FF", 255}, {"-$10", -16}, {"+0x10", 16}, {"$00000001", 1},
        {"$7FFFFFFF", 2147483647}, {"$80000000", kMin}, {"$FFFFFFFF", -1}, {"-$FFFFFFFF", 1}};
    // clang-format on
    for (const auto& [text, value] : accepted) {
        EXPECT_EQ(textToInteger(text), value) << '"' << text << '"';
    }
}

TEST(Conversion, RejectsEverythingElse) {
    for (const char* text :
         {"",           " ",     "-",   "+",          "$",           "x",
          "0x",         "-$",    "12a", "1 ",         "\t1",         "1\r",
          "1.5",        "1,000", "1e3", "--1",        "+-1",         "- 1",
          "$-1",        "0x+1",  "$ 1", "2147483648", "-2147483649", "99999999999999999999",
          "$123456789", "$G",    "0b1", "\u00A01"}) {
        EXPECT_THROW(textToInteger(text), ConversionError) << '"' << text << '"';
    }
    try {
        textToInteger(" 12a");
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "' 12a' n'est pas une valeur entière correcte");
    }
}

TEST(Conversion, TheMessageShowsTheWholeTextWithItsControlCharactersVisible) {
    // A NUL, a tab, DEL and the C1 control U+0085 amid UTF-8 text.
    using namespace std::string_view_literals;
    const std::string_view text =
        "5\0"
        "5\t\x7F\u0085é"sv;
    try {
        textToInteger(text);
        FAIL() << "no error";
    } catch (const ConversionError& error) {
        EXPECT_STREQ(error.what(),
                     "'5\uFFFD5\uFFFD\uFFFD\uFFFDé' n'est pas une valeur entière correcte");
        EXPECT_EQ(error.text(), text);
    }
}

}  // namespace
}  // namespace quorbelix
