#pragma once

#include <QLatin1String>
#include <QMetaEnum>
#include <QObject>
#include <QString>
#include <QStringView>
#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <utility>

#include "Colour.h"

// What the owned font, pen and brush objects share: a set of attributes that changes as a whole,
// and the reading of their form-file texts.
namespace quorbelix {

// Warns that the form-file text `text` of `object` holds `word`, which it does not know. The
// warning names the control that owns the object and the control's property that holds it, so
// that a typo in a form file can be found.
void warnUnknownWord(const QObject& object, QStringView word, QStringView text);

// The attributes of an owned object, held for `Owner` (the object), which has a changed() signal.
// They are compared as a whole, so that the owner notifies once for a change and never for a value
// it already holds.
template <typename Owner, typename Attributes>
class AttributeSet {
public:
    explicit AttributeSet(Owner& owner, const Attributes& initial = {})
        : owner_(owner), values_(initial) {}
    AttributeSet(const AttributeSet&) = delete;
    AttributeSet& operator=(const AttributeSet&) = delete;

    const Attributes& values() const { return values_; }

    void apply(const Attributes& values) {
        if (values == values_) {
            return;
        }
        values_ = values;
        emit owner_.changed();
    }

    template <typename Value, typename Given>
    void set(Value Attributes::*member, Given&& value) {
        Attributes changed = values_;
        changed.*member = std::forward<Given>(value);
        apply(changed);
    }

    // Reads a form-file text: comma-separated fields, each trimmed; empty fields are skipped.
    // `readField(read, field, index)` reads the field at `index` into `read` and answers false for
    // a field it does not know. Such a field is reported as a warning of the category
    // quorbelix.forms and the attributes are then all kept, so that a typo costs one setting, never
    // the program's start.
    template <typename ReadField>
    void read(const QString& text, ReadField readField) {
        Attributes read = values_;
        const QStringList fields = text.split(u',');
        for (qsizetype index = 0; index < fields.size(); ++index) {
            const QString field = fields[index].trimmed();
            if (!field.isEmpty() && !readField(read, field, index)) {
                warnUnknownWord(owner_, field, text);
                return;
            }
        }
        apply(read);
    }

private:
    Owner& owner_;
    Attributes values_;
};

// A word of a form-file text and the value it stands for.
template <typename Value>
using AttributeWord = std::pair<const char*, Value>;

// The value that `field` stands for among `words` (letter case ignored), if any.
template <typename Value, std::size_t Count>
std::optional<Value> valueOfWord(const std::array<AttributeWord<Value>, Count>& words,
                                 QStringView field) {
    const auto found = std::find_if(words.begin(), words.end(), [&](const auto& word) {
        return field.compare(QLatin1String(word.first), Qt::CaseInsensitive) == 0;
    });
    if (found == words.end()) {
        return std::nullopt;
    }
    return found->second;
}

// Reads a colour name of a form-file text into `colour`; false for a name Colour does not know.
inline bool readColour(Colour& colour, QStringView name) {
    const std::optional<Colour> named = Colour::fromName(name);
    if (named) {
        colour = *named;
    }
    return named.has_value();
}

// The value of `Enum` whose name without its two-letter prefix is `word`, letter case ignored:
// TPen::psDashDot for "dashdot".
template <typename Enum>
std::optional<Enum> enumOfWord(QStringView word) {
    const QMetaEnum type = QMetaEnum::fromType<Enum>();
    for (int index = 0; index < type.keyCount(); ++index) {
        const QLatin1StringView name(type.key(index));
        if (word.compare(name.sliced(std::min<qsizetype>(2, name.size())), Qt::CaseInsensitive) ==
            0) {
            return static_cast<Enum>(type.value(index));
        }
    }
    return std::nullopt;
}

// The colour named by the form-file text of `property` of `control`. A name Colour does not know
// is reported as a warning of the category quorbelix.forms, naming the control, the property and
// the name, and gives nothing.
std::optional<Colour> colourOfFormText(const QObject& control, const char* property,
                                       QStringView name);

}  // namespace quorbelix
