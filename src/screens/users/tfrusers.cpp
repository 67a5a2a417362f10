#include "screens/users/tfrusers.h"

#include "screens/users/tffltuser.h"

#include "base/session.h"
#include "base/usertypes.h"
#include "data/dm.h"
#include "grid/controls/datasource.h"
#include "grid/controls/dbnavigator.h"
#include "grid/gridframe.h"
#include "seam/guard.h"
#include "screens/timetable/statusmenu.h"
#include "screens/timetable/tfaddtimetable.h"
#include "screens/orders/tfedorder.h"
#include "screens/users/tfeduser.h"
#include "screens/orders/tffltorder.h"
#include "screens/timetable/tfflttimetable.h"
#include "screens/users/tffltuser.h"
#include "screens/users/userdialogentry.h"

#include <QHBoxLayout>
#include <QSplitter>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr TNavigateButtons kBrowse = NavButton(nbFirst) | NavButton(nbPrior) | NavButton(nbNext) |
                                     NavButton(nbLast) | NavButton(nbRefresh);

} // namespace

Tfrusers::Tfrusers(const TServices &services, QWidget *parent)
    : TScreen(parent), m_services(services), frg(new Tfrg(this, QStringLiteral("frg"))),
      splitter(new QSplitter(Qt::Vertical, this)), pgc(new QTabWidget(this)),
      frg_order(new Tfrg(pgc, QStringLiteral("frg_order"))),
      frg_timetable(new Tfrg(pgc, QStringLiteral("frg_timetable"))),
      frg_login(new Tfrg(pgc, QStringLiteral("frg_login"))),
      frg_msg(new Tfrg(pgc, QStringLiteral("frg_msg"))),
      spb_neworder(makeButton(frg_order, "spb_neworder")),
      spb_timetable_new(makeButton(frg_timetable, "spb_timetable_new")),
      spb_timetable_changestatus(makeButton(frg_timetable, "spb_timetable_changestatus")),
      spb_timetable_hist(makeButton(frg_timetable, "spb_timetable_hist")),
      spb_msg_detail(makeButton(frg_msg, "spb_msg_detail")), pmttstatus(new TStatusMenu(this)),
      fedorder(new Tfedorder(services, this)), ds(new TDataSource(this)),
      ds_order(new TDataSource(this)), ds_timetable(new TDataSource(this)),
      ds_login(new TDataSource(this)), ds_msg(new TDataSource(this)) {
    setObjectName(QStringLiteral("frusers"));
    pgc->setObjectName(QStringLiteral("pgc"));
    pgc->addTab(frg_order, QString());
    pgc->addTab(frg_timetable, QString());
    pgc->addTab(frg_login, QString());
    pgc->addTab(frg_msg, QString());
    pgc->setMinimumHeight(150);
    frg->spboutput->show();
    for (Tfrg *list : {frg_order, frg_timetable, frg_login, frg_msg})
        list->spboutput->show();
    // The users, orders and timetable lists filter; sign-ins and e-mails follow the user only.
    for (Tfrg *list : {frg, frg_order, frg_timetable})
        list->spbfilter->show();
    frg_login->spbfilter->hide();
    frg_msg->spbfilter->hide();
    splitter->addWidget(frg);
    splitter->addWidget(pgc);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setChildrenCollapsible(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
    connectControls();
}

Tfrusers::~Tfrusers() {
    delete m_userFilter.data();
}

QToolButton *Tfrusers::makeButton(Tfrg *list, const char *name) {
    auto *button = new QToolButton(list->pan);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::TabFocus);
    button->setMinimumHeight(27);
    // The buttons stand after the list's own, before its stretch.
    auto *tools = static_cast<QHBoxLayout *>(list->pan->layout());
    tools->insertWidget(tools->count() - 1, button);
    return button;
}

