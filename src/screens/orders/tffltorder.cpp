#include "screens/orders/tffltorder.h"

#include "data/clienttable.h"
#include "grid/controls/checkedcombobox.h"
#include "grid/controls/datepicker.h"
#include "grid/filtertext.h"
#include "grid/controls/lookupitems.h"
#include "seam/guard.h"
#include "seam/seam.h"
#include "lang/texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kLineBreak = QStringLiteral("\r\n");

} // namespace

Tffltorder::Tffltorder(QWidget *parent)
    : QDialog(parent), cb_status(new TCheckedComboBox(this)),
      lb_client(new QLabel(AppText(102), this)), cb_client(new QComboBox(this)),
      chb_nonzero(new QCheckBox(AppText(103), this)), dt_from(new TDatePicker(this)),
      dt_to(new TDatePicker(this)), btnok(new QPushButton(CommonText(1), this)),
      btncancel(new QPushButton(CommonText(2), this)) {
    setObjectName(QStringLiteral("ffltorder"));
    setWindowTitle(AppText(100));
    cb_status->setObjectName(QStringLiteral("cb_status"));
    cb_status->SetAllValue(CommonText(131));
    cb_status->SetEmptyValue(CommonText(132));
    cb_client->setObjectName(QStringLiteral("cb_client"));
    cb_client->addItem(CommonText(130), 0);
    const QDate today = CurrentSeam().now().date();
    for (TDatePicker *picker : {dt_from, dt_to}) {
        picker->SetChecked(false);
        picker->SetDate(today);
    }
    dt_from->TickBox()->setText(AppText(104));
    dt_to->TickBox()->setText(AppText(105));
    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(AppText(101), this), 0, 0);
    grid->addWidget(cb_status, 0, 1);
    grid->addWidget(lb_client, 1, 0);
    grid->addWidget(cb_client, 1, 1);
    grid->addWidget(chb_nonzero, 2, 0, 1, 2);
    grid->addWidget(dt_from, 3, 0, 1, 2);
    grid->addWidget(dt_to, 4, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(btnok, QDialogButtonBox::AcceptRole);
    buttons->addButton(btncancel, QDialogButtonBox::RejectRole);
    btnok->setDefault(true);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    setMinimumWidth(360);
    connect(btnok, &QPushButton::clicked, this, [this] { RunGuarded([this] { btnokClick(); }); });
    connect(btncancel, &QPushButton::clicked, this, &QDialog::reject);
}

void Tffltorder::FillStatuses(const TClientTable &statuses) {
    if (cb_status->Items().isEmpty())
        cb_status->FillFromTable(statuses, 0, QStringLiteral("STATUSNAME_L"));
}

void Tffltorder::FillClients(TClientTable &users) {
    if (cb_client->count() >= 2)
        return;
    if (!users.Active())
        users.Open();
    const QString order = users.IndexFieldNames();
    users.DisableControls();
    const auto restore = [&] {
        users.SetIndexFieldNames(order);
        users.SetFiltered(false);
        users.SetFilter(QString());
        users.EnableControls();
    };
    try {
        users.SetIndexFieldNames(QStringLiteral("FULLNAME"));
        users.SetFilter(QStringLiteral("USERTYPE=4"));
        users.SetFiltered(true);
        for (const TCheckedItem &item : LookupItems(users, 0, QStringLiteral("FULLNAME")))
            cb_client->addItem(item.text, item.key);
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

void Tffltorder::ClearClients() {
    while (cb_client->count() > 1)
        cb_client->removeItem(cb_client->count() - 1);
    cb_client->setCurrentIndex(0);
}

bool Tffltorder::Execute() {
    lb_client->setVisible(ShowClients);
    cb_client->setVisible(ShowClients);
    adjustSize();
    RememberValues();
    if (exec() == QDialog::Accepted)
        return true;
    RestoreValues();
    return false;
}

void Tffltorder::RememberValues() {
    m_remembered.statuses = cb_status->CheckedPositions();
    m_remembered.client = cb_client->currentIndex();
    m_remembered.nonZero = chb_nonzero->isChecked();
    m_remembered.dates = SaveDateRange(*dt_from, *dt_to);
}

void Tffltorder::RestoreValues() {
    cb_status->RestoreCheckedPositions(m_remembered.statuses);
    cb_client->setCurrentIndex(m_remembered.client);
    chb_nonzero->setChecked(m_remembered.nonZero);
    RestoreDateRange(m_remembered.dates, *dt_from, *dt_to);
}

void Tffltorder::btnokClick() {
    CheckDateRangeOrder(*dt_from, *dt_to);
    accept();
}

TOrderFilterValues Tffltorder::Values() const {
    TOrderFilterValues v;
    v.statusCondition = cb_status->FilterCondition(QStringLiteral("ORDERSTATUS"), true);
    v.nonZeroOnly = chb_nonzero->isChecked();
    v.clientId = ShowClients ? cb_client->currentData().toInt() : 0;
    v.from = dt_from->Picked();
    v.to = dt_to->Picked();
    return v;
}

QString Tffltorder::Description() const {
    QString text = AppText(101) + QStringLiteral(": ") + cb_status->SelectedText() + kLineBreak;
    if (ShowClients)
        text += AppText(102) + QStringLiteral(": ") + cb_client->currentText() + kLineBreak;
    if (chb_nonzero->isChecked())
        text += chb_nonzero->text() + kLineBreak;
    return text + DateRangeLine(AppText(104), dt_from->Picked(), dt_to->Picked());
}
