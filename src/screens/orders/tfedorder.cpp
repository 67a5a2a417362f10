#include "screens/orders/tfedorder.h"

#include "data/dm.h"
#include "data/usertext.h"
#include "grid/controls/datasource.h"
#include "grid/controls/dbedit.h"
#include "grid/dbgridex.h"
#include "grid/controls/dblookupcombobox.h"
#include "grid/controls/fielddatalink.h"
#include "grid/gridframe.h"
#include "grid/recordbar.h"
#include "errors/apperror.h"
#include "seam/guard.h"
#include "lang/texts.h"

#include <QFormLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr auto kDateTimeFormat = "d.M.yyyy h:mm:ss";

// The ordering time, shown and typed as "d.M.yyyy h:mm:ss".
class TDateTimeEdit : public TDBEdit {
public:
    using TDBEdit::TDBEdit;

protected:
    QString fieldText(bool editing) const override {
        (void)editing;
        const auto field = DataLink()->Field();
        if (!field || field->IsNull())
            return {};
        return field->AsDateTime().toString(QString::fromLatin1(kDateTimeFormat));
    }
    void writeText(const QString &text) override {
        const auto field = DataLink()->Field();
        if (!field)
            return;
        if (text.trimmed().isEmpty()) {
            field->Clear();
            return;
        }
        const QDateTime value =
            QDateTime::fromString(text.trimmed(), QString::fromLatin1(kDateTimeFormat));
        if (!value.isValid())
            throw AppError(CommonText(79).replace(QStringLiteral("%s"), text));
        field->SetAsDateTime(value);
    }
};

} // namespace

Tfedorder::Tfedorder(const TServices &services, QWidget *parent)
    : QDialog(parent), m_services(services), fre(new Tfre(this)), ds(new TDataSource(this)),
      ds_status(new TDataSource(this)), ds_orderhist(new TDataSource(this)) {
    setObjectName(QStringLiteral("fedorder"));
    ds->setObjectName(QStringLiteral("ds"));
    ds_orderhist->setObjectName(QStringLiteral("ds_orderhist"));
    setWindowTitle(AppText(19));
    ed_whenorder = new TDateTimeEdit(this);
    ed_whenorder->setObjectName(QStringLiteral("ed_whenorder"));
    ed_whenorder->SetDataField(QStringLiteral("WHENORDER"));
    cb_status = new TDBLookupComboBox(this);
    cb_status->setObjectName(QStringLiteral("cb_status"));
    cb_status->SetDataField(QStringLiteral("ORDERSTATUS"));
    cb_status->setMaxVisibleItems(8);
    ed_typetext = new TDBEdit(this);
    ed_typetext->SetDataField(QStringLiteral("TYPETEXT_L"));
    ed_typetext->SetReadOnly(true);
    ed_amount = new TDBEdit(this);
    ed_amount->setObjectName(QStringLiteral("ed_amount"));
    ed_amount->SetDataField(QStringLiteral("AMOUNT"));
    ed_teachhours = new TDBEdit(this);
    ed_teachhours->SetDataField(QStringLiteral("TEACHHOURS"));
    auto *form = new QFormLayout;
    form->addRow(AppText(10), ed_whenorder);
    form->addRow(AppText(11), cb_status);
    form->addRow(AppText(12), ed_typetext);
    form->addRow(AppText(13), ed_amount);
    form->addRow(AppText(14), ed_teachhours);

    frg_orderhist = new Tfrg(this, QStringLiteral("frg_orderhist"));
    frg_orderhist->nv->SetVisibleButtons(NavButton(nbFirst) | NavButton(nbPrior) |
                                         NavButton(nbNext) | NavButton(nbLast) |
                                         NavButton(nbRefresh));
    frg_orderhist->spbfind->setVisible(false);
    frg_orderhist->spboutput->setVisible(true);
    TColumnList columns;
    columns << MakeColumn(QStringLiteral("IDORDERHIST"), QString(), 40, false)
            << MakeColumn(QStringLiteral("IDORDER"), QString(), 40, false)
            << MakeColumn(QStringLiteral("WHENCHANGE"), AppText(15), 130)
            << MakeColumn(QStringLiteral("OLDSTATUSNAME_L"), AppText(16), 120)
            << MakeColumn(QStringLiteral("NEWSTATUSNAME_L"), AppText(17), 120)
            << MakeColumn(QStringLiteral("FULLNAME"), AppText(18), 150)
            << MakeColumn(QStringLiteral("WHOCHANGE"), QString(), 40, false)
            << MakeColumn(QStringLiteral("OLDSTATUS"), QString(), 40, false)
            << MakeColumn(QStringLiteral("NEWSTATUS"), QString(), 40, false);
    frg_orderhist->gr->SetColumns(columns);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 6);
    layout->addWidget(fre);
    layout->addLayout(form);
    layout->addWidget(frg_orderhist, 1);
    resize(600, 480);
}

