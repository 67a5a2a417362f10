#include "screens/users/tfeduser.h"

#include "base/session.h"
#include "base/usertypes.h"
#include "data/dm.h"
#include "grid/controls/datasource.h"
#include "grid/controls/dbcheckbox.h"
#include "grid/controls/dbedit.h"
#include "grid/dbgridex.h"
#include "grid/controls/dblookupcombobox.h"
#include "grid/controls/dbmemo.h"
#include "grid/gridframe.h"
#include "grid/recordbar.h"
#include "seam/guard.h"
#include "seam/messagebox.h"
#include "lang/texts.h"
#include "net/reportresult.h"
#include "net/runrequest.h"
#include "screens/profile/bookids.h"
#include "screens/profile/passwordrequest.h"
#include "screens/profile/tfrprofil.h"
#include "screens/profile/userstatistics.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kWidth = 1060;
constexpr int kStaffHeight = 607;
constexpr int kTeacherHeight = 430;

bool editing(const TClientTable &table) {
    return table.State() == TTableState::Edit || table.State() == TTableState::Insert;
}

int currentUserId(TClientTable &users) {
    if (!users.Active() || users.IsEmpty())
        return 0;
    return int(users.FieldByName(QStringLiteral("IDUSER")).AsInteger());
}

template <class Editor> Editor *bound(QWidget *parent, const char *name, const char *field) {
    auto *editor = new Editor(parent);
    editor->setObjectName(QString::fromLatin1(name));
    editor->SetDataField(QString::fromLatin1(field));
    return editor;
}

} // namespace

std::function<QList<TUserDialogBook>()> Tfeduser::BookSource;

Tfeduser::Tfeduser(const TServices &services, QWidget *parent)
    : QDialog(parent), m_services(services), fre(new Tfre(this)), ds(new TDataSource(this)),
      ds_userlevel(new TDataSource(this)), ds_course(new TDataSource(this)),
      ds_userremark(new TDataSource(this)) {
    setObjectName(QStringLiteral("feduser"));
    ds->setObjectName(QStringLiteral("ds"));
    ds_userremark->setObjectName(QStringLiteral("ds_userremark"));
    setWindowTitle(AppText(40));
    fr_profil = new Tfrprofil(this);
    lb_remark = new QLabel(AppText(50), this);
    mem_remark = bound<TDBMemo>(this, "mem_remark", "REMARK");
    QFont bold = mem_remark->font();
    bold.setBold(true);
    mem_remark->setFont(bold);
    mem_remark->setFixedHeight(48);
    lb_remark->setBuddy(mem_remark);
    pgc = new QTabWidget(this);
    pgc->setObjectName(QStringLiteral("pgc"));
    ts_remarks = buildRemarksTab();
    ts_stats = buildStatisticsTab();
    pgc->addTab(ts_remarks, AppText(51));
    pgc->addTab(ts_stats, AppText(52));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 6);
    layout->setSpacing(4);
    layout->addWidget(fre);
    auto *top = new QHBoxLayout;
    top->addWidget(buildAccount(), 0, Qt::AlignTop);
    top->addWidget(fr_profil, 1);
    top->addWidget(buildBooks(), 0);
    layout->addLayout(top);
    layout->addWidget(lb_remark);
    layout->addWidget(mem_remark);
    layout->addWidget(pgc, 1);
    resize(kWidth, kStaffHeight);

    connect(lb_books, &QListWidget::itemChanged, this,
            [this](QListWidgetItem *item) { RunGuarded([this, item] { bookChanged(item); }); });
    connect(btn_resetpass, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { btn_resetpassClick(); }); });
    connect(btn_refreshstats, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { btn_refreshstatsClick(); }); });
}

Tfeduser::~Tfeduser() {
    Release();
}

