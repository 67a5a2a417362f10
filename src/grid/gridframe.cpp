#include "grid/gridframe.h"
#include "grid/frameletters.h"

#include "base/locations.h"
#include "grid/columnlayout.h"
#include "grid/dialogs/columnordereditor.h"
#include "grid/controls/datasource.h"
#include "grid/dbgridex.h"
#include "grid/dialogs/finddialog.h"
#include "grid/gridoutput.h"
#include "grid/recordwalk.h"
#include "grid/standardformats.h"
#include "errors/apperror.h"
#include "seam/guard.h"
#include "seam/messagebox.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "net/settings/cfghandler.h"

#include <QActionGroup>
#include <QDialog>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kLayoutSection = QStringLiteral("col");

// A direction glyph 13 pixels wide: a triangle pointing up (ascending) or down.
QPixmap directionGlyph(bool descending) {
    QPixmap pixmap(13, 13);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 128));
    if (descending)
        p.drawPolygon(QPolygonF({QPointF(1.5, 3.5), QPointF(11.5, 3.5), QPointF(6.5, 10.5)}));
    else
        p.drawPolygon(QPolygonF({QPointF(1.5, 10.5), QPointF(11.5, 10.5), QPointF(6.5, 3.5)}));
    return pixmap;
}

QToolButton *toolbarButton(QWidget *parent, const QString &caption, const QString &hint) {
    auto *button = new QToolButton(parent);
    button->setText(caption);
    button->setToolTip(hint);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::TabFocus);
    button->setMinimumHeight(27);
    return button;
}

bool isNavy(TColor color) {
    return color == clNavy;
}

} // namespace

Tfrg::Tfrg(QWidget *parent, const QString &name)
    : QWidget(parent), pan(new QWidget(this)), nv(new TDBNavigator(pan)),
      spbfind(toolbarButton(pan, CommonText(4), CommonText(26))),
      spbfilter(toolbarButton(pan, CommonText(5), QString())),
      spboutput(toolbarButton(pan, CommonText(6), CommonText(27))), gr(new TDBGridEx(this)),
      pancfg(new QWidget(gr)), spbcfg(new QToolButton(pancfg)), pmcfg(new QMenu(this)),
      pmsort(new QMenu(CommonText(8), pmcfg)), pmo(new QMenu(this)),
      m_sortGroup(new QActionGroup(this)) {
    setObjectName(name);
    ConfigStore();
    iml = {directionGlyph(false), directionGlyph(true)};

    pan->setFixedHeight(37);
    auto *tools = new QHBoxLayout(pan);
    tools->setContentsMargins(4, 5, 4, 5);
    tools->setSpacing(4);
    tools->addWidget(nv);
    tools->addSpacing(6);
    tools->addWidget(spbfind);
    tools->addWidget(spbfilter);
    tools->addWidget(spboutput);
    tools->addStretch();
    spbfilter->hide();
    spboutput->hide();
    nv->ConfirmDelete = false;
    nv->SetHints(CommonText(23).split(u';'));
    FollowFrameLetters(this);
    // An empty list under a filter says that the filter hides what there is.
    gr->EmptyText = [this] {
        const TClientTable *t = table();
        return t && t->Active() && t->Filtered() ? AppText(1075) : QString();
    };

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(pan);
    layout->addWidget(gr);

    gr->setObjectName(QStringLiteral("gr"));
    gr->setContextMenuPolicy(Qt::CustomContextMenu);
    gr->SetHotTrackTitles(true);
    gr->OnHotTrackTitles = [this](int column, bool &can) { can = IsSortable(column); };
    gr->OnKeyDown = [this](QKeyEvent *event) { return grKeyDown(event); };
    gr->installEventFilter(this);

    spbcfg->setAutoRaise(true);
    spbcfg->setFocusPolicy(Qt::TabFocus);
    spbcfg->setToolTip(CommonText(152));
    spbcfg->setIcon(QIcon(iml[0]));
    spbcfg->setIconSize(QSize(13, 13));
    auto *cornerLayout = new QHBoxLayout(pancfg);
    cornerLayout->setContentsMargins(0, 0, 0, 0);
    cornerLayout->addWidget(spbcfg);

    buildMenus();

    const auto guarded = [](auto body) { return [body] { RunGuarded(body); }; };
    connect(spbfind, &QToolButton::clicked, this, guarded([this] { spbfindClick(); }));
    connect(spboutput, &QToolButton::clicked, this, guarded([this] { spboutputClick(); }));
    connect(spbcfg, &QToolButton::clicked, this, guarded([this] { spbcfgClick(); }));
    connect(gr, &TDBGridEx::titleClick, this,
            [this](int column) { RunGuarded([&] { grTitleClick(column); }); });
    connect(gr, &TDBGridEx::titleMousePressed, this,
            [this](Qt::MouseButtons buttons, int column) { grMouseDown(buttons, column); });
    connect(gr, &TDBGridEx::columnMoved, this, &Tfrg::columnMoved);
    connect(gr, &TDBGridEx::columnsReplaced, this, &Tfrg::columnsReplaced);
    connect(gr, &TDBGridEx::gridDoubleClick, this, guarded([this] { grDblClick(); }));
    connect(gr, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        RunGuarded([&] { openSettingsMenu(gr->viewport()->mapToGlobal(pos)); });
    });
    nv->BeforeAction = [this](TNavigateBtn button) { nvBeforeAction(button); };
    connect(nv, &TDBNavigator::clicked, this, &Tfrg::nvClick);
}

