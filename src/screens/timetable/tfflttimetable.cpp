#include "screens/timetable/tfflttimetable.h"

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

void clearToAll(QComboBox *combo) {
    while (combo->count() > 1)
        combo->removeItem(combo->count() - 1);
    combo->setCurrentIndex(0);
}

// Adds the users that pass the restriction, in the table's present order.
void addUsers(QComboBox *combo, TClientTable &users, const QString &restriction) {
    users.SetFilter(restriction);
    users.SetFiltered(true);
    const int key = LookupField(users, QStringLiteral("IDUSER"));
    for (const TCheckedItem &item : LookupItems(users, key, QStringLiteral("FULLNAME")))
        combo->addItem(item.text, item.key);
}

} // namespace

Tfflttimetable::Tfflttimetable(QWidget *parent)
    : QDialog(parent), cb_status(new TCheckedComboBox(this)),
      lb_teacher(new QLabel(AppText(111), this)), cb_teacher(new QComboBox(this)),
      lb_client(new QLabel(AppText(112), this)), cb_client(new QComboBox(this)),
      dt_from(new TDatePicker(this)), dt_to(new TDatePicker(this)),
      btnok(new QPushButton(CommonText(1), this)), btncancel(new QPushButton(CommonText(2), this)) {
    setObjectName(QStringLiteral("fflttimetable"));
    setWindowTitle(AppText(115));
    cb_status->setObjectName(QStringLiteral("cb_status"));
    cb_status->SetAllValue(CommonText(131));
    cb_status->SetEmptyValue(CommonText(132));
    cb_teacher->setObjectName(QStringLiteral("cb_teacher"));
    cb_client->setObjectName(QStringLiteral("cb_client"));
    for (QComboBox *combo : {cb_teacher, cb_client}) {
        combo->addItem(CommonText(130), 0);
        combo->setMaxVisibleItems(20);
    }
    const QDate today = CurrentSeam().now().date();
    for (TDatePicker *picker : {dt_from, dt_to}) {
        picker->SetChecked(false);
        picker->SetDate(today);
    }
    dt_from->TickBox()->setText(AppText(113));
    dt_to->TickBox()->setText(AppText(114));
    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(AppText(110), this), 0, 0);
    grid->addWidget(cb_status, 0, 1);
    grid->addWidget(lb_teacher, 1, 0);
    grid->addWidget(cb_teacher, 1, 1);
    grid->addWidget(lb_client, 2, 0);
    grid->addWidget(cb_client, 2, 1);
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
    setMinimumWidth(380);
    connect(btnok, &QPushButton::clicked, this, [this] { RunGuarded([this] { btnokClick(); }); });
    connect(btncancel, &QPushButton::clicked, this, &QDialog::reject);
}

void Tfflttimetable::FillStatuses(const TClientTable &statuses) {
    if (cb_status->Items().isEmpty())
        cb_status->FillFromTable(statuses,
                                 LookupField(statuses, QStringLiteral("IDTIMETABLESTATUS")),
                                 QStringLiteral("STATUSNAME_L"));
}

void Tfflttimetable::FillPeople(TClientTable &users) {
    if (cb_teacher->count() >= 2 && cb_client->count() >= 2)
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
        if (cb_teacher->count() < 2)
            addUsers(cb_teacher, users, QStringLiteral("USERTYPE=3 OR USERTYPE=2"));
        if (cb_client->count() < 2)
            addUsers(cb_client, users, QStringLiteral("USERTYPE=4"));
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

void Tfflttimetable::ClearPeople() {
    clearToAll(cb_teacher);
    clearToAll(cb_client);
}

bool Tfflttimetable::Execute() {
    for (QWidget *w : {static_cast<QWidget *>(lb_teacher), static_cast<QWidget *>(cb_teacher),
                       static_cast<QWidget *>(lb_client), static_cast<QWidget *>(cb_client)})
        w->setVisible(ShowPeople);
    adjustSize();
    RememberValues();
    if (exec() == QDialog::Accepted)
        return true;
    RestoreValues();
    return false;
}

void Tfflttimetable::RememberValues() {
    m_remembered.statuses = cb_status->CheckedPositions();
    m_remembered.teacher = cb_teacher->currentIndex();
    m_remembered.client = cb_client->currentIndex();
    m_remembered.dates = SaveDateRange(*dt_from, *dt_to);
}

void Tfflttimetable::RestoreValues() {
    cb_status->RestoreCheckedPositions(m_remembered.statuses);
    cb_teacher->setCurrentIndex(m_remembered.teacher);
    cb_client->setCurrentIndex(m_remembered.client);
    RestoreDateRange(m_remembered.dates, *dt_from, *dt_to);
}

void Tfflttimetable::btnokClick() {
    CheckDateRangeOrder(*dt_from, *dt_to);
    accept();
}

TTimetableFilterValues Tfflttimetable::Values() const {
    TTimetableFilterValues v;
    v.statusCondition = cb_status->FilterCondition(QStringLiteral("TIMETABLESTATUS"), true);
    if (ShowPeople) {
        v.teacherId = cb_teacher->currentData().toInt();
        v.clientId = cb_client->currentData().toInt();
    }
    v.from = dt_from->Picked();
    v.to = dt_to->Picked();
    return v;
}

QString Tfflttimetable::Description() const {
    QString text = AppText(110) + QStringLiteral(": ") + cb_status->SelectedText() + kLineBreak;
    if (ShowPeople) {
        text += AppText(111) + QStringLiteral(": ") + cb_teacher->currentText() + kLineBreak;
        text += AppText(112) + QStringLiteral(": ") + cb_client->currentText() + kLineBreak;
    }
    return text + DateRangeLine(AppText(113), dt_from->Picked(), dt_to->Picked());
}
