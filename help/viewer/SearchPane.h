#pragma once

#include <QStringList>
#include <QUrl>
#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QTimer;

namespace htmlhelp {

class HelpBook;

// The search tab of the help window: the list of topics holding the words typed, the most
// relevant first, refreshed shortly after each change of the words.
class SearchPane : public QWidget {
    Q_OBJECT
public:
    explicit SearchPane(const HelpBook& book, QWidget* parent = nullptr);

    QLineEdit* queryEdit() const { return query_; }
    QListWidget* results() const { return results_; }
    QLabel* status() const { return status_; }
    // Lists the pages for the words of the field now, without waiting for the typing to stop.
    void runSearch();

signals:
    // A result was opened: the window shows url and highlights terms in it.
    void topicChosen(const QUrl& url, const QStringList& terms);

private:
    void choose(const QListWidgetItem* item);

    const HelpBook& book_;
    QLineEdit* query_;
    QListWidget* results_;
    QLabel* status_;
    QTimer* delay_;
};

}  // namespace htmlhelp