Tfedorder::~Tfedorder() {
    Release();
}

void Tfedorder::showEvent(QShowEvent *event) {
    if (!m_prepared)
        RunGuarded([this] { Prepare(); });
    QDialog::showEvent(event);
}

void Tfedorder::Prepare() {
    Release();
    Tdm &d = *m_services.dm;
    ds->SetDataSet(&d.cd_order);
    for (TDBEdit *e : {ed_whenorder, ed_typetext, ed_amount, ed_teachhours})
        e->SetDataSource(ds);
    cb_status->SetDataSource(ds);
    ds_status->SetDataSet(&d.cd_orderstatus);
    cb_status->SetListSource(ds_status, QStringLiteral("IDORDERSTATUS"),
                             QStringLiteral("STATUSNAME_L"));
    if (!d.cd_orderhist.Active())
        d.cd_orderhist.Open();
    ds_orderhist->SetDataSet(&d.cd_orderhist);
    frg_orderhist->init(ds_orderhist, nullptr, QStringLiteral("orderhist"));
    fre->Bind(ds,
              NavButton(nbFirst) | NavButton(nbPrior) | NavButton(nbNext) | NavButton(nbLast) |
                  NavButton(nbEdit) | NavButton(nbPost) | NavButton(nbCancel) |
                  NavButton(nbRefresh),
              ed_whenorder);
    // The history follows moves to another order, not changes of a single field.
    const auto follow = [this] { RunGuarded([this] { restrictHistory(); }); };
    m_connections << connect(ds, &TDataSource::scrolled, this, follow)
                  << connect(ds, &TDataSource::dataSetChanged, this, follow)
                  << connect(ds, &TDataSource::dataChanged, this, follow);
    m_prepared = true;
    restrictHistory();
}

void Tfedorder::restrictHistory() {
    TClientTable &orders = m_services.dm->cd_order;
    TClientTable &history = m_services.dm->cd_orderhist;
    if (!history.Active())
        return;
    const qint64 id = orders.Active() && !orders.IsEmpty()
                          ? orders.FieldByName(QStringLiteral("IDORDER")).AsInteger()
                          : 0;
    history.SetFilter(QStringLiteral("IDORDER=") + QString::number(id));
    history.SetFiltered(true);
}

void Tfedorder::Release() {
    if (!m_prepared)
        return;
    m_prepared = false;
    for (const QMetaObject::Connection &c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    for (TDBEdit *e : {ed_whenorder, ed_typetext, ed_amount, ed_teachhours})
        e->SetDataSource(nullptr);
    cb_status->SetDataSource(nullptr);
    ds_status->SetDataSet(nullptr);
    ds_orderhist->SetDataSet(nullptr);
    ds->SetDataSet(nullptr);
    TClientTable &history = m_services.dm->cd_orderhist;
    history.SetFiltered(false);
    history.SetFilter(QString());
}

void Tfedorder::done(int result) {
    Release();
    QDialog::done(result);
}
