#include "screens/timetable/tfrtimetable.h"

#include "base/session.h"
#include "base/usertypes.h"
#include "data/dm.h"
#include "grid/controls/datasource.h"
#include "grid/dbgridex.h"
#include "grid/gridframe.h"
#include "seam/guard.h"
#include "seam/seam.h"
#include "lang/texts.h"
#include "screens/timetable/hoursbalance.h"
#include "screens/timetable/booking/timetableextras.h"
#include "screens/timetable/hourspanel.h"
#include "screens/timetable/month/monthcalendar.h"
#include "screens/timetable/month/monthdays.h"
#include "screens/timetable/month/monthgrid.h"
#include "screens/timetable/statusmenu.h"
#include "screens/timetable/tfaddtimetable.h"
#include "screens/timetable/tfflttimetable.h"
#include "screens/timetable/tfhisttimetable.h"
#include "screens/timetable/timetablefilter.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScopeGuard>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr TNavigateButtons kBrowseButtons = NavButton(nbFirst) | NavButton(nbPrior) |
                                            NavButton(nbNext) | NavButton(nbLast) |
                                            NavButton(nbRefresh);

// The legend: texts 335 to 339 with the day values they stand for.
constexpr int kLegendTexts[5] = {335, 336, 337, 338, 339};
constexpr int kLegendValues[5] = {1, 2, 3, 4, TMonthColourMap::kMixed};

QPixmap legendShape(TColor colour) {
    QPixmap pixmap(16, 12);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(96, 96, 96));
    p.setBrush(QColor(ColorRed(colour), ColorGreen(colour), ColorBlue(colour)));
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 11), 2, 2);
    return pixmap;
}

QToolButton *actionButton(QWidget *parent, const char *name) {
    auto *button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::TabFocus);
    button->setMinimumHeight(27);
    return button;
}

} // namespace

Tfrtimetable::Tfrtimetable(const TServices &services, QWidget *parent)
    : TScreen(parent), m_services(services), cal(new TMonthCalendar(this)),
      chb_filter(new QCheckBox(this)), pan_hours(new THoursPanel(this)),
      frg_timetable(new Tfrg(this, QStringLiteral("frg_timetable"))),
      spb_reserve_new(actionButton(frg_timetable->pan, "spb_reserve_new")),
      spb_storno_status(actionButton(frg_timetable->pan, "spb_storno_status")),
      spb_user(actionButton(frg_timetable->pan, "spb_user")),
      spb_hist(actionButton(frg_timetable->pan, "spb_hist")),
      spb_export(actionButton(frg_timetable->pan, "spb_export")), pm_status(new TStatusMenu(this)),
      ds(new TDataSource(this)) {
    setObjectName(QStringLiteral("frtimetable"));
    ds->setObjectName(QStringLiteral("ds"));
    chb_filter->setObjectName(QStringLiteral("chb_filter"));
    placeButtons();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildHeader());
    layout->addWidget(frg_timetable, 1);
    m_extras = new TTimetableExtras(m_services, frg_timetable->pan, spb_storno_status, layout,
                                    pan_hours, this);
    m_extras->afterRepeat = [this] {
        m_services.dm->cd_timetable.Refresh();
        FillHours(true);
        RecomputeCalendar();
    };

    cal->days->CellColour = [this](const QDate &date) { return CellColour(date); };
    connect(cal, &TMonthCalendar::dateChanged, this,
            [this] { RunGuarded([this] { CalendarChange(); }); });
    connect(chb_filter, &QCheckBox::clicked, this,
            [this] { RunGuarded([this] { chb_filterClick(); }); });
    connect(frg_timetable->spbfilter, &QToolButton::clicked, this,
            [this] { RunGuarded([this] { spbfilterClick(); }); });
    connect(frg_timetable->nv, &TDBNavigator::clicked, this,
            [this](TNavigateBtn button) { RunGuarded([this, button] { nvClicked(button); }); });
    const std::pair<QToolButton *, void (Tfrtimetable::*)()> clicks[] = {
        {spb_reserve_new, &Tfrtimetable::spb_reserve_newClick},
        {spb_storno_status, &Tfrtimetable::spb_storno_statusClick},
        {spb_user, &Tfrtimetable::spb_userClick},
        {spb_hist, &Tfrtimetable::spb_histClick},
        {spb_export, &Tfrtimetable::spb_exportClick}};
    for (const auto &click : clicks) {
        const auto handler = click.second;
        connect(click.first, &QToolButton::clicked, this,
                [this, handler] { RunGuarded([this, handler] { (this->*handler)(); }); });
    }
    // The buttons follow moves to another lesson, not changes of a single field.
    const auto follow = [this] { RunGuarded([this] { UpdateButtons(); }); };
    for (auto signal : {&TDataSource::scrolled, &TDataSource::dataChanged,
                        &TDataSource::dataSetChanged, &TDataSource::recordChanged})
        connect(ds, signal, this, follow);
    pm_status->OnChoose = [this](int status) { ChangeStatus(status); };
    // A student's Enter on a free lesson books it, as the booking button would.
    frg_timetable->OnEnter = [this] {
        if (m_services.userType() != UserTypes::Client || !spb_reserve_new->isEnabled())
            return false;
        spb_reserve_new->click();
        return true;
    };
}

