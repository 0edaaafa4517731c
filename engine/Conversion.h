#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quorbelix {

// A text that is not a valid 32-bit integer; what() names the text, in French, with its control
// characters shown as U+FFFD (the text itself is in UTF-8); text() keeps it as it was.
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(std::string_view text);

    const std::string& text() const noexcept { return text_; }

private:
    std::string text_;
};

// Leading blanks (code 32), optional sign, then decimal digits, or a prefix "$", "x",
// "X", "0x" or "0X" and up to eight hexadecimal digits (above 7FFFFFFF reading as
// negative). Nothing may follow. Throws ConversionError otherwise.
std::int32_t textToInteger(std::string_view text);

}  // namespace quorbelix
