#pragma once

#include "Favourites.h"

#include <QMainWindow>

#include <memory>

class QLabel;
class QLineEdit;
class QListWidget;
class QSplitter;
class QTabWidget;
class QTreeWidget;
class QTextDocument;

namespace htmlhelp {

class FindBar;
class HelpBook;
class HelpBrowser;
class SearchPane;

// The help window: a navigation pane (contents, index, search, favourites) beside the page view,
// with Back, Forward, Home, Print and Add to favourites on its tool bar. It is a top-level window
// of its own, not owned by the window that asked for help. Its place, size, pane width, tab, text
// size and favourites are kept in the program's settings between runs.
class HelpWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit HelpWindow(std::unique_ptr<HelpBook> book);
    ~HelpWindow() override;

    const HelpBook& book() const { return *book_; }
    HelpBrowser* browser() const { return browser_; }
    QTreeWidget* contentsTree() const { return contents_; }
    QListWidget* indexList() const { return index_; }
    SearchPane* searchPane() const { return searchPane_; }
    FindBar* findBar() const { return findBar_; }
    QLineEdit* indexEdit() const { return indexEdit_; }
    QListWidget* favouritesList() const { return favouritesList_; }
    QTabWidget* panes() const { return panes_; }

    // Puts the window, before it is first shown, where it was last time if that still fits the
    // screen, otherwise beside the game's window (see placeHelpWindow).
    void placeOnScreen();
    // Adds the topic shown to the favourites.
    void addFavourite();
    // Prints the topic shown, or it and every topic under it in the contents.
    void print(bool withSubtopics);
    // The chapter chosen in the contents and every page under it, each once and from a new
    // sheet, as one document to print.
    std::unique_ptr<QTextDocument> subtopicsDocument() const;

    // Shows the help file's default topic.
    void showHome();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* createContentsPane();
    QWidget* createIndexPane();
    QWidget* createPageView();
    void createToolBar();
    void selectIndexEntry(const QString& typed);
    void showEntryPage(const QVariant& url);
    // Marks the chapter of the page shown in the table of contents.
    void showInContents(const QUrl& url);
    QWidget* createFavouritesPane();
    void printPage();
    void showIndexEntry();
    void showFavourites();
    void nameForAccessibility();
    void saveSettings() const;
    void restoreSettings();

    std::unique_ptr<HelpBook> book_;
    HelpBrowser* browser_;
    QTabWidget* panes_;
    QTreeWidget* contents_;
    QLineEdit* indexEdit_;
    QListWidget* index_;
    SearchPane* searchPane_;
    FindBar* findBar_;
    QListWidget* favouritesList_;
    QSplitter* splitter_;
    htmlhelp::Favourites favourites_;
    QRect placedFrame_;  // where placeOnScreen put the frame, until the frame's size is known
};

}  // namespace htmlhelp