Tfrtimetable::~Tfrtimetable() {
    delete m_filter.data();
}

void Tfrtimetable::placeButtons() {
    // The buttons stand in the list's toolbar after its own, before its stretch.
    auto *tools = static_cast<QHBoxLayout *>(frg_timetable->pan->layout());
    for (QToolButton *button : {spb_reserve_new, spb_storno_status, spb_user, spb_hist, spb_export})
        tools->insertWidget(tools->count() - 1, button);
}

QWidget *Tfrtimetable::buildHeader() {
    auto *header = new QWidget(this);
    header->setObjectName(QStringLiteral("pan_header"));
    auto *row = new QHBoxLayout(header);
    row->setContentsMargins(6, 6, 6, 6);
    row->setSpacing(16);
    cal->setFixedSize(qMax(cal->sizeHint().width(), 240), qMax(cal->sizeHint().height(), 190));
    row->addWidget(cal, 0, Qt::AlignTop);
    row->addWidget(buildLegend(), 0, Qt::AlignTop);
    row->addWidget(pan_hours, 0, Qt::AlignTop);
    row->addStretch(1);
    return header;
}

QWidget *Tfrtimetable::buildLegend() {
    auto *legend = new QWidget(this);
    legend->setObjectName(QStringLiteral("pan_legend"));
    auto *grid = new QGridLayout(legend);
    grid->setContentsMargins(0, 4, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    for (int i = 0; i < 5; ++i) {
        im_legend[i] = new QLabel(legend);
        im_legend[i]->setPixmap(legendShape(*DayColour(kLegendValues[i])));
        lb_legend[i] = new QLabel(legend);
        lb_legend[i]->setObjectName(QStringLiteral("lb_legend%1").arg(i + 1));
        grid->addWidget(im_legend[i], i, 0);
        grid->addWidget(lb_legend[i], i, 1);
    }
    grid->addWidget(chb_filter, 5, 0, 1, 2);
    grid->setRowMinimumHeight(5, 30);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(6, 1);
    return legend;
}

void Tfrtimetable::InitScreen() {
    for (int i = 0; i < 5; ++i)
        lb_legend[i]->setText(AppText(kLegendTexts[i]));
    chb_filter->setText(AppText(340));
    spb_user->setText(AppText(353));
    spb_hist->setText(AppText(354));
    spb_export->setText(AppText(1300));
    TColumnList columns;
    columns << MakeColumn(QStringLiteral("WHENHOUR"), AppText(358), 150)
            << MakeColumn(QStringLiteral("HOURS"), AppText(359), 45)
            << MakeColumn(QStringLiteral("TEACHERFULLNAME"), AppText(360), 150)
            << MakeColumn(QStringLiteral("CLIENTFULLNAME"), AppText(361), 150)
            << MakeColumn(QStringLiteral("STATUSNAME_L"), AppText(362), 160)
            << MakeColumn(QStringLiteral("WHENSTATUSCHANGE"), AppText(363), 140)
            << MakeColumn(QStringLiteral("CHANGERFULLNAME"), AppText(364), 150);
    for (const char *field :
         {"IDTIMETABLE", "IDJOB", "IDTEACHER", "TIMETABLESTATUS", "IDUSER", "WHOSTATUSCHANGE"})
        columns << MakeColumn(QString::fromLatin1(field), QString::fromLatin1(field), 60, false);
    columns[1].alignment = TColumnAlignment::Right;
    frg_timetable->gr->SetColumns(columns);
    cal->SetDate(CurrentSeam().now().date());
    cal->SetTitle(MonthGrid::Title(cal->Date()));
    m_map.Invalidate();
}

void Tfrtimetable::EnterScreen() {
    const int type = m_services.userType();
    if (type == UserTypes::Client)
        enterAsClient();
    else
        enterAsOthers();
    spb_hist->setVisible(UserTypes::IsStaff(type));
    TClientTable &t = m_services.dm->cd_timetable;
    if (!t.Active())
        t.Open();
    FillHours(false);
    ds->SetDataSet(&t);
    frg_timetable->init(ds, nullptr, QStringLiteral("timetable"));
    t.SetIndexFieldNames(QStringLiteral("WHENHOUR"));
    if (type == UserTypes::Client)
        chb_filter->setChecked(false);
    else if (chb_filter->isChecked())
        ApplyFilter();
    showFilterState();
    RecomputeCalendar();
    UpdateButtons();
    m_extras->Enter();
}

void Tfrtimetable::enterAsClient() {
    for (QWidget *w : {frg_timetable->pancfg, static_cast<QWidget *>(frg_timetable->spbfind),
                       static_cast<QWidget *>(frg_timetable->spbfilter),
                       static_cast<QWidget *>(frg_timetable->spboutput),
                       static_cast<QWidget *>(chb_filter), static_cast<QWidget *>(spb_user)})
        w->hide();
    pan_hours->show();
    frg_timetable->nv->SetVisibleButtons(kBrowseButtons);
    spb_reserve_new->setText(AppText(349));
    spb_storno_status->setText(AppText(350));
    spb_export->setToolTip(AppText(1309));
}

void Tfrtimetable::enterAsOthers() {
    pan_hours->hide();
    for (QWidget *w : {frg_timetable->pancfg, static_cast<QWidget *>(frg_timetable->spbfind),
                       static_cast<QWidget *>(frg_timetable->spbfilter),
                       static_cast<QWidget *>(frg_timetable->spboutput),
                       static_cast<QWidget *>(chb_filter), static_cast<QWidget *>(spb_user)})
        w->show();
    frg_timetable->nv->SetVisibleButtons(kBrowseButtons | NavButton(nbDelete));
    spb_reserve_new->setText(AppText(351));
    spb_storno_status->setText(AppText(352));
    spb_export->setToolTip(AppText(1302));
    if (pm_status->IsEmpty())
        pm_status->Build(m_services.dm->cd_ttstatus, m_services.userType());
}

void Tfrtimetable::LeaveScreen() {
    TClientTable &t = m_services.dm->cd_timetable;
    t.SetFiltered(false);
    t.SetFilter(QString());
    ds->SetDataSet(nullptr);
    if (m_filter && m_filter->ShowPeople)
        m_filter->ClearPeople();
}

void Tfrtimetable::SignOutScreen() {
    pm_status->ClearEntries();
    delete m_filter.data();
    // The list follows the selected day again: the filter it showed left with the dialog.
    chb_filter->setChecked(false);
    showFilterState();
}

void Tfrtimetable::RecomputeCalendar() {
    m_map.Invalidate();
    CalendarChange();
}

void Tfrtimetable::CalendarChange() {
    const QDate date = cal->Date();
    cal->SetTitle(MonthGrid::Title(date));
    TClientTable &t = m_services.dm->cd_timetable;
    const qint64 id = currentId();
    if (!m_map.IsFor(date))
        m_map.Compute(t, date);
    if (chb_filter->isChecked()) {
        ApplyFilter();
    } else if (t.Active()) {
        t.SetFilter(DayFilterText(date));
        t.SetFiltered(true);
    }
    moveTo(id);
    cal->RefreshCells();
}

std::optional<TColor> Tfrtimetable::CellColour(const QDate &date) const {
    return DayColour(m_map.ValueOf(date));
}

void Tfrtimetable::FillHours(bool reread) {
    if (m_services.userType() != UserTypes::Client)
        return;
    if (reread)
        m_services.dm->RefreshUserInfo();
    TClientTable &info = m_services.dm->cd_user_info;
    if (!info.Active() || info.IsEmpty())
        return;
    const THoursBalance balance = THoursBalance::FromUserInfo(info);
    pan_hours->Fill(balance);
    m_extras->MarkBalance(balance.Bookable());
}

void Tfrtimetable::showFilterState() {
    const bool byDay = !chb_filter->isChecked();
    cal->setEnabled(byDay);
    for (QLabel *label : lb_legend)
        label->setEnabled(byDay);
}

void Tfrtimetable::chb_filterClick() {
    if (chb_filter->isChecked() && frg_timetable->spbfilter->isVisible()) {
        spbfilterClick();
        frg_timetable->gr->setFocus();
    }
    showFilterState();
    RecomputeCalendar();
}

void Tfrtimetable::nvClicked(TNavigateBtn button) {
    if (button == nbDelete || button == nbRefresh)
        FillHours(true);
    m_map.Invalidate();
    m_map.Compute(m_services.dm->cd_timetable, cal->Date());
    cal->RefreshCells();
}

qint64 Tfrtimetable::currentInteger(const char *field) const {
    TClientTable &t = m_services.dm->cd_timetable;
    if (!t.Active() || t.IsEmpty())
        return 0;
    return t.FieldByName(QString::fromLatin1(field)).AsInteger();
}

qint64 Tfrtimetable::currentId() const {
    return currentInteger("IDTIMETABLE");
}

QString Tfrtimetable::currentWhenText() const {
    return m_services.dm->cd_timetable.FieldByName(QStringLiteral("WHENHOUR")).AsString();
}

void Tfrtimetable::moveTo(qint64 id) {
    TClientTable &t = m_services.dm->cd_timetable;
    if (id > 0 && t.Active())
        t.Locate(QStringLiteral("IDTIMETABLE"), {TValue::FromInteger(id)});
}

void Tfrtimetable::UpdateButtons() {
    // The booking features have their word on the buttons after the basic rules.
    const auto extras = qScopeGuard([this] { m_extras->Update(); });
    const qint64 id = currentId();
    const bool client = m_services.userType() == UserTypes::Client;
    if (id < 1) {
        spb_reserve_new->setEnabled(!client);
        for (QToolButton *button : {spb_storno_status, spb_user, spb_hist})
            button->setEnabled(false);
        return;
    }
    const qint64 status = currentInteger("TIMETABLESTATUS");
    if (client) {
        spb_reserve_new->setEnabled(status == 1);
        spb_storno_status->setEnabled(status == 2 || status == 3);
        return;
    }
    spb_reserve_new->setEnabled(true);
    spb_storno_status->setEnabled(status != 1);
    spb_user->setEnabled(currentInteger("IDUSER") > 0);
    spb_hist->setEnabled(true);
}
