#include "AttributeSet.h"

#include <QLoggingCategory>
#include <QMetaProperty>
#include <QWidget>

namespace quorbelix {
namespace {

// Mistakes in form files: QT_LOGGING_RULES="quorbelix.forms.warning=false" silences them.
Q_LOGGING_CATEGORY(formFiles, "quorbelix.forms")

// "TAlignEdit "AlignEdit1" in "Form1", property FontOnNoFocus": where a form file sets the value.
QString placeOf(const QObject& control, QLatin1StringView property) {
    QString place = QLatin1StringView(control.metaObject()->className());
    if (!control.objectName().isEmpty()) {
        place += QStringLiteral(" \"%1\"").arg(control.objectName());
    }
    if (const auto* widget = qobject_cast<const QWidget*>(&control);
        widget != nullptr && widget->window() != widget) {
        place += QStringLiteral(" in \"%1\"").arg(widget->window()->objectName());
    }
    if (!property.isEmpty()) {
        place += QStringLiteral(", property %1").arg(property);
    }
    return place;
}

// The property of `owner` that holds `owned`, if there is one.
QLatin1StringView propertyHolding(const QObject& owner, const QObject& owned) {
    const QMetaObject* type = owner.metaObject();
    for (int index = 0; index < type->propertyCount(); ++index) {
        const QMetaProperty property = type->property(index);
        if (property.metaType().flags().testFlag(QMetaType::PointerToQObject) &&
            property.read(&owner).value<QObject*>() == &owned) {
            return QLatin1StringView(property.name());
        }
    }
    return {};
}

void warnUnknown(const QString& place, QStringView word, QStringView text) {
    qCWarning(formFiles).noquote()
        << QStringLiteral("%1: unknown word \"%2\" in \"%3\"; the value is kept")
               .arg(place, word, text);
}

}  // namespace

void warnUnknownWord(const QObject& object, QStringView word, QStringView text) {
    // Owned objects are set through a property of their control; a free one speaks for itself.
    const QObject* owner = object.parent();
    const QString place =
        owner != nullptr ? placeOf(*owner, propertyHolding(*owner, object)) : placeOf(object, {});
    warnUnknown(place, word, text);
}

std::optional<Colour> colourOfFormText(const QObject& control, const char* property,
                                       QStringView name) {
    const std::optional<Colour> colour = Colour::fromName(name);
    if (!colour) {
        warnUnknown(placeOf(control, QLatin1StringView(property)), name.trimmed(), name);
    }
    return colour;
}

}  // namespace quorbelix
