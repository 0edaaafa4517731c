#pragma once

#include <QList>
#include <QString>
#include <QUrl>

namespace htmlhelp {

// The topics the player keeps in the help window's Favoris tab, in the order added, remembered
// in the program's settings between runs.
class Favourites {
public:
    struct Topic {
        QString title;
        QUrl url;
    };

    // The topics saved by an earlier run; addresses outside the help files are dropped.
    static Favourites load();
    void save() const;

    const QList<Topic>& topics() const { return topics_; }
    // Adds a topic at the end; false (and nothing added) when it is already there.
    bool add(const Topic& topic);
    void remove(qsizetype row);

private:
    QList<Topic> topics_;
};

}  // namespace htmlhelp