QWidget *Tfeduser::buildAccount() {
    auto *panel = new QWidget(this);
    auto *form = new QFormLayout(panel);
    form->setContentsMargins(0, 0, 0, 0);
    form->setVerticalSpacing(2);
    ed_usertype = bound<TDBEdit>(panel, "ed_usertype", "USERTYPE_L");
    ed_usertype->SetReadOnly(true);
    ed_loginname = bound<TDBEdit>(panel, "ed_loginname", "LOGINNAME");
    ed_loginname->SetReadOnly(true);
    ed_hourdebit = bound<TDBEdit>(panel, "ed_hourdebit", "HOURDEBIT");
    cb_userlevel = bound<TDBLookupComboBox>(panel, "cb_userlevel", "USERLEVEL");
    cb_course = bound<TDBLookupComboBox>(panel, "cb_course", "COURSE");
    ed_progtestresult = bound<TDBEdit>(panel, "ed_progtestresult", "PROGTESTRESULT");
    ed_progtestresult->SetReadOnly(true);
    // The check box sets its own enabled state from its field; the panel around it disables
    // it for a teacher.
    pan_useractive = new QWidget(panel);
    chb_useractive = bound<TDBCheckBox>(pan_useractive, "chb_useractive", "USERACTIVE");
    chb_useractive->setText(AppText(48));
    auto *active = new QHBoxLayout(pan_useractive);
    active->setContentsMargins(0, 0, 0, 0);
    active->addWidget(chb_useractive);
    btn_resetpass = new QPushButton(AppText(49), panel);
    btn_resetpass->setObjectName(QStringLiteral("btn_resetpass"));
    form->addRow(AppText(41), ed_usertype);
    form->addRow(AppText(42), ed_loginname);
    form->addRow(AppText(43), ed_hourdebit);
    form->addRow(AppText(44), cb_userlevel);
    form->addRow(AppText(45), cb_course);
    form->addRow(AppText(46), ed_progtestresult);
    form->addRow(pan_useractive);
    form->addRow(btn_resetpass);
    panel->setFixedWidth(250);
    return panel;
}

QWidget *Tfeduser::buildBooks() {
    auto *panel = new QWidget(this);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    lb_books = new QListWidget(panel);
    lb_books->setObjectName(QStringLiteral("lb_books"));
    lb_books->setMinimumHeight(60);
    auto *caption = new QLabel(AppText(47), panel);
    caption->setBuddy(lb_books);
    layout->addWidget(caption);
    layout->addWidget(lb_books, 1);
    panel->setFixedWidth(190);
    return panel;
}

QWidget *Tfeduser::buildRemarksTab() {
    auto *tab = new QWidget(this);
    frg_userremark = new Tfrg(tab, QStringLiteral("frg_userremark"));
    frg_userremark->nv->SetVisibleButtons(kAllNavigateButtons);
    frg_userremark->spbfind->setVisible(false);
    frg_userremark->pancfg->setVisible(false);
    TColumnList columns;
    columns << MakeColumn(QStringLiteral("IDUSERREMARK"), QString(), 40, false)
            << MakeColumn(QStringLiteral("WHENWRITTEN"), AppText(54), 120)
            << MakeColumn(QStringLiteral("FULLNAME"), AppText(55), 130);
    frg_userremark->gr->SetColumns(columns);
    frg_userremark->OnShowDetail = [this](Tfrg *) {
        if (ds_userremark->State() == TTableState::Insert)
            mem_userremark->setFocus();
    };
    mem_userremark = bound<TDBMemo>(tab, "mem_userremark", "REMARK");
    auto *right = new QWidget(tab);
    auto *rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(new QLabel(AppText(53), right));
    rightLayout->addWidget(mem_userremark);
    auto *split = new QSplitter(tab);
    split->addWidget(frg_userremark);
    split->addWidget(right);
    split->setSizes({300, 400});
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(split);
    return tab;
}