Tfrg::~Tfrg() = default;

void Tfrg::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    UpdateFrameLetters(window());
}

void Tfrg::hideEvent(QHideEvent *event) {
    QWidget::hideEvent(event);
    UpdateFrameLetters(window());
}

void Tfrg::buildMenus() {
    const auto item = [this](QMenu *menu, const QString &text, void (Tfrg::*handler)()) {
        QAction *action = menu->addAction(text);
        connect(action, &QAction::triggered, this,
                [this, handler] { RunGuarded([&] { (this->*handler)(); }); });
        return action;
    };
    pmcfg->addMenu(pmsort);
    auto *direction = new QActionGroup(this);
    ditvzestupn1 = item(pmcfg, CommonText(150), &Tfrg::ditvzestupn1Click);
    ditsestupn1 = item(pmcfg, CommonText(151), &Tfrg::ditsestupn1Click);
    for (QAction *action : {ditvzestupn1, ditsestupn1}) {
        action->setCheckable(true);
        direction->addAction(action);
    }
    ditvzestupn1->setChecked(true);
    Hledat1 = item(pmcfg, CommonText(9), &Tfrg::spbfindClick);
    N3 = pmcfg->addSeparator();
    Upravitpoadsloupc1 = item(pmcfg, CommonText(153), &Tfrg::Upravitpoadsloupc1Click);
    Uloitnastavensloupc1 = item(pmcfg, CommonText(10), &Tfrg::Uloitnastavensloupc1Click);
    Naststandartnnastavensloupc1 =
        item(pmcfg, CommonText(11), &Tfrg::Naststandartnnastavensloupc1Click);
    pmcfg->addSeparator();
    Zjistitpoetzznam1 = item(pmcfg, CommonText(154), &Tfrg::Zjistitpoetzznam1Click);
    m_sortGroup->setExclusive(true);

    pmo->addSeparator()->setData(-1);
    Definovatvstup1 = item(pmo, CommonText(7), &Tfrg::Definovatvstup1Click);
    Definovatvstup1->setData(-1);
}

TCfgHandler &Tfrg::ConfigStore() {
    static const std::unique_ptr<TCfgHandler> store =
        std::make_unique<TFileCfgHandler>(AppLocations().dataFolder);
    return *store;
}

