#include "screens/orders/tfrorder.h"

#include "base/session.h"
#include "base/usertypes.h"
#include "data/dm.h"
#include "grid/controls/datasource.h"
#include "grid/dbgridex.h"
#include "grid/gridframe.h"
#include "seam/guard.h"
#include "lang/programlocale.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "seam/messagebox.h"
#include "screens/orders/tfedorder.h"
#include "screens/orders/tfedordernew.h"
#include "screens/orders/tffltorder.h"
#include "screens/users/userdialogentry.h"

#include <QHBoxLayout>
#include <QLayout>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr TNavigateButtons kBrowseButtons = NavButton(nbFirst) | NavButton(nbPrior) |
                                            NavButton(nbNext) | NavButton(nbLast) |
                                            NavButton(nbRefresh);

} // namespace

Tfrorder::Tfrorder(const TServices &services, QWidget *parent)
    : TScreen(parent), m_services(services), frg_order(new Tfrg(this, QStringLiteral("frg_order"))),
      spb_neworder(new QToolButton(frg_order->pan)), fedorder(new Tfedorder(services, this)),
      ds(new TDataSource(this)) {
    setObjectName(QStringLiteral("frorder"));
    ds->setObjectName(QStringLiteral("ds"));
    spb_neworder->setObjectName(QStringLiteral("spb_neworder"));
    spb_neworder->setAutoRaise(true);
    spb_neworder->setFocusPolicy(Qt::TabFocus);
    spb_neworder->setMinimumHeight(27);
    // The button stands last in the frame's toolbar, before its stretch.
    auto *tools = static_cast<QHBoxLayout *>(frg_order->pan->layout());
    tools->insertWidget(tools->count() - 1, spb_neworder);
    frg_order->spboutput->show();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frg_order);
    connect(frg_order->spbfilter, &QToolButton::clicked, this,
            [this] { RunGuarded([this] { spbfilterClick(); }); });
    connect(spb_neworder, &QToolButton::clicked, this,
            [this] { RunGuarded([this] { spb_neworderClick(); }); });
}

Tfrorder::~Tfrorder() {
    delete m_filter.data();
}

TColumnList OrderListColumns() {
    TColumnList columns;
    const auto hidden = [](const char *field) {
        return MakeColumn(QString::fromLatin1(field), QString::fromLatin1(field), 64, false);
    };
    columns << MakeColumn(QStringLiteral("IDORDER"), AppText(1200), 50, false)
            << MakeColumn(QStringLiteral("WHENORDER"), AppText(292), 125)
            << MakeColumn(QStringLiteral("VARSYMBOL"), AppText(293), 95)
            << MakeColumn(QStringLiteral("TYPETEXT_L"), AppText(294), 160)
            << MakeColumn(QStringLiteral("AMOUNT"), AppText(295), 80)
            << MakeColumn(QStringLiteral("TEACHHOURS"), AppText(296), 95)
            << MakeColumn(QStringLiteral("STATUSNAME"), AppText(297), 100)
            << MakeColumn(QStringLiteral("WHENSTATUSCHANGE"), AppText(298), 125)
            << MakeColumn(QStringLiteral("FULLNAME"), AppText(299), 140)
            << MakeColumn(QStringLiteral("IDUSER"), AppText(300), 60, false)
            << MakeColumn(QStringLiteral("FULLNAME_CHANGER"), AppText(301), 140);
    for (const char *field :
         {"ORDERTYPE", "IDJOB", "TYPETEXT", "EXPIREMONTHS", "ORDERSTATUS", "WHOSTATUSCHANGE"})
        columns << hidden(field);
    for (const char *field : {"AMOUNT", "TEACHHOURS"})
        columns[FindColumnIndex(columns, QString::fromLatin1(field))].alignment =
            TColumnAlignment::Right;
    return columns;
}

void Tfrorder::InitScreen() {
    frg_order->gr->SetColumns(OrderListColumns());
}

