#pragma once

#include <QTextBrowser>

class HelpBook;

// The page view of the help window: pages, style sheets and images come from the help file;
// links to other sites open in the desktop's browser.
class HelpBrowser : public QTextBrowser {
    Q_OBJECT

public:
    HelpBrowser(const HelpBook& book, QWidget* parent = nullptr);

    QVariant loadResource(int type, const QUrl& name) override;

private:
    void followLink(const QUrl& url);

    const HelpBook& book_;
};