int Tfrg::FindColumnIndex(const TDBGridEx *grid, const QString &fieldName) {
    return grid ? ::FindColumnIndex(grid->Columns(), fieldName) : -1;
}

TClientTable *Tfrg::table() const {
    return m_source ? m_source->DataSet() : nullptr;
}

// --- corner button ---

bool Tfrg::eventFilter(QObject *watched, QEvent *event) {
    if (watched == gr && (event->type() == QEvent::Resize || event->type() == QEvent::Show ||
                          event->type() == QEvent::LayoutRequest))
        placeCornerButton();
    return QWidget::eventFilter(watched, event);
}

void Tfrg::placeCornerButton() {
    const int frame = gr->frameWidth();
    pancfg->setGeometry(frame, frame, gr->verticalHeader()->width(),
                        qMax(gr->horizontalHeader()->height(), 16));
    pancfg->raise();
}

// --- init ---

void Tfrg::init(TDataSource *source, QDialog *detailForm, const QString &storageKey) {
    if (!source)
        throw AppError(objectName() + QStringLiteral(".init error: unassigned datasource"));
    if (!source->DataSet())
        throw AppError(objectName() +
                       QStringLiteral(".init error: unassigned dataset for datasource ") +
                       source->NamePath());
    m_lastFindText.clear();
    m_menuAllowed = true;
    m_source = source;
    nv->SetDataSource(source);
    gr->SetDataSource(source);
    m_detailForm = detailForm;
    m_storageKey = storageKey.isEmpty() ? objectName() : storageKey;

    m_defaultLayout = SerializeColumns(gr->Columns());

    m_layoutStored = false;
    QString stored;
    ConfigStore().Read(kLayoutSection, QString(), stored, m_storageKey);
    if (!stored.isEmpty()) {
        m_layoutStored = true;
        std::optional<TColumnList> columns;
        if (const auto bytes = LayoutFromHex(stored))
            columns = DeserializeColumns(*bytes);
        if (columns && columns->isEmpty())
            columns.reset(); // a list without columns would leave the list blank
        gr->SetColumns(columns ? *columns : *DeserializeColumns(m_defaultLayout));
    }

    // A client table can always be sorted descending, by a named descending index.
    m_descendingAllowed = true;
    ditvzestupn1->setVisible(m_descendingAllowed);
    ditsestupn1->setVisible(m_descendingAllowed);

    rebuildSortMenu();
    determineSortColumn();
    if (table()->Active())
        applyStandardFormats();
}

void Tfrg::applyStandardFormats() {
    TClientTable *t = table();
    for (const TColumn &column : gr->Columns()) {
        const int field = column.visible ? t->FieldIndex(column.fieldName) : -1;
        if (field >= 0)
            ApplyStandardFormats(t->FieldDef(field));
    }
    gr->viewport()->update();
}

// --- sorting ---

bool Tfrg::findEnabled() const {
    return spbfind->isVisibleTo(this) && spbfind->isEnabled();
}

bool Tfrg::cornerEnabled() const {
    return pancfg->isVisibleTo(this) && pancfg->isEnabled() && spbcfg->isVisibleTo(this) &&
           spbcfg->isEnabled();
}

bool Tfrg::IsSortable(int column) const {
    const TColumnList &columns = gr->Columns();
    if (!findEnabled() || column < 0 || column >= columns.size())
        return false;
    const TColumn &def = columns[column];
    if (!def.visible || def.buttonStyle == TColumnButtonStyle::None)
        return false;
    const TClientTable *t = table();
    const int field = t ? t->FieldIndex(def.fieldName) : -1;
    if (field < 0)
        return true;
    const TFieldDef &fieldDef = t->FieldDefs()[field];
    return !fieldDef.isBlob() && !fieldDef.isMemo();
}

