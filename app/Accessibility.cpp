#include "Accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QLabel>

namespace quorbelix {

namespace {

QAccessibleInterface* decorativeWidget(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget != nullptr && widget->property("decorative").toBool()) {
        return new QAccessibleWidget(widget, QAccessible::Separator);
    }
    return nullptr;
}

}  // namespace

void installAccessibility() {
    QAccessible::installFactory(decorativeWidget);
}

void showAnnouncedText(QLabel& label, const QString& what, const QString& text) {
    label.setText(text);
    QString spoken = text;
    spoken.replace(QLatin1Char('\n'), QStringLiteral(", "));
    // setAccessibleName sends the name-change event itself.
    label.setAccessibleName(
        text.isEmpty() ? what
                       : QCoreApplication::translate("Accessibility", "%1 : %2").arg(what, spoken));
}

}  // namespace quorbelix