QWidget *Tfeduser::buildStatisticsTab() {
    auto *tab = new QWidget(this);
    // A hidden statistics tab (the teacher's form) does not hold the tabs up.
    tab->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    auto *grid = new QGridLayout(tab);
    grid->setVerticalSpacing(2);
    const auto value = [tab](const char *name) {
        auto *label = new QLabel(tab);
        label->setObjectName(QString::fromLatin1(name));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setMinimumWidth(90);
        return label;
    };
    grid->addWidget(new QLabel(AppText(59), tab), 0, 1, Qt::AlignRight);
    grid->addWidget(new QLabel(AppText(60), tab), 0, 2, Qt::AlignRight);
    const struct {
        int caption;
        const char *hours;
        const char *amount;
    } left[] = {{56, "lb_hoursOrdered", "lb_amountOrdered"},
                {57, "lb_hoursPayed", "lb_amountPayed"},
                {58, "lb_hoursToPay", "lb_amountToPay"}};
    int row = 1;
    for (const auto &line : left) {
        grid->addWidget(new QLabel(AppText(line.caption), tab), row, 0);
        grid->addWidget(value(line.hours), row, 1);
        grid->addWidget(value(line.amount), row, 2);
        ++row;
    }
    const struct {
        int caption;
        const char *hours;
    } right[] = {{61, "lb_learned"},     {62, "lb_missed"},   {71, "lb_expired"},
                 {63, "lb_used"},        {64, "lb_unused"},   {65, "lb_reserved"},
                 {66, "lb_unconfirmed"}, {67, "lb_confirmed"}};
    row = 1;
    for (const auto &line : right) {
        grid->addWidget(new QLabel(AppText(line.caption), tab), row, 4);
        grid->addWidget(value(line.hours), row, 5);
        ++row;
    }
    grid->setColumnMinimumWidth(3, 30);
    btn_refreshstats = new QPushButton(AppText(68), tab);
    btn_refreshstats->setObjectName(QStringLiteral("btn_refreshstats"));
    grid->addWidget(btn_refreshstats, 5, 0, 1, 3, Qt::AlignLeft);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(6, 1);
    return tab;
}

void Tfeduser::fillBooks() {
    if (lb_books->count() > 0 || !BookSource)
        return;
    m_ticking = true;
    for (const TUserDialogBook &book : BookSource()) {
        auto *item = new QListWidgetItem(book.title, lb_books);
        item->setData(Qt::UserRole, book.number);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
    }
    m_ticking = false;
}

void Tfeduser::ClearBooks() {
    m_ticking = true;
    lb_books->clear();
    m_ticking = false;
}

