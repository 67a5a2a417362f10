#include "screens/users/tffltuser.h"

#include "data/clienttable.h"
#include "grid/controls/checkedcombobox.h"
#include "grid/controls/datepicker.h"
#include "grid/filtertext.h"
#include "seam/guard.h"
#include "seam/seam.h"
#include "lang/texts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kLineBreak = QStringLiteral("\r\n");

} // namespace

Tffltuser::Tffltuser(QWidget *parent)
    : QDialog(parent), cb_type(new TCheckedComboBox(this)), cb_level(new TCheckedComboBox(this)),
      chb_active(new QCheckBox(AppText(123), this)), chb_debtors(new QCheckBox(AppText(126), this)),
      dt_from(new TDatePicker(this)), dt_to(new TDatePicker(this)),
      btnok(new QPushButton(CommonText(1), this)), btncancel(new QPushButton(CommonText(2), this)) {
    setObjectName(QStringLiteral("ffltuser"));
    setWindowTitle(AppText(120));
    cb_type->setObjectName(QStringLiteral("cb_type"));
    cb_level->setObjectName(QStringLiteral("cb_level"));
    for (TCheckedComboBox *list : {cb_type, cb_level}) {
        list->SetAllValue(CommonText(131));
        list->SetEmptyValue(CommonText(132));
    }
    const QDate today = CurrentSeam().now().date();
    for (TDatePicker *picker : {dt_from, dt_to}) {
        picker->SetChecked(false);
        picker->SetDate(today);
    }
    dt_from->TickBox()->setText(AppText(124));
    dt_to->TickBox()->setText(AppText(125));
    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(AppText(121), this), 0, 0);
    grid->addWidget(cb_type, 0, 1);
    grid->addWidget(new QLabel(AppText(122), this), 1, 0);
    grid->addWidget(cb_level, 1, 1);
    grid->addWidget(chb_active, 2, 0, 1, 2);
    grid->addWidget(chb_debtors, 3, 0, 1, 2);
    grid->addWidget(dt_from, 4, 0, 1, 2);
    grid->addWidget(dt_to, 5, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(btnok, QDialogButtonBox::AcceptRole);
    buttons->addButton(btncancel, QDialogButtonBox::RejectRole);
    btnok->setDefault(true);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    setMinimumWidth(380);
    connect(btnok, &QPushButton::clicked, this, [this] { RunGuarded([this] { btnokClick(); }); });
    connect(btncancel, &QPushButton::clicked, this, &QDialog::reject);
}

void Tffltuser::FillTypes(TClientTable &types, int signedInType) {
    if (!cb_type->Items().isEmpty())
        return;
    if (signedInType == 1) {
        cb_type->FillFromTable(types, 0, QStringLiteral("TYPENAME_L"));
        return;
    }
    const QString filter = types.Filter();
    const bool filtered = types.Filtered();
    const auto restore = [&] {
        types.SetFilter(filter);
        types.SetFiltered(filtered);
    };
    try {
        types.SetFilter(QStringLiteral("IDUSERTYPE<>1"));
        types.SetFiltered(true);
        cb_type->FillFromTable(types, 0, QStringLiteral("TYPENAME_L"));
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

void Tffltuser::FillLevels(const TClientTable &levels) {
    if (cb_level->Items().isEmpty())
        cb_level->FillFromTable(levels, 0, QStringLiteral("LEVELNAME_L"));
}

bool Tffltuser::Execute() {
    adjustSize();
    remember();
    if (exec() == QDialog::Accepted)
        return true;
    restore();
    return false;
}

void Tffltuser::remember() {
    m_remembered = {cb_type->CheckedPositions(), cb_level->CheckedPositions(),
                    chb_active->isChecked(), chb_debtors->isChecked(),
                    SaveDateRange(*dt_from, *dt_to)};
}

void Tffltuser::restore() {
    cb_type->RestoreCheckedPositions(m_remembered.types);
    cb_level->RestoreCheckedPositions(m_remembered.levels);
    chb_active->setChecked(m_remembered.active);
    chb_debtors->setChecked(m_remembered.debtors);
    RestoreDateRange(m_remembered.dates, *dt_from, *dt_to);
}

void Tffltuser::btnokClick() {
    CheckDateRangeOrder(*dt_from, *dt_to);
    accept();
}

TUserFilterValues Tffltuser::Values() const {
    TUserFilterValues v;
    v.typeCondition = cb_type->FilterCondition(QStringLiteral("USERTYPE"), true);
    v.levelCondition = cb_level->FilterCondition(QStringLiteral("USERLEVEL"), true);
    v.activeOnly = chb_active->isChecked();
    v.debtorsOnly = chb_debtors->isChecked();
    v.from = dt_from->Picked();
    v.to = dt_to->Picked();
    return v;
}

QString Tffltuser::Description() const {
    QString text = AppText(121) + QStringLiteral(": ") + cb_type->SelectedText() + kLineBreak +
                   AppText(122) + QStringLiteral(": ") + cb_level->SelectedText() + kLineBreak;
    if (chb_active->isChecked())
        text += chb_active->text() + kLineBreak;
    if (chb_debtors->isChecked())
        text += chb_debtors->text() + kLineBreak;
    return text + DateRangeLine(AppText(124), dt_from->Picked(), dt_to->Picked());
}
