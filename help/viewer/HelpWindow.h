#pragma once

#include <QMainWindow>

#include <memory>

class HelpBook;
class HelpBrowser;
class QLabel;
class QLineEdit;
class QListWidget;
class QTabWidget;
class QTreeWidget;

// The help window: a navigation pane (contents, index, search) beside the page view, with
// Back, Forward, Home and Print on its tool bar. It is a top-level window of its own, not
// owned by the window that asked for help.
class HelpWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit HelpWindow(std::unique_ptr<HelpBook> book);
    ~HelpWindow() override;

    const HelpBook& book() const { return *book_; }
    HelpBrowser* browser() const { return browser_; }
    QTreeWidget* contentsTree() const { return contents_; }
    QListWidget* indexList() const { return index_; }
    QLineEdit* searchEdit() const { return searchEdit_; }
    QListWidget* searchResults() const { return searchResults_; }

    // Shows the help file's default topic.
    void showHome();
    // Lists the pages that hold the words of the search box.
    void runSearch();

private:
    QWidget* createContentsPane();
    QWidget* createIndexPane();
    QWidget* createSearchPane();
    void createToolBar();
    void selectIndexEntry(const QString& typed);
    void showEntryPage(const QVariant& url);
    void printPage();

    std::unique_ptr<HelpBook> book_;
    HelpBrowser* browser_;
    QTabWidget* panes_;
    QTreeWidget* contents_;
    QLineEdit* indexEdit_;
    QListWidget* index_;
    QLineEdit* searchEdit_;
    QListWidget* searchResults_;
    QLabel* searchStatus_;
};