void Tfeduser::Prepare() {
    Release();
    Tdm &d = *m_services.dm;
    fillBooks();
    const bool teacher = m_services.userType() == UserTypes::Teacher;
    pan_useractive->setEnabled(!teacher);
    ed_hourdebit->setEnabled(!teacher);
    pgc->setTabVisible(pgc->indexOf(ts_stats), !teacher);
    if (teacher)
        pgc->setCurrentWidget(ts_remarks);
    fr_profil->ShowBasicOnly(teacher);
    lb_remark->setVisible(!teacher);
    mem_remark->setVisible(!teacher);
    m_height = teacher ? kTeacherHeight : kStaffHeight;
    layout()->activate();
    resize(kWidth, m_height);

    ds->SetDataSet(&d.cd_user);
    for (QWidget *w : QList<QWidget *>{ed_usertype, ed_loginname, ed_hourdebit, ed_progtestresult})
        static_cast<TDBEdit *>(w)->SetDataSource(ds);
    cb_userlevel->SetDataSource(ds);
    cb_course->SetDataSource(ds);
    chb_useractive->SetDataSource(ds);
    mem_remark->SetDataSource(ds);
    fr_profil->SetDataSource(ds);
    m_previousBeforePost = d.cd_user.BeforePost;
    d.cd_user.BeforePost = [this](TClientTable &table) {
        if (m_previousBeforePost)
            m_previousBeforePost(table);
        CollectUserBooks();
    };
    ds_userlevel->SetDataSet(&d.cd_userlevel);
    ds_course->SetDataSet(&d.cd_course);
    cb_userlevel->SetListSource(ds_userlevel, QStringLiteral("IDUSERLEVEL"),
                                QStringLiteral("LEVELNAME_L"));
    cb_course->SetListSource(ds_course, QStringLiteral("IDCOURSE"), QStringLiteral("COURSENAME_L"));
    TClientTable &remarks = d.cd_userremark;
    remarks.SetIndexFieldNames(QStringLiteral("WHENWRITTEN"));
    if (!remarks.Active())
        remarks.Open();
    ds_userremark->SetDataSet(&remarks);
    mem_userremark->SetDataSource(ds_userremark);
    frg_userremark->init(ds_userremark, nullptr, QStringLiteral("userremark"));
    fre->Bind(ds,
              NavButton(nbFirst) | NavButton(nbPrior) | NavButton(nbNext) | NavButton(nbLast) |
                  NavButton(nbEdit) | NavButton(nbPost) | NavButton(nbCancel) |
                  NavButton(nbRefresh),
              teacher ? static_cast<QWidget *>(cb_userlevel) : ed_hourdebit);
    const auto moved = [this] { RunGuarded([this] { recordMoved(); }); };
    m_connections << connect(ds, &TDataSource::scrolled, this, moved)
                  << connect(ds, &TDataSource::dataSetChanged, this, moved)
                  << connect(ds, &TDataSource::dataChanged, this, moved)
                  << connect(ds, &TDataSource::recordChanged, this, [this] { tickBooks(); });
    m_prepared = true;
    m_booksTouched = false;
    recordMoved();
    (teacher ? static_cast<QWidget *>(cb_userlevel) : ed_hourdebit)->setFocus();
}