void Tfrg::SortBy(int column, bool descending) {
    if (column < 0 || column >= gr->Columns().size()) {
        m_sortColumn = -1;
        return;
    }
    TClientTable *t = table();
    if (!t)
        return;
    const QString field = gr->Columns()[column].SortField();
    try {
        if (descending) {
            const QString name = field.toUpper() + QStringLiteral("_ixd");
            if (!t->HasIndex(name))
                t->AddIndex(name, field, ixDescending | ixCaseInsensitive);
            t->SetIndexName(name);
        } else {
            t->SetIndexFieldNames(field);
        }
    } catch (const AppError &) {
        AppMessageBox(QStringLiteral("Error - cannot change index to \"") + field +
                          QStringLiteral("\"!"),
                      mtCustom, mbOK);
    }
    if (descending != m_descending)
        spbcfg->setIcon(QIcon(iml[descending ? 1 : 0]));
    m_descending = descending;
    (descending ? ditsestupn1 : ditvzestupn1)->setChecked(true);
    for (int i = 0; i < gr->Columns().size(); ++i)
        gr->SetColumnFontColors(i, clWindowText, clWindowText);
    gr->SetColumnFontColors(column, clNavy, clNavy);
    m_sortColumn = column;
    for (QAction *action : pmsort->actions())
        action->setChecked(action->data().toInt() == column);
    m_lastFindText.clear();
}

void Tfrg::rebuildSortMenu() {
    if (!findEnabled())
        return;
    for (QAction *action : pmsort->actions()) {
        m_sortGroup->removeAction(action);
        delete action;
    }
    const TColumnList &columns = gr->Columns();
    for (int i = 0; i < columns.size(); ++i) {
        if (!IsSortable(i))
            continue;
        QAction *action = pmsort->addAction(columns[i].caption);
        action->setCheckable(true);
        action->setData(i);
        m_sortGroup->addAction(action);
        connect(action, &QAction::triggered, this,
                [this, i] { RunGuarded([&] { pmsortClick(i); }); });
    }
}

// The sort column and the sort submenu follow a column to its new place.
void Tfrg::columnMoved(int from, int to) {
    if (m_sortColumn == from)
        m_sortColumn = to;
    else if (from < m_sortColumn && to >= m_sortColumn)
        --m_sortColumn;
    else if (from > m_sortColumn && to <= m_sortColumn)
        ++m_sortColumn;
    rebuildSortMenu();
    for (QAction *action : pmsort->actions())
        action->setChecked(action->data().toInt() == m_sortColumn);
}

// New columns (a screen's redesign, a loaded layout) hold no sort column until one is chosen
// again; init and the default layout determine it right after loading theirs.
void Tfrg::columnsReplaced() {
    m_sortColumn = -1;
    rebuildSortMenu();
}

void Tfrg::determineSortColumn() {
    m_sortColumn = -1;
    if (!findEnabled())
        return;
    TClientTable *t = table();
    QString index = t->IndexFieldNames();
    while (index.endsWith(u' '))
        index.chop(1);
    bool descending = false;
    if (index.toUpper().endsWith(QStringLiteral(" DESC"))) {
        index.chop(5);
        descending = true;
    } else if (index.toUpper().endsWith(QStringLiteral(" DESCENDING"))) {
        index.chop(11);
        descending = true;
    }
    const TColumnList &columns = gr->Columns();
    int found = -1;
    int firstSortable = -1;
    for (int i = 0; i < columns.size() && found < 0; ++i) {
        if (!IsSortable(i))
            continue;
        if (firstSortable < 0)
            firstSortable = i;
        if ((!index.isEmpty() && columns[i].fieldName.compare(index, Qt::CaseInsensitive) == 0) ||
            isNavy(columns[i].titleColor))
            found = i;
    }
    if (found < 0 && index.isEmpty())
        found = firstSortable;
    SortBy(found, descending);
    if (t->Active())
        t->First();
}

