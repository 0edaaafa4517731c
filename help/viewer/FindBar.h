#pragma once

#include <QStringList>
#include <QTextEdit>
#include <QWidget>

#include <utility>
#include <vector>

class QLabel;
class QLineEdit;
class QTextBrowser;
class QToolButton;

namespace htmlhelp {

// The bar under the page that finds text in it, ignoring case and accents as search does: every
// match highlighted, the current one distinctly, and the words of a search shown in the page.
class FindBar : public QWidget {
    Q_OBJECT
public:
    explicit FindBar(QTextBrowser* browser, QWidget* parent = nullptr);

    // Shows the bar and puts the typing into its field. Hiding it (Esc) clears the highlights.
    void open();
    void findNext();
    void findPrevious();
    // Highlights every occurrence of terms (words or phrases found by a search) at the start of
    // a word in the page shown, and scrolls to the first.
    void highlightTerms(const QStringList& terms);

    QLineEdit* field() const { return field_; }
    QLabel* count() const { return count_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void find();
    void showCurrent();
    void paint();
    void clearMatches();

    QTextBrowser* browser_;
    QLineEdit* field_;
    QLabel* count_;
    std::vector<std::pair<int, int>> matches_;  // start and end in the document
    qsizetype current_ = -1;
};

}  // namespace htmlhelp
