#include "screens/profile/tfprofile.h"

#include "data/dm.h"
#include "grid/controls/datasource.h"
#include "seam/guard.h"
#include "seam/messagebox.h"
#include "lang/texts.h"
#include "screens/profile/tfpasschange.h"
#include "screens/profile/tfrprofil.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

Tfprofile::Tfprofile(QWidget *parent)
    : QDialog(parent), fr_profil(new Tfrprofil(this)),
      btn_pass(new QPushButton(AppText(211), this)), btnok(new QPushButton(CommonText(1), this)),
      btncancel(new QPushButton(CommonText(2), this)), ds(new TDataSource(this)) {
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
    ds->SetDataSet(&dm().cd_user_info);
    fr_profil->SetDataSource(ds);
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
    TClientTable &info = dm().cd_user_info;
    if (info.State() == TTableState::Edit || info.State() == TTableState::Insert) {
        fr_profil->CheckProfileFields();
        const bool saved = RunGuarded([this] { ds->Post(); });
        // The own record comes back from the server also when sending failed.
        RunGuarded([] { dm().RefreshUserInfo(); });
        if (!saved)
            return;
    }
    // Lists that show the user's name show the new one.
    for (TClientTable *table : {&dm().cd_user, &dm().cd_timetable})
        if (table->Active())
            table->Refresh();
    accept();
}

void Tfprofile::btn_passClick() {
    Tfpasschange dialog(this);
    if (dialog.exec() == QDialog::Accepted)
        AppMessageBox(AppText(212), mtInformation, mbOK);
}

void Tfprofile::done(int result) {
    Release();
    QDialog::done(result);
}

void ShowProfileDialog(QWidget *parent) {
    dm().RefreshUserInfo();
    Tfprofile dialog(parent);
    dialog.Prepare();
    dialog.exec();
}