void Tfrg::grTitleClick(int column) {
    if (!IsSortable(column))
        return;
    if (column == m_sortColumn) {
        if (m_descendingAllowed)
            SortBy(column, !m_descending);
        return;
    }
    SortBy(column, m_descending);
}

void Tfrg::pmsortClick(int column) {
    SortBy(column, m_descending);
}

void Tfrg::ditvzestupn1Click() {
    SortBy(m_sortColumn, false);
}

void Tfrg::ditsestupn1Click() {
    if (m_descendingAllowed)
        SortBy(m_sortColumn, true);
    else
        (m_descending ? ditsestupn1 : ditvzestupn1)->setChecked(true);
}

// --- find ---

void Tfrg::spbfindClick() {
    TClientTable *t = table();
    if (m_sortColumn < 0 || !t || !t->Active())
        return;
    const TColumn &column = gr->Columns()[m_sortColumn];
    const TField field = t->FieldByName(column.SortField());
    const QString current = field.AsString();

    Tffrmfind dialog(this);
    dialog.setWindowTitle(CommonText(24));
    dialog.lb->setText(column.caption);
    dialog.SetField(field.Def());
    dialog.SetText(m_lastFindText.isEmpty() ? current : m_lastFindText);
    dialog.SelectAll = m_lastFindText.isEmpty() || m_lastFindText == current;
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString text = dialog.Text();
    m_lastFindText = text;
    m_source->UpdateRecord();
    t->FindNearest({TValue::FromText(text)});
    if (dialog.Exact() && t->FieldByName(column.SortField()).AsString() != text)
        AppMessageBox(CommonText(25), mtWarning, mbOK);
}

// --- settings menu ---

void Tfrg::spbcfgClick() {
    m_menuAllowed = true;
    openSettingsMenu(spbcfg->mapToGlobal(QPoint(0, spbcfg->height())));
}

bool Tfrg::pmcfgPopup() {
    if (m_menuAllowed && cornerEnabled()) {
        const bool sorted = m_sortColumn >= 0;
        Hledat1->setVisible(sorted);
        N3->setVisible(sorted);
        pmsort->menuAction()->setVisible(sorted && !pmsort->isEmpty());
        return true;
    }
    if (!m_menuAllowed)
        m_menuAllowed = true;
    return false;
}

void Tfrg::openSettingsMenu(const QPoint &globalPos) {
    if (pmcfgPopup())
        pmcfg->popup(globalPos);
}

void Tfrg::grMouseDown(Qt::MouseButtons buttons, int column) {
    if (buttons == Qt::RightButton && column >= 0)
        m_menuAllowed = false;
}

void Tfrg::Upravitpoadsloupc1Click() {
    Tfdbfrgcols editor(this);
    editor.Setup(gr, [this] { RestoreDefaultLayout(); });
    editor.exec();
}

void Tfrg::Uloitnastavensloupc1Click() {
    SaveLayout();
}

void Tfrg::Naststandartnnastavensloupc1Click() {
    RestoreDefaultLayout();
}

void Tfrg::SaveLayout() {
    TClientTable *t = table();
    if (!t || !t->Active())
        return;
    ConfigStore().Write(kLayoutSection, QString(), LayoutToHex(SerializeColumns(gr->Columns())),
                        m_storageKey);
    m_layoutStored = true;
}

void Tfrg::RestoreDefaultLayout() {
    m_output.reset();
    if (!m_defaultLayout.isEmpty()) {
        if (const auto columns = DeserializeColumns(m_defaultLayout))
            gr->SetColumns(*columns);
        rebuildSortMenu();
        if (table())
            determineSortColumn();
    }
    SortBy(m_sortColumn, m_descending);
    if (m_layoutStored && AppMessageBox(CommonText(12), mtConfirmation, mbYes | mbNo) == mrYes) {
        ConfigStore().Delete(kLayoutSection, QString(), m_storageKey);
        m_layoutStored = false;
    }
}