void Tfrorder::showNameColumns(bool show, bool narrowDescription) {
    TColumnList columns = frg_order->gr->Columns();
    for (const char *field : {"FULLNAME", "FULLNAME_CHANGER"}) {
        const int i = FindColumnIndex(columns, QString::fromLatin1(field));
        if (i >= 0)
            columns[i].visible = show;
    }
    if (narrowDescription) {
        const int i = FindColumnIndex(columns, QStringLiteral("TYPETEXT_L"));
        if (i >= 0)
            columns[i].width = 200;
    }
    frg_order->gr->SetColumns(columns);
}

void Tfrorder::EnterScreen() {
    const int type = m_services.userType();
    if (type == UserTypes::Teacher)
        return;
    if (type == UserTypes::Client)
        enterAsClient();
    else
        enterAsStaff();
}

void Tfrorder::enterAsClient() {
    TClientTable &orders = m_services.dm->cd_order;
    frg_order->pancfg->hide();
    frg_order->spbfilter->hide();
    frg_order->spbfind->hide();
    const bool opening = !orders.Active();
    showNameColumns(false, opening);
    if (opening)
        orders.Open();
    spb_neworder->setText(AppText(290));
    frg_order->nv->SetVisibleButtons(kBrowseButtons);
    ds->SetDataSet(&orders);
    frg_order->init(ds, nullptr, QStringLiteral("order"));
    orders.SetIndexFieldNames(QStringLiteral("WHENORDER"));
}

void Tfrorder::enterAsStaff() {
    TClientTable &orders = m_services.dm->cd_order;
    frg_order->pancfg->show();
    frg_order->spbfilter->show();
    frg_order->spbfind->show();
    if (!orders.Active())
        orders.Open();
    spb_neworder->setText(AppText(291));
    showNameColumns(true, false);
    frg_order->nv->SetVisibleButtons(kBrowseButtons | NavButton(nbEdit));
    ds->SetDataSet(&orders);
    frg_order->init(ds, fedorder, QStringLiteral("order"));
    ApplyFilter();
}

void Tfrorder::LeaveScreen() {
    TClientTable &orders = m_services.dm->cd_order;
    orders.SetFiltered(false);
    orders.SetFilter(QString());
    ds->SetDataSet(nullptr);
    if (m_filter)
        m_filter->ClearClients();
}

void Tfrorder::SignOutScreen() {
    delete m_filter.data();
}

void Tfrorder::spbfilterClick() {
    if (!m_filter)
        m_filter = new Tffltorder(this);
    m_filter->FillStatuses(m_services.dm->cd_orderstatus);
    m_filter->ShowClients = true;
    m_filter->FillClients(m_services.dm->cd_user);
    if (m_filter->Execute())
        ApplyFilter();
}

void Tfrorder::ApplyFilter() {
    TClientTable &orders = m_services.dm->cd_order;
    if (!m_filter) {
        orders.SetFiltered(false);
        orders.SetFilter(QString());
        frg_order->spbfilter->setToolTip(QString());
        return;
    }
    const QString text = OrderFilterText(m_filter->Values());
    orders.SetFilter(text);
    orders.SetFiltered(!text.isEmpty());
    frg_order->spbfilter->setToolTip(m_filter->Description());
}

// The new order is not left silent: what to pay and the symbol to pay it with.
void Tfrorder::tellPaymentDetails(TClientTable &orders) {
    const double amount = orders.FieldByName(QStringLiteral("AMOUNT")).AsFloat();
    const QString symbol = orders.FieldByName(QStringLiteral("VARSYMBOL")).AsString();
    AppMessageBox(FormatText(AppText(1073), {ProgramLocale().toString(amount, 'f', 2), symbol}),
                  mtInformation, mbOK);
}

void Tfrorder::spb_neworderClick() {
    TClientTable &orders = m_services.dm->cd_order;
    if (m_services.userType() == UserTypes::Client) {
        Tfedordernew dialog(m_services, 0, this);
        dialog.Prepare();
        if (dialog.exec() != QDialog::Accepted)
            return;
        orders.Refresh();
        if (orders.Locate(QStringLiteral("IDORDER"), {TValue::FromInteger(dialog.NewOrderId())}))
            tellPaymentDetails(orders);
        return;
    }
    if (!orders.Active() || orders.IsEmpty())
        return;
    ShowUserDialogFor(m_services, int(orders.FieldByName(QStringLiteral("IDUSER")).AsInteger()));
}