void Tfrusers::connectControls() {
    const auto guarded = [this](void (Tfrusers::*handler)()) {
        return [this, handler] { RunGuarded([this, handler] { (this->*handler)(); }); };
    };
    connect(frg->spbfilter, &QToolButton::clicked, this, guarded(&Tfrusers::frgspbfilterClick));
    connect(frg_order->spbfilter, &QToolButton::clicked, this,
            guarded(&Tfrusers::orderFilterClick));
    connect(frg_timetable->spbfilter, &QToolButton::clicked, this,
            guarded(&Tfrusers::timetableFilterClick));
    connect(spb_neworder, &QToolButton::clicked, this, guarded(&Tfrusers::spb_neworderClick));
    connect(spb_timetable_new, &QToolButton::clicked, this,
            guarded(&Tfrusers::spb_timetable_newClick));
    connect(spb_timetable_hist, &QToolButton::clicked, this,
            guarded(&Tfrusers::spb_timetable_histClick));
    connect(spb_timetable_changestatus, &QToolButton::clicked, this,
            guarded(&Tfrusers::spb_timetable_changestatusClick));
    connect(spb_msg_detail, &QToolButton::clicked, this, guarded(&Tfrusers::spb_msg_detailClick));
    connect(pgc, &QTabWidget::currentChanged, this, [this] {
        if (m_followTabs)
            RunGuarded([this] { pgcChange(); });
    });
    // The tab lists follow another record of the users list, not the edit of a field.
    for (auto signal : {&TDataSource::scrolled, &TDataSource::dataChanged,
                        &TDataSource::dataSetChanged, &TDataSource::recordChanged})
        connect(ds, signal, this, [this] { RunGuarded([this] { dsDataChange(); }); });
    for (auto signal : {&TDataSource::scrolled, &TDataSource::dataChanged,
                        &TDataSource::dataSetChanged, &TDataSource::recordChanged}) {
        connect(ds_timetable, signal, this,
                [this] { RunGuarded([this] { ds_timetableDataChange(); }); });
        connect(ds_msg, signal, this, [this] { RunGuarded([this] { ds_msgDataChange(); }); });
    }
    pmttstatus->OnChoose = [this](int status) { SetTimetableStatus(status); };
}

void Tfrusers::EnterScreen() {
    const int type = m_services.userType();
    if (type != UserTypes::Administrator && type != UserTypes::Manager)
        return;
    TClientTable &users = m_services.dm->cd_user;
    ds->SetEnabled(false);
    if (!users.Active())
        users.Open();
    ds->SetDataSet(&users);
    const TNavigateButtons records =
        kBrowse | (type == UserTypes::Administrator ? NavButton(nbDelete) : 0);
    frg_login->nv->SetVisibleButtons(records);
    frg_msg->nv->SetVisibleButtons(records);
    frg->nv->SetVisibleButtons(kBrowse | NavButton(nbEdit));
    frg_order->nv->SetVisibleButtons(kBrowse | NavButton(nbEdit));
    frg_timetable->nv->SetVisibleButtons(kBrowse | NavButton(nbDelete));
    frg->init(ds, &UserDialog(m_services), QStringLiteral("user"));
    if (m_userFilter)
        ApplyUserFilter();
    m_followed = -1;
    pgcChange();
    m_followTabs = true;
    ds->SetEnabled(true);
    dsDataChange();
}

void Tfrusers::pgcChange() {
    setTabSources(false);
    bindTab(pgc->currentIndex());
}

void Tfrusers::setTabSources(bool on) {
    for (TDataSource *source : {ds_order, ds_timetable, ds_login, ds_msg})
        source->SetEnabled(on);
}

void Tfrusers::bindTab(int tab) {
    struct Binding {
        Tfrg *list;
        TDataSource *source;
        TClientTable *table;
        QDialog *detail;
        const char *key;
    };
    const Binding bindings[] = {
        {frg_order, ds_order, &m_services.dm->cd_order, fedorder, "order_u"},
        {frg_timetable, ds_timetable, &m_services.dm->cd_timetable, nullptr, "timetable_u"},
        {frg_login, ds_login, &m_services.dm->cd_login, nullptr, "login_u"},
        {frg_msg, ds_msg, &m_services.dm->cd_msg, nullptr, "msg_u"},
    };
    if (tab < 0 || tab >= int(std::size(bindings)))
        return;
    const Binding &b = bindings[tab];
    if (tab == TimetableTab && pmttstatus->IsEmpty())
        pmttstatus->Build(m_services.dm->cd_ttstatus, m_services.userType());
    if (!b.table->Active())
        b.table->Open();
    if (b.source->DataSet() != b.table) {
        b.source->SetDataSet(b.table);
        b.list->init(b.source, b.detail, QString::fromLatin1(b.key));
        m_followed = -1; // the new list needs the selected user's filter
        dsDataChange();
    }
    b.source->SetEnabled(true);
}

void Tfrusers::LeaveScreen() {
    m_followTabs = false;
    for (TDataSource *source : {ds, ds_order, ds_timetable, ds_login, ds_msg}) {
        source->SetEnabled(false);
        source->SetDataSet(nullptr);
    }
    TClientTable &users = m_services.dm->cd_user;
    users.SetFiltered(false);
    users.SetFilter(QString());
    m_followed = -1;
}

void Tfrusers::SignOutScreen() {
    delete m_userFilter.data();
    m_followTabs = false;
    pgc->setCurrentIndex(OrdersTab);
    pmttstatus->ClearEntries();
    ClearUserDialogBooks();
}
