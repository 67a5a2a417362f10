#include "screens/timetable/tfhisttimetable.h"

#include "data/dm.h"
#include "grid/controls/datasource.h"
#include "grid/dbgridex.h"
#include "grid/gridframe.h"
#include "lang/texts.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

Tfhisttimetable::Tfhisttimetable(const TServices &services, QWidget *parent)
    : QDialog(parent), m_services(services), frg_hist(new Tfrg(this, QStringLiteral("frg_hist"))),
      btnclose(new QPushButton(CommonText(15), this)), ds(new TDataSource(this)) {
    setObjectName(QStringLiteral("fhisttimetable"));
    ds->setObjectName(QStringLiteral("ds"));
    frg_hist->nv->SetVisibleButtons(NavButton(nbFirst) | NavButton(nbPrior) | NavButton(nbNext) |
                                    NavButton(nbLast) | NavButton(nbRefresh));
    frg_hist->spbfind->setVisible(false);
    frg_hist->spboutput->setVisible(true);
    TColumnList columns;
    columns << MakeColumn(QStringLiteral("WHENCHANGE"), AppText(131), 125)
            << MakeColumn(QStringLiteral("FULLNAME_CHANGER"), AppText(132), 140)
            << MakeColumn(QStringLiteral("STATUS_OLD"), AppText(134), 110)
            << MakeColumn(QStringLiteral("STATUS_NEW"), AppText(135), 110)
            << MakeColumn(QStringLiteral("FULLNAME_OLDUSER"), AppText(136), 140)
            << MakeColumn(QStringLiteral("FULLNAME_NEWUSER"), AppText(137), 140)
            << MakeColumn(QStringLiteral("FULLNAME_TEACHER"), AppText(133), 140, false);
    for (const char *field : {"IDTIMETABLEHIST", "IDTIMETABLE", "WHOCHANGE", "OLDSTATUS",
                              "NEWSTATUS", "OLDTEACHER", "NEWTEACHER", "OLDUSER", "NEWUSER"})
        columns << MakeColumn(QString::fromLatin1(field), QString::fromLatin1(field), 60, false);
    frg_hist->gr->SetColumns(columns);
    btnclose->setToolTip(CommonText(13));
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(btnclose, QDialogButtonBox::RejectRole);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(frg_hist, 1);
    layout->addWidget(buttons);
    connect(btnclose, &QPushButton::clicked, this, &QDialog::reject);
    resize(820, 340);
}

void Tfhisttimetable::ShowFor(qint64 idTimetable, const QString &whenText) {
    Prepare(idTimetable, whenText);
    exec();
}

void Tfhisttimetable::Prepare(qint64 idTimetable, const QString &whenText) {
    setWindowTitle(AppText(130).replace(QStringLiteral("%s"), whenText));
    TClientTable &history = m_services.dm->cd_ttstatushist;
    history.SetIndexFieldNames(QStringLiteral("WHENCHANGE"));
    if (history.Active())
        history.Refresh();
    else
        history.Open();
    history.SetFilter(QStringLiteral("IDTIMETABLE=") + QString::number(idTimetable));
    history.SetFiltered(true);
    ds->SetDataSet(&history);
    frg_hist->init(ds, nullptr, QStringLiteral("statushisttt"));
}

void Tfhisttimetable::Release() {
    ds->SetDataSet(nullptr);
    TClientTable &history = m_services.dm->cd_ttstatushist;
    history.SetFiltered(false);
    history.SetFilter(QString());
}

void Tfhisttimetable::done(int result) {
    Release();
    QDialog::done(result);
}