void Tfeduser::Release() {
    if (!m_prepared)
        return;
    m_prepared = false;
    for (const QMetaObject::Connection &c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    Tdm &d = *m_services.dm;
    d.cd_user.BeforePost = m_previousBeforePost;
    m_previousBeforePost = nullptr;
    for (TDBEdit *e : {ed_usertype, ed_loginname, ed_hourdebit, ed_progtestresult})
        e->SetDataSource(nullptr);
    cb_userlevel->SetDataSource(nullptr);
    cb_course->SetDataSource(nullptr);
    chb_useractive->SetDataSource(nullptr);
    mem_remark->SetDataSource(nullptr);
    fr_profil->SetDataSource(nullptr);
    mem_userremark->SetDataSource(nullptr);
    ds_userremark->SetDataSet(nullptr);
    ds_userlevel->SetDataSet(nullptr);
    ds_course->SetDataSet(nullptr);
    ds->SetDataSet(nullptr);
    d.cd_userremark.SetFiltered(false);
}

void Tfeduser::showEvent(QShowEvent *event) {
    // Shown as a list's detail form: bound here.
    if (!m_prepared)
        RunGuarded([this] { Prepare(); });
    QDialog::showEvent(event);
    // The form's height follows the signed-in user's type also after the first showing.
    layout()->activate();
    resize(kWidth, m_height);
}

void Tfeduser::done(int result) {
    Release();
    QDialog::done(result);
}

void Tfeduser::recordMoved() {
    TClientTable &users = m_services.dm->cd_user;
    const int id = currentUserId(users);
    tickBooks();
    for (QWidget *w : QList<QWidget *>{btn_resetpass, lb_books, frg_userremark, mem_userremark})
        w->setEnabled(id > 0);
    TClientTable &remarks = m_services.dm->cd_userremark;
    m_services.dm->RemarkUserId = id;
    if (remarks.Active()) {
        remarks.SetFilter(QStringLiteral("IDUSER=") + QString::number(id));
        remarks.SetFiltered(true);
    }
    showStatistics(UserStatistics(users));
}

void Tfeduser::tickBooks() {
    TClientTable &users = m_services.dm->cd_user;
    // The ticks show the record's books, also when the record came into edit before the
    // dialog showed; only ticks the user has changed in this edit stay as they are.
    if (!editing(users))
        m_booksTouched = false;
    else if (m_booksTouched)
        return;
    QString bookIds;
    if (users.Active() && !users.IsEmpty())
        if (const auto f = users.FindField(QStringLiteral("BOOKIDS")))
            bookIds = f->AsString();
    m_ticking = true;
    for (int i = 0; i < lb_books->count(); ++i) {
        QListWidgetItem *item = lb_books->item(i);
        const bool listed = BookListed(bookIds, item->data(Qt::UserRole).toInt());
        item->setCheckState(listed ? Qt::Checked : Qt::Unchecked);
    }
    m_ticking = false;
}

void Tfeduser::bookChanged(QListWidgetItem *item) {
    (void)item;
    if (m_ticking || !m_prepared)
        return;
    // Marked first: the edit that starts here re-ticks the list unless the user's tick counts.
    m_booksTouched = true;
    if (!editing(m_services.dm->cd_user))
        ds->Edit();
}

void Tfeduser::CollectUserBooks() {
    fr_profil->CheckProfileFields();
    // Books are written only when the user changed a tick: a save of other fields keeps
    // the record's books as they are.
    if (!m_booksTouched)
        return;
    TField field = m_services.dm->cd_user.FieldByName(QStringLiteral("BOOKIDS"));
    QList<int> ticked, listed;
    for (int i = 0; i < lb_books->count(); ++i) {
        const int book = lb_books->item(i)->data(Qt::UserRole).toInt();
        listed << book;
        if (lb_books->item(i)->checkState() == Qt::Checked)
            ticked << book;
    }
    // Books outside the signed-in user's library cannot be ticked here; they stay listed.
    for (const QString &part : field.AsString().split(u';', Qt::SkipEmptyParts))
        if (const int book = part.trimmed().toInt();
            book > 0 && !listed.contains(book) && !ticked.contains(book))
            ticked << book;
    field.SetAsString(JoinBookIds(ticked));
}

void Tfeduser::showStatistics(const TUserStatistics &s) {
    const QList<QPair<const char *, double>> values{{"lb_hoursOrdered", s.hoursOrdered},
                                                    {"lb_amountOrdered", s.amountOrdered},
                                                    {"lb_hoursPayed", s.hoursPayed},
                                                    {"lb_amountPayed", s.amountPayed},
                                                    {"lb_hoursToPay", s.hoursToPay},
                                                    {"lb_amountToPay", s.amountToPay},
                                                    {"lb_learned", s.learned},
                                                    {"lb_missed", s.missed},
                                                    {"lb_expired", s.expired},
                                                    {"lb_used", s.used},
                                                    {"lb_unused", s.unused},
                                                    {"lb_reserved", s.reserved},
                                                    {"lb_unconfirmed", s.unconfirmed},
                                                    {"lb_confirmed", s.confirmed}};
    for (const auto &[name, number] : values)
        ts_stats->findChild<QLabel *>(QString::fromLatin1(name))->setText(FormatAmount(number));
}

QString Tfeduser::StatisticText(const QString &name) const {
    const QLabel *label = ts_stats->findChild<QLabel *>(name);
    return label ? label->text() : QString();
}

void Tfeduser::btn_resetpassClick() {
    const int id = currentUserId(m_services.dm->cd_user);
    if (id <= 0)
        return;
    if (AppMessageBox(AppText(69), mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    ServerRequest request;
    request.action = QStringLiteral("changepass");
    request.data = ResetPasswordData(id);
    ReportResult(RunRequest(request), AppText(70));
}

void Tfeduser::btn_refreshstatsClick() {
    m_services.dm->cd_user.Refresh();
}