void Tfrg::Zjistitpoetzznam1Click() {
    TClientTable *t = table();
    const int count = t && t->Active() ? CountRecords(*t) : 0;
    AppMessageBox(FormatText(CommonText(155), {count}), mtInformation, mbOK);
}

// --- output ---

bool Tfrg::ensureOutput() {
    if (!m_output && GridOutputFactory())
        m_output = GridOutputFactory()(*gr, ConfigStore(), *pmo, m_storageKey);
    return bool(m_output);
}

void Tfrg::spboutputClick() {
    if (!table())
        return;
    if (!ensureOutput())
        return;
    m_output->SetFilterText(spbfilter->toolTip());
    if (pmo->actions().size() < 3)
        m_output->ShowDialog();
    else
        pmo->popup(spboutput->mapToGlobal(QPoint(0, spboutput->height())));
}

void Tfrg::Definovatvstup1Click() {
    if (table() && ensureOutput())
        m_output->ShowDialog();
}

// --- navigator, keys and detail ---

void Tfrg::nvBeforeAction(TNavigateBtn button) {
    if (button == nbDelete) {
        if (AppMessageBox(CommonText(21), mtConfirmation, mbYes | mbNo) != mrYes)
            throw SilentAbort();
        return;
    }
    if ((button != nbInsert && button != nbEdit) || (!m_detailForm && !OnShowDetail))
        return;
    if (gr->isEnabled() && gr->isVisible())
        gr->setFocus();
    TClientTable *t = table();
    if (button == nbInsert)
        t->Insert();
    else
        t->Edit();
    QMetaObject::invokeMethod(
        this, [this] { RunGuarded([this] { ShowDetail(); }); }, Qt::QueuedConnection);
    throw SilentAbort();
}

void Tfrg::nvClick(TNavigateBtn) {
    if (gr->isEnabled() && gr->isVisible())
        gr->setFocus();
}

void Tfrg::ShowDetail() {
    if (OnShowDetail)
        OnShowDetail(this);
    else if (m_detailForm)
        m_detailForm->exec();
}

void Tfrg::grDblClick() {
    TClientTable *t = table();
    if (nv->ButtonVisible(nbEdit) && t && t->Active() && !t->IsEmpty())
        ShowDetail();
}

bool Tfrg::grKeyDown(QKeyEvent *event) {
    const Qt::KeyboardModifiers mods =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    TClientTable *t = table();
    const bool canModify = t && t->CanModify();
    const auto clickIfUsable = [this](QToolButton *button) {
        if (button->isVisibleTo(this) && button->isEnabled())
            button->click();
    };
    const auto navigate = [this](TNavigateBtn button) {
        RunGuarded([&] { nv->BtnClick(button); });
    };
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (mods == Qt::NoModifier && OnEnter)
            return OnEnter();
        if (mods != Qt::ControlModifier)
            return false;
        grDblClick();
        return true;
    case Qt::Key_Insert:
        if (!nv->ButtonVisible(nbInsert) || !canModify)
            return false;
        navigate(nbInsert);
        return true;
    case Qt::Key_Delete:
        if (mods != Qt::NoModifier && mods != Qt::ShiftModifier && mods != Qt::ControlModifier)
            return false;
        if (nv->ButtonVisible(nbDelete) && canModify && !t->IsEmpty())
            navigate(nbDelete);
        return true;
    case Qt::Key_F3:
        clickIfUsable(spbfind);
        return true;
    case Qt::Key_F4:
        if (mods != Qt::NoModifier)
            return false;
        clickIfUsable(spbfilter);
        return true;
    case Qt::Key_F5:
        if (nv->ButtonVisible(nbRefresh))
            navigate(nbRefresh);
        return true;
    case Qt::Key_F8:
        if (mods != Qt::NoModifier)
            return false;
        clickIfUsable(spboutput);
        return true;
    default:
        return false;
    }
}
