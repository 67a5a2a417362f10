#include "screens/orders/tfedordernew.h"

#include "base/logging.h"
#include "data/dm.h"
#include "errors/apperror.h"
#include "grid/controls/combofill.h"
#include "grid/controls/datasource.h"
#include "grid/controls/dbedit.h"
#include "lang/texts.h"
#include "net/reportresult.h"
#include "net/runrequest.h"
#include "seam/guard.h"
#include "seam/messagebox.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

Tfedordernew::Tfedordernew(const TServices &services, int userId, QWidget *parent)
    : QDialog(parent), m_services(services), cb_type(new QComboBox(this)),
      ed_hours(new TDBEdit(this)), ed_amount(new TDBEdit(this)), ed_description(new TDBEdit(this)),
      lb_note(new QLabel(AppText(30), this)), btnok(new QPushButton(CommonText(1), this)),
      btncancel(new QPushButton(CommonText(2), this)), ds(new TDataSource(this)), m_userId(userId) {
    setObjectName(QStringLiteral("fedordernew"));
    setWindowTitle(AppText(25));
    cb_type->setObjectName(QStringLiteral("cb_type"));
    const QList<QPair<TDBEdit *, const char *>> editors{
        {ed_hours, "TEACHHOURS"}, {ed_amount, "AMOUNT"}, {ed_description, "DESCRIPTION_L"}};
    for (const auto &[edit, field] : editors) {
        edit->SetDataField(QString::fromLatin1(field));
        edit->SetReadOnly(true);
        edit->SetDataSource(ds);
    }
    lb_note->setWordWrap(true);
    QFont bold = lb_note->font();
    bold.setBold(true);
    lb_note->setFont(bold);
    auto *form = new QFormLayout;
    form->addRow(AppText(26), cb_type);
    form->addRow(AppText(27), ed_hours);
    form->addRow(AppText(28), ed_amount);
    form->addRow(AppText(29), ed_description);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(btnok, QDialogButtonBox::AcceptRole);
    buttons->addButton(btncancel, QDialogButtonBox::RejectRole);
    btnok->setDefault(true);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(lb_note);
    layout->addWidget(buttons);
    setMinimumWidth(420);
    connect(cb_type, &QComboBox::currentIndexChanged, this,
            [this] { RunGuarded([this] { typeChanged(); }); });
    connect(btnok, &QPushButton::clicked, this, [this] { RunGuarded([this] { btnokClick(); }); });
    connect(btncancel, &QPushButton::clicked, this, &QDialog::reject);
}

Tfedordernew::~Tfedordernew() {
    Release();
}

void Tfedordernew::Prepare() {
    TClientTable &types = m_services.dm->cd_ordertype;
    m_prepared = true;
    types.SetFilter(QStringLiteral("VALID=1"));
    types.SetFiltered(true);
    ds->SetDataSet(&types);
    const QSignalBlocker block(cb_type);
    FillComboFromTable(*cb_type, types, 0, QStringLiteral("TYPETEXT_L"));
    cb_type->setCurrentIndex(cb_type->count() > 0 ? 0 : -1);
    typeChanged();
}

void Tfedordernew::Release() {
    if (!m_prepared)
        return;
    m_prepared = false;
    ds->SetDataSet(nullptr);
    TClientTable &types = m_services.dm->cd_ordertype;
    types.SetFiltered(false);
    types.SetFilter(QString());
}

void Tfedordernew::typeChanged() {
    const int key = SelectedKey(*cb_type);
    if (key != 0)
        m_services.dm->cd_ordertype.Locate(QStringLiteral("IDORDERTYPE"),
                                           {TValue::FromInteger(key)});
}

void Tfedordernew::btnokClick() {
    const int type = SelectedKey(*cb_type);
    if (type == 0)
        throw AppError(AppText(31));
    if (AppMessageBox(AppText(32), mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    ServerRequest request;
    request.action = QStringLiteral("neworder");
    request.data = "idordertype=" + QByteArray::number(type);
    if (m_userId != 0)
        request.data += "&iduser=" + QByteArray::number(m_userId);
    const RequestOutcome outcome = RunRequest(request);
    if (!outcome.ok())
        qCWarning(lcScreens) << "new order refused or failed, result" << outcome.result;
    // A session the server ended and a failed exchange are told once, by the request's own
    // report; the server's refusal gets the reply and "not sent".
    if (outcome.sessionLost || outcome.result == rrFailed)
        ReportResult(outcome);
    else
        ReportResult(outcome.result, ReplyText(outcome.reply) + u'\r' + u'\n' + AppText(33));
    if (!outcome.ok())
        return;
    m_newOrderId = outcome.reply.mid(2).trimmed().toInt();
    accept();
}

void Tfedordernew::done(int result) {
    Release();
    QDialog::done(result);
}
