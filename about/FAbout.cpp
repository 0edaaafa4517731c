#include "FAbout.h"

#include <QPushButton>
#include <cstdint>

#include "Platform.h"
#include "ScreenCentring.h"
#include "TFont.h"
#include "ui_FAbout.h"

namespace {

// Digits of `value` in groups of three, from the right, with `separator` between groups.
QString groupedDigits(std::uint64_t value, const QString& separator) {
    QString digits = QString::number(value);
    for (qsizetype position = digits.size() - 3; position > 0; position -= 3) {
        digits.insert(position, separator);
    }
    return digits;
}

// Bytes in units of 1024, rounded to the nearest whole unit, halves up.
std::uint64_t kilobytes(std::uint64_t bytes) {
    return bytes / 1024 + (bytes % 1024 >= 512 ? 1 : 0);
}

}  // namespace

TFAbout::TFAbout(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TFAbout>()) {
    ui->setupUi(this);
    // A fixed dialog frame with a title bar and its close box, nothing else.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setBackgroundRole(QPalette::Button);
    // The layout's font is seldom installed; a wider face would push the memory figures out of
    // the dialog.
    setFont(TFont::withFallbacks(font()));
    quorbelix::centreOnScreenWhenShown(*this);
    connect(ui->Button1, &QPushButton::clicked, this, &TFAbout::Button1Click);
    FormCreate();
}

TFAbout::~TFAbout() = default;

void TFAbout::showTexts(const QString& productName, const QString& version, const QString& notice) {
    ui->Label1->setText(productName);
    ui->Label2->setText(version);
    ui->Label3->setText(notice);
    ui->Label1->adjustSize();
    ui->Label2->adjustSize();
    ui->Label3->adjustSize();
}

void TFAbout::Button1Click() {
    close();
}

void TFAbout::FormCreate() {
    quorbelix::Platform& machine = quorbelix::platform();
    machine.beep();
    const quorbelix::MemoryStatus memory = machine.memoryStatus();
    // The total is a 64-bit figure: machines with more than 4 GiB are the rule.
    ui->lblPhysMem->setText(tr("Mémoire physique totale : %1 Ko")
                                .arg(groupedDigits(kilobytes(memory.totalPhysicalBytes),
                                                   machine.thousandsSeparator())));
    // The line speaks of what is free, so it shows the share not in use.
    ui->lblPhysRes->setText(
        tr("Ressources système      : %1% libre.").arg(100 - memory.memoryLoadPercent()));
    ui->lblPhysMem->adjustSize();
    ui->lblPhysRes->adjustSize();
}
