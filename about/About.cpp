#include "About.h"

#include "FAbout.h"
#include "Platform.h"

namespace {

// The first MaxTextLength characters of `text`. A character outside the Basic Multilingual
// Plane takes two UTF-16 units and is kept or dropped whole.
QString firstCharacters(const QString& text) {
    qsizetype end = 0;
    for (int kept = 0; kept < TAboutBox::MaxTextLength && end < text.size(); ++kept) {
        const bool pair = text.at(end).isHighSurrogate() && end + 1 < text.size() &&
                          text.at(end + 1).isLowSurrogate();
        end += pair ? 2 : 1;
    }
    return text.first(end);
}

// Stores the cut text and tells whether it changed.
bool assign(QString& field, const QString& text) {
    QString cut = firstCharacters(text);
    if (cut == field) {
        return false;
    }
    field = std::move(cut);
    return true;
}

}  // namespace

TAboutBox::TAboutBox(QObject* owner) : QObject(owner), copyright_(tr("Tous droits réservés.")) {}

TAboutBox::~TAboutBox() = default;

void TAboutBox::setProductName(const QString& productName) {
    if (assign(productName_, productName)) {
        emit productNameChanged(productName_);
    }
}

void TAboutBox::setVersion(const QString& version) {
    if (assign(version_, version)) {
        emit versionChanged(version_);
    }
}

void TAboutBox::setCopyright(const QString& copyright) {
    if (assign(copyright_, copyright)) {
        emit copyrightChanged(copyright_);
    }
}

std::unique_ptr<TFAbout> TAboutBox::createDialog() const {
    return std::make_unique<TFAbout>();
}

void TAboutBox::ShowDialog() {
    std::unique_ptr<TFAbout> dialog;
    try {
        dialog = createDialog();
    } catch (...) {
        // Nothing to show: the user hears that the command did not work, and the game goes on.
        quorbelix::platform().beep();
        return;
    }
    dialog->showTexts(productName_, version_, copyright_);
    // The dialog is freed when the modal loop ends, also when an exception leaves it.
    dialog->exec();
}
