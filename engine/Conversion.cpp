#include "Conversion.h"

#include <charconv>

namespace quorbelix {

namespace {

// U+FFFD in UTF-8: stands for a character that cannot be shown.
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// `text` as the message can show it: each control character (C0, DEL, and C1 in its UTF-8 form)
// becomes U+FFFD. A NUL in particular would end what() early.
std::string visibleText(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const bool c1 = byte == 0xC2 && i + 1 < text.size() &&
                        static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (byte < 0x20 || byte == 0x7F) {
            shown.append(kReplacement);
        } else if (c1) {
            shown.append(kReplacement);
            ++i;
        } else {
            shown.push_back(text[i]);
        }
    }
    return shown;
}

std::string conversionMessage(std::string_view text) {
    std::string message = "'";
    message.append(visibleText(text));
    message.append("' n'est pas une valeur entière correcte");
    return message;
}

constexpr std::size_t kMaxHexDigits = 8;

bool isHexPrefix(std::string_view rest, std::size_t& length) {
    if (rest.starts_with('$') || rest.starts_with('x') || rest.starts_with('X')) {
        length = 1;
        return true;
    }
    if (rest.starts_with("0x") || rest.starts_with("0X")) {
        length = 2;
        return true;
    }
    return false;
}

// Digits only (from_chars takes no sign for an unsigned value); fails unless all are read.
bool parseAll(std::string_view digits, int base, std::uint64_t& value) {
    if (digits.empty()) {
        return false;
    }
    const auto* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value, base);
    return error == std::errc{} && stop == end;
}

}  // namespace

ConversionError::ConversionError(std::string_view text)
    : std::runtime_error(conversionMessage(text)), text_(text) {}

std::int32_t textToInteger(std::string_view text) {
    std::string_view rest = text;
    while (rest.starts_with(' ')) {
        rest.remove_prefix(1);
    }
    bool negative = false;
    if (rest.starts_with('-') || rest.starts_with('+')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }

    std::uint64_t magnitude = 0;
    std::size_t prefix = 0;
    if (isHexPrefix(rest, prefix)) {
        rest.remove_prefix(prefix);
        if (rest.size() > kMaxHexDigits || !parseAll(rest, 16, magnitude)) {
            throw ConversionError(text);
        }
        // Eight hexadecimal digits are a 32-bit pattern: above 7FFFFFFF is negative.
        const auto bits = static_cast<std::uint32_t>(magnitude);
        return static_cast<std::int32_t>(negative ? 0u - bits : bits);
    }

    constexpr std::uint64_t kLimit = std::uint64_t{1} << 31;
    if (!parseAll(rest, 10, magnitude) || magnitude > (negative ? kLimit : kLimit - 1)) {
        throw ConversionError(text);
    }
    const auto value = static_cast<std::int64_t>(magnitude);
    return static_cast<std::int32_t>(negative ? -value : value);
}

}  // namespace quorbelix
