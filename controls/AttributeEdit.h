#pragma once

#include <QLatin1String>
#include <QString>
#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <utility>

// Helpers shared by the owned font, pen and brush objects.
namespace quorbelix {

// `attributes` with one of them replaced: the objects compare whole sets of attributes, so that
// they notify their owner once for a change and never for a value they already hold.
template <typename Attributes, typename Value, typename Given>
Attributes withAttribute(Attributes attributes, Value Attributes::*member, Given&& value) {
    attributes.*member = std::forward<Given>(value);
    return attributes;
}

// A word of a form-file text and the value it stands for.
template <typename Value>
using AttributeWord = std::pair<const char*, Value>;

// The value that `field` (trimmed, lower case) stands for among `words`, if any.
template <typename Value, std::size_t Count>
std::optional<Value> valueOfWord(const std::array<AttributeWord<Value>, Count>& words,
                                 const QString& field) {
    const auto found = std::find_if(words.begin(), words.end(), [&](const auto& word) {
        return field == QLatin1String(word.first);
    });
    if (found == words.end()) {
        return std::nullopt;
    }
    return found->second;
}

}  // namespace quorbelix
