#pragma once

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class TFAbout;
}

// The about dialog: banner, the three texts of its TAboutBox, an etched separator and two
// lines on the machine's memory. It lives only while TAboutBox::ShowDialog runs.
class TFAbout : public QDialog {
    Q_OBJECT

public:
    explicit TFAbout(QWidget* parent = nullptr);
    ~TFAbout() override;

    // Product name (bold), version and notice, in that order, each label sized to its text.
    void showTexts(const QString& productName, const QString& version, const QString& notice);

private slots:
    void Button1Click();

private:
    // Creation handler: sounds the alert and fills the two memory lines.
    void FormCreate();

    std::unique_ptr<Ui::TFAbout> ui;
};
