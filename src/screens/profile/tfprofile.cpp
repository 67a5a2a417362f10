#include "screens/profile/tfprofile.h"


#include "base/logging.h"
#include "data/dm.h"
#include "grid/controls/datasource.h"
#include "lang/texts.h"
#include "screens/profile/calendar/calendarfeedbox.h"
#include "screens/profile/tfpasschange.h"
#include "screens/profile/tfrprofil.h"
#include "seam/guard.h"
#include "seam/messagebox.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

Tfprofile::Tfprofile(const TServices &services, QWidget *parent)
    : QDialog(parent), m_services(services), fr_profil(new Tfrprofil(this)),
      btn_pass(new QPushButton(AppText(211), this)), btnok(new QPushButton(CommonText(1), this)),
      btncancel(new QPushButton(CommonText(2), this)), ds(new TDataSource(this)),
      gb_calendarfeed(new TCalendarFeedBox(services, this)) {
    setObjectName(QStringLiteral("fprofile"));
    ds->setObjectName(QStringLiteral("ds"));
    setWindowTitle(AppText(210));
    btn_pass->setObjectName(QStringLiteral("btn_pass"));
    btnok->setObjectName(QStringLiteral("btnok"));
    btnok->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btn_pass);
    buttons->addStretch(1);
    buttons->addWidget(btnok);
    buttons->addWidget(btncancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(fr_profil);
    layout->addWidget(gb_calendarfeed);
    layout->addLayout(buttons);
    setMinimumWidth(620);
    connect(btnok, &QPushButton::clicked, this, [this] { RunGuarded([this] { btnokClick(); }); });
    connect(btncancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btn_pass, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { btn_passClick(); }); });
}

Tfprofile::~Tfprofile() {
    Release();
}

void Tfprofile::Prepare() {
    ds->SetDataSet(&m_services.dm->cd_user_info);
    fr_profil->SetDataSource(ds);
    gb_calendarfeed->Prepare();
    setFocus(); // no editor has the focus at first
}

void Tfprofile::Release() {
    TClientTable *table = ds->DataSet();
    if (!table)
        return;
    if (table->State() == TTableState::Edit || table->State() == TTableState::Insert)
        RunGuarded([table] { table->Cancel(); });
    fr_profil->SetDataSource(nullptr);
    ds->SetDataSet(nullptr);
}

void Tfprofile::btnokClick() {
    TClientTable &info = m_services.dm->cd_user_info;
    if (info.State() == TTableState::Edit || info.State() == TTableState::Insert) {
        fr_profil->CheckProfileFields();
        const QList<QPair<int, TValue>> typed = changedValues(info);
        if (!RunGuarded([this] { ds->Post(); })) {
            // The refusal was shown; what the user typed stays in the form to be corrected.
            qCWarning(lcScreens) << "Profile not saved; the typed values stay in the form";
            RunGuarded([&] { restoreTyped(info, typed); });
            return;
        }
        // The own record as the server keeps it, and the lists that show the user's name.
        RunGuarded([this] { m_services.dm->RefreshUserInfo(); });
        for (TClientTable *table : {&m_services.dm->cd_user, &m_services.dm->cd_timetable})
            if (table->Active())
                table->Refresh();
    }
    accept();
}

QList<QPair<int, TValue>> Tfprofile::changedValues(TClientTable &table) {
    QList<QPair<int, TValue>> changed;
    for (int i = 0; i < table.FieldCount(); ++i) {
        const TField field(table, i);
        if (!(field.Value() == field.OldValue()))
            changed.append({i, field.Value()});
    }
    return changed;
}

void Tfprofile::restoreTyped(TClientTable &table, const QList<QPair<int, TValue>> &typed) {
    // A failed send has re-read the record; a refused check has left it in edit.
    if (typed.isEmpty() || !table.Active() || table.IsEmpty())
        return;
    if (table.State() == TTableState::Browse)
        table.Edit();
    for (const auto &[index, value] : typed)
        if (!(TField(table, index).Value() == value))
            TField(table, index).SetValue(value);
}

void Tfprofile::btn_passClick() {
    Tfpasschange dialog(m_services, this);
    if (dialog.exec() == QDialog::Accepted)
        AppMessageBox(AppText(212), mtInformation, mbOK);
}

void Tfprofile::done(int result) {
    Release();
    QDialog::done(result);
}

void ShowProfileDialog(const TServices &services, QWidget *parent) {
    services.dm->RefreshUserInfo();
    Tfprofile dialog(services, parent);
    dialog.Prepare();
    dialog.exec();
}
