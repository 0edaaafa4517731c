#include "Favourites.h"

#include "HelpBook.h"

#include <QSettings>

namespace htmlhelp {
namespace {

const QString Group = QStringLiteral("aide/favoris");
const QString TitleKey = QStringLiteral("titre");
const QString UrlKey = QStringLiteral("adresse");

// The settings file is the player's to edit: a hand-written list stays this long at most.
constexpr int MaxTopics = 1000;

}  // namespace

Favourites Favourites::load() {
    Favourites favourites;
    QSettings settings;
    const int count = std::min(settings.beginReadArray(Group), MaxTopics);
    for (int row = 0; row < count; ++row) {
        settings.setArrayIndex(row);
        const QUrl url(settings.value(UrlKey).toString());
        if (url.scheme() == HelpBook::Scheme) {
            favourites.add({settings.value(TitleKey).toString(), url});
        }
    }
    settings.endArray();
    return favourites;
}

void Favourites::save() const {
    QSettings settings;
    settings.remove(Group);
    settings.beginWriteArray(Group, int(topics_.size()));
    for (int row = 0; row < topics_.size(); ++row) {
        settings.setArrayIndex(row);
        settings.setValue(TitleKey, topics_[row].title);
        settings.setValue(UrlKey, topics_[row].url.toString());
    }
    settings.endArray();
}

bool Favourites::add(const Topic& topic) {
    for (const Topic& kept : topics_) {
        if (kept.url == topic.url) {
            return false;
        }
    }
    topics_.append(topic);
    return true;
}

void Favourites::remove(qsizetype row) {
    if (row >= 0 && row < topics_.size()) {
        topics_.removeAt(row);
    }
}

}  // namespace htmlhelp
