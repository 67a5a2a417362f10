#include "output/report/tfrextprd.h"

#include "lang/texts.h"
#include "output/report/pageselection.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

int numberOr(const QLineEdit *edit, int fallback) {
    bool ok = false;
    const int value = edit->text().toInt(&ok);
    return ok ? value : fallback;
}

} // namespace

Tfrextprd::Tfrextprd(int pageCount, QWidget *parent)
    : QDialog(parent), labprinter(new QLabel(CommonText(90), this)),
      rball(new QRadioButton(CommonText(83), this)),
      rbselection(new QRadioButton(CommonText(84), this)),
      rbpages(new QRadioButton(CommonText(85), this)),
      labselection(new QLabel(CommonText(86), this)), labfrom(new QLabel(CommonText(88), this)),
      labto(new QLabel(CommonText(89), this)),
      edselection(new QLineEdit(QStringLiteral("1-%1").arg(pageCount), this)),
      edfrom(new QLineEdit(QStringLiteral("1"), this)),
      edto(new QLineEdit(QString::number(pageCount), this)),
      edcopies(new QLineEdit(QStringLiteral("1"), this)),
      btnok(new QPushButton(CommonText(1), this)), btncancel(new QPushButton(CommonText(2), this)) {
    setObjectName(QStringLiteral("frextprd"));
    setWindowTitle(CommonText(80));
    // Numbers accept digits only; the selection also "-" and ",".
    const QRegularExpression digits(QStringLiteral("[0-9]*"));
    for (QLineEdit *edit : {edfrom, edto, edcopies})
        edit->setValidator(new QRegularExpressionValidator(digits, edit));
    edselection->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9,\\-]*")), edselection));
    labselection->setBuddy(edselection);
    labfrom->setBuddy(edfrom);
    labto->setBuddy(edto);

    auto *printer = new QGroupBox(CommonText(81), this);
    (new QVBoxLayout(printer))->addWidget(labprinter);
    auto *range = new QGroupBox(CommonText(82), this);
    auto *grid = new QGridLayout(range);
    grid->addWidget(rball, 0, 0);
    grid->addWidget(rbselection, 1, 0);
    grid->addWidget(labselection, 1, 1);
    grid->addWidget(edselection, 1, 2, 1, 3);
    grid->addWidget(rbpages, 2, 0);
    grid->addWidget(labfrom, 2, 1);
    grid->addWidget(edfrom, 2, 2);
    grid->addWidget(labto, 2, 3);
    grid->addWidget(edto, 2, 4);
    auto *copies = new QLabel(CommonText(87), this);
    copies->setBuddy(edcopies);
    auto *copiesRow = new QHBoxLayout;
    copiesRow->addWidget(copies);
    copiesRow->addWidget(edcopies);
    copiesRow->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnok);
    buttons->addWidget(btncancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(printer);
    layout->addWidget(range);
    layout->addLayout(copiesRow);
    layout->addLayout(buttons);
    btnok->setDefault(true);

    auto *group = new QButtonGroup(this);
    for (QRadioButton *button : {rball, rbselection, rbpages})
        group->addButton(button);
    rball->setChecked(true);
    connect(group, &QButtonGroup::buttonToggled, this, [this] { rangeChanged(); });
    connect(btnok, &QPushButton::clicked, this, &QDialog::accept);
    connect(btncancel, &QPushButton::clicked, this, &QDialog::reject);
    rangeChanged();
}

void Tfrextprd::SetPrinter(const QString &name, const QString &port) {
    labprinter->setText(port.isEmpty() ? name : name + QStringLiteral(": ") + port);
}

void Tfrextprd::rangeChanged() {
    const bool all = rball->isChecked();
    const bool selection = rbselection->isChecked();
    for (QWidget *w : {static_cast<QWidget *>(labselection), static_cast<QWidget *>(edselection)}) {
        w->setVisible(all || selection);
        w->setEnabled(selection);
    }
    for (QWidget *w : {static_cast<QWidget *>(labfrom), static_cast<QWidget *>(edfrom),
                       static_cast<QWidget *>(labto), static_cast<QWidget *>(edto)}) {
        w->setVisible(all || rbpages->isChecked());
        w->setEnabled(rbpages->isChecked());
    }
}

QList<int> Tfrextprd::Pages(int pageCount) const {
    if (rbselection->isChecked())
        return ParsePageSelection(edselection->text(), pageCount);
    int from = 1, to = pageCount;
    if (rbpages->isChecked()) {
        from = std::max(1, numberOr(edfrom, 1));
        to = std::min(pageCount, numberOr(edto, pageCount));
    }
    QList<int> pages;
    for (int page = from; page <= to; ++page)
        pages.append(page);
    return pages;
}

int Tfrextprd::Copies() const {
    return std::max(1, numberOr(edcopies, 1));
}
