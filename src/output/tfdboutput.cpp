#include "output/tfdboutput.h"

#include "base/logging.h"
#include "data/clienttable.h"
#include "grid/controls/datasource.h"
#include "grid/dbgridex.h"
#include "grid/dialogs/inputex.h"
#include "errors/apperror.h"
#include "seam/guard.h"
#include "seam/messagebox.h"
#include "seam/seam.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "net/settings/cfghandler.h"
#include "output/formats/dboutputcsv.h"
#include "output/formats/dboutputhtml.h"
#include "output/dboutputs.h"
#include "output/fieldkinds.h"
#include "output/outputformats.h"
#include "output/progresswindowsink.h"
#include "output/radiogroup.h"
#include "output/templatelist.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSaveFile>
#include <QVBoxLayout>

namespace {

enum ItemRole { FieldRole = Qt::UserRole, CaptionRole, SummedRole };
constexpr int kInitiallyChecked = 4;
constexpr int kFixedOutputItems = -1; // tag of the frame's fixed output menu items
const QString kTemplateFilter = QStringLiteral("*.tmo|*.tmo|*.*|*.*");

// Menu captions show "&" as it is: no accelerator letters.
QString menuCaption(const QString &name) {
    return QString(name).replace(u'&', QLatin1String("&&"));
}

QString splitLines(const QByteArray &bytes, QStringList &lines) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    lines = FromWin1250(bytes).split(lineBreak);
    return lines.value(0);
}

} // namespace

Tfdboutput::Tfdboutput(QWidget *parent)
    : QDialog(parent), gbitems(new QGroupBox(CommonText(31), this)), chlb(new QListWidget(gbitems)),
      btncheckall(new QPushButton(CommonText(35), gbitems)),
      btnuncheckall(new QPushButton(CommonText(36), gbitems)),
      btnup(new QPushButton(CommonText(37), gbitems)),
      btndown(new QPushButton(CommonText(38), gbitems)),
      chbsum(new QCheckBox(CommonText(33), this)), gbtemplates(new QGroupBox(CommonText(34), this)),
      btnselect(new QPushButton(CommonText(39), gbtemplates)),
      btnsave(new QPushButton(CommonText(40), gbtemplates)),
      btndelete(new QPushButton(CommonText(41), gbtemplates)), labtempl(new QLabel(gbtemplates)),
      pms(new QMenu(this)), rgtype(nullptr), gbparams(new QGroupBox(CommonText(48), this)),
      edtitle(new QLineEdit(gbparams)), chbtimestamp(new QCheckBox(CommonText(50), gbparams)),
      chbfilter(new QCheckBox(CommonText(51), gbparams)),
      chbreccount(new QCheckBox(CommonText(52), gbparams)), rgori(nullptr),
      chbexpheader(new QCheckBox(CommonText(49), this)),
      labencoding(new QLabel(AppText(1715), this)), cbencoding(new QComboBox(this)),
      btngenerate(new QPushButton(CommonText(55), this)),
      btnclose(new QPushButton(CommonText(15), this)) {
    setObjectName(QStringLiteral("fdboutput"));
    setWindowTitle(CommonText(30));
    QStringList types, orientations, encodings;
    for (const TOutputFormat &format : OutputFormats())
        types.append(format.Caption());
    TextToLines(CommonText(54), orientations);
    TextToLines(AppText(1716), encodings);
    cbencoding->addItems(encodings);
    labencoding->setBuddy(cbencoding);
    rgtype = new TRadioGroup(CommonText(46), types, this);
    rgori = new TRadioGroup(CommonText(53), orientations, gbparams);
    rgtype->SetItemIndex(0);
    rgori->SetItemIndex(0);
    pms->addSeparator();
    pmsexport = pms->addAction(CommonText(144) + QStringLiteral("..."));
    pmsimport = pms->addAction(CommonText(143) + QStringLiteral("..."));
    btnselect->setMenu(pms);
    edtitle->setText(CommonText(57));
    for (QCheckBox *box : {chbtimestamp, chbfilter, chbreccount, chbexpheader})
        box->setChecked(true);
    chbsum->setEnabled(false);
    btndelete->setEnabled(false);
    pmsexport->setEnabled(false);
    btngenerate->setDefault(true);
    gbtemplates->installEventFilter(this);
    buildLayout();
    connectHandlers();
    typeChanged();
}

Tfdboutput::~Tfdboutput() = default;

void Tfdboutput::buildLayout() {
    auto *listButtons = new QVBoxLayout;
    for (QPushButton *button : {btncheckall, btnuncheckall, btnup, btndown})
        listButtons->addWidget(button);
    listButtons->addStretch();
    auto *itemsLayout = new QGridLayout(gbitems);
    itemsLayout->addWidget(chlb, 0, 0);
    itemsLayout->addLayout(listButtons, 0, 1);
    auto *sumGroup = new QGroupBox(CommonText(32), this);
    auto *sumLayout = new QVBoxLayout(sumGroup);
    sumLayout->addWidget(chbsum);
    chlb->setMinimumSize(220, 260);

    auto *templatesLayout = new QGridLayout(gbtemplates);
    templatesLayout->addWidget(btnselect, 0, 0);
    templatesLayout->addWidget(btnsave, 0, 1);
    templatesLayout->addWidget(btndelete, 0, 2);
    templatesLayout->addWidget(labtempl, 1, 0, 1, 3);
    QFont bold = labtempl->font();
    bold.setBold(true);
    labtempl->setFont(bold);

    auto *titleLabel = new QLabel(CommonText(56), gbparams);
    titleLabel->setBuddy(edtitle);
    auto *paramsLayout = new QGridLayout(gbparams);
    paramsLayout->addWidget(titleLabel, 0, 0);
    paramsLayout->addWidget(edtitle, 0, 1);
    paramsLayout->addWidget(chbtimestamp, 1, 0, 1, 2);
    paramsLayout->addWidget(chbfilter, 2, 0, 1, 2);
    paramsLayout->addWidget(chbreccount, 3, 0, 1, 2);
    paramsLayout->addWidget(rgori, 4, 0, 1, 2);

    auto *left = new QVBoxLayout;
    left->addWidget(gbitems, 1);
    left->addWidget(sumGroup);
    auto *right = new QVBoxLayout;
    right->addWidget(gbtemplates);
    right->addWidget(rgtype);
    right->addWidget(gbparams);
    right->addWidget(chbexpheader);
    auto *encoding = new QHBoxLayout;
    encoding->addWidget(labencoding);
    encoding->addWidget(cbencoding, 1);
    right->addLayout(encoding);
    right->addStretch();
    auto *columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btngenerate);
    buttons->addWidget(btnclose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buttons);
}

void Tfdboutput::connectHandlers() {
    const auto guarded = [this](auto &&body) {
        return [this, body] { RunGuarded([&] { body(); }); };
    };
    connect(btncheckall, &QPushButton::clicked, this, [this] { checkAll(true); });
    connect(btnuncheckall, &QPushButton::clicked, this, [this] { checkAll(false); });
    connect(btnup, &QPushButton::clicked, this, [this] { moveSelected(-1); });
    connect(btndown, &QPushButton::clicked, this, [this] { moveSelected(1); });
    connect(chlb, &QListWidget::currentRowChanged, this, [this] { selectionChanged(); });
    connect(chbsum, &QCheckBox::toggled, this, [this](bool on) { sumToggled(on); });
    connect(btnsave, &QPushButton::clicked, this, guarded([this] { SaveTemplate(m_current); }));
    connect(btndelete, &QPushButton::clicked, this, guarded([this] { DeleteTemplate(); }));
    connect(pmsexport, &QAction::triggered, this, guarded([this] { ExportTemplate(); }));
    connect(pmsimport, &QAction::triggered, this, guarded([this] { ImportTemplate(); }));
    connect(rgtype, &TRadioGroup::itemIndexChanged, this, [this] { typeChanged(); });
    connect(btngenerate, &QPushButton::clicked, this, guarded([this] { Generate(true); }));
    connect(btnclose, &QPushButton::clicked, this, &QDialog::accept);
}

bool Tfdboutput::eventFilter(QObject *watched, QEvent *event) {
    if (watched == gbtemplates && event->type() == QEvent::MouseButtonDblClick) {
        RunGuarded([this] { ReloadTemplates(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// --- binding ---

void Tfdboutput::Initialize(TDBGridEx *grid, TCfgHandler *store, const QString &filterText,
                            QMenu *outputMenu, const QString &storageKey) {
    SetFilterText(filterText);
    edtitle->setText(CommonText(57));
    m_grid = grid;
    m_store = store;
    m_outputMenu = outputMenu;
    m_storageKey = storageKey;
    rebuildMenus();
    QList<TOutputListItem> items;
    for (const TColumn &column : grid->Columns()) {
        if (!column.visible)
            continue;
        TOutputListItem item;
        item.fieldName = column.fieldName;
        item.caption = column.caption;
        item.checked = items.size() < kInitiallyChecked;
        items.append(item);
    }
    setItems(items);
    selectionChanged();
}

void Tfdboutput::SetFilterText(const QString &text) {
    m_filterText = text;
    chbfilter->setEnabled(!text.isEmpty());
    chbfilter->setChecked(!text.isEmpty());
}

TClientTable *Tfdboutput::table() const {
    if (!m_grid || !m_grid->DataSource())
        return nullptr;
    return m_grid->DataSource()->DataSet();
}

bool Tfdboutput::isNumericColumn(const QString &fieldName) const {
    TClientTable *t = table();
    const int index = t ? t->FieldIndex(fieldName) : -1;
    return index >= 0 && IsNumericField(t->FieldDefs().at(index));
}

// --- the item list ---

QList<TOutputListItem> Tfdboutput::Items() const {
    QList<TOutputListItem> items;
    for (int i = 0; i < chlb->count(); ++i) {
        const QListWidgetItem *entry = chlb->item(i);
        TOutputListItem item;
        item.fieldName = entry->data(FieldRole).toString();
        item.caption = entry->data(CaptionRole).toString();
        item.summed = entry->data(SummedRole).toBool();
        item.checked = entry->checkState() == Qt::Checked;
        items.append(item);
    }
    return items;
}

void Tfdboutput::setItems(const QList<TOutputListItem> &items) {
    const int row = chlb->currentRow();
    chlb->clear();
    for (const TOutputListItem &item : items) {
        auto *entry = new QListWidgetItem(item.Text(), chlb);
        entry->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        entry->setData(FieldRole, item.fieldName);
        entry->setData(CaptionRole, item.caption);
        entry->setData(SummedRole, item.summed);
        entry->setCheckState(item.checked ? Qt::Checked : Qt::Unchecked);
    }
    if (row >= 0 && row < chlb->count())
        chlb->setCurrentRow(row);
}

Tdboutputsfields Tfdboutput::OutputItems() const {
    Tdboutputsfields fields;
    for (const TOutputListItem &item : Items()) {
        if (!item.checked)
            continue;
        Tdboutputsfield field;
        field.name = item.fieldName;
        field.label = item.caption;
        field.summed = item.summed;
        if (m_grid) {
            const TColumnList &columns = m_grid->Columns();
            const int column = FindColumnIndex(columns, item.fieldName);
            if (column >= 0)
                field.width = columns[column].width;
        }
        fields.append(field);
    }
    return fields;
}

void Tfdboutput::checkAll(bool on) {
    for (int i = 0; i < chlb->count(); ++i)
        chlb->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

void Tfdboutput::moveSelected(int delta) {
    const int row = chlb->currentRow();
    const int target = row + delta;
    if (row < 0 || target < 0 || target >= chlb->count())
        return;
    QListWidgetItem *entry = chlb->takeItem(row);
    chlb->insertItem(target, entry);
    chlb->setCurrentRow(target);
}

void Tfdboutput::selectionChanged() {
    QListWidgetItem *entry = chlb->currentItem();
    const bool numeric = entry && isNumericColumn(entry->data(FieldRole).toString());
    m_updating = true;
    chbsum->setEnabled(numeric);
    chbsum->setChecked(numeric && entry->data(SummedRole).toBool());
    m_updating = false;
}

void Tfdboutput::sumToggled(bool on) {
    QListWidgetItem *entry = chlb->currentItem();
    if (m_updating || !entry || !chbsum->isEnabled())
        return;
    entry->setData(SummedRole, on);
    const QString caption = entry->data(CaptionRole).toString();
    entry->setText(on ? caption + SumMarkerShown() : caption);
}

QString Tfdboutput::FormatId() const {
    return OutputFormats().value(rgtype->ItemIndex()).id;
}

void Tfdboutput::SetFormatId(const QString &id) {
    const QList<TOutputFormat> &formats = OutputFormats();
    int index = 0;
    for (int i = 0; i < formats.size(); ++i)
        if (formats[i].id == id)
            index = i;
    rgtype->SetItemIndex(index);
}

void Tfdboutput::typeChanged() {
    const TOutputFormat *format = FindOutputFormat(FormatId());
    const auto takes = [format](TOutputParam param) { return format && format->Takes(param); };
    gbparams->setVisible(takes(TOutputParam::Title));
    rgori->setVisible(takes(TOutputParam::Orientation));
    chbexpheader->setVisible(takes(TOutputParam::Header));
    labencoding->setVisible(takes(TOutputParam::Encoding));
    cbencoding->setVisible(takes(TOutputParam::Encoding));
}

// --- generating ---

bool Tfdboutput::Generate(bool ask) {
    TClientTable *t = table();
    if (!t)
        return false;
    if (!m_progress) {
        m_window = std::make_unique<TProgressWindowSink>();
        m_progress = m_window.get();
    }
    const TOutputFormat *format = FindOutputFormat(FormatId());
    if (!format)
        return false;
    TOutputRequest request;
    request.items = OutputItems();
    request.title = edtitle->text();
    request.timeStamp = chbtimestamp->isChecked();
    request.filterText = chbfilter->isChecked() ? m_filterText : QString();
    request.recordCount = chbreccount->isChecked();
    request.orientation = rgori->ItemIndex();
    request.header = chbexpheader->isChecked();
    request.encoding = cbencoding->currentIndex();
    request.ask = ask;
    return RunOutput(*t, *format, request, m_progress);
}

// --- templates ---

QString Tfdboutput::templateValue() const {
    TOutputTemplate t;
    t.format = FormatId();
    t.title = edtitle->text();
    t.timeStamp = chbtimestamp->isChecked();
    t.filter = chbfilter->isChecked();
    t.recordCount = chbreccount->isChecked();
    t.orientation = rgori->ItemIndex();
    t.items = TOutputTemplate::ItemsOf(Items());
    return t.Value();
}

void Tfdboutput::applyTemplateValue(const QString &value) {
    const TOutputTemplate t = TOutputTemplate::Parse(value);
    SetFormatId(t.format);
    edtitle->setText(t.title);
    chbtimestamp->setChecked(t.timeStamp);
    chbfilter->setChecked(t.filter && chbfilter->isEnabled());
    chbreccount->setChecked(t.recordCount);
    rgori->SetItemIndex(t.orientation);
    QList<TOutputListItem> items = Items();
    t.ApplyItems(items);
    setItems(items);
    typeChanged();
    selectionChanged();
}

void Tfdboutput::setCurrent(const QString &name) {
    m_current = name;
    labtempl->setText(name);
}

bool Tfdboutput::LoadTemplate(const QString &name) {
    TOutputTemplateList list(*m_store, m_storageKey);
    list.Read();
    const qsizetype index = list.IndexOf(name);
    if (index < 0) {
        setCurrent(QString());
        rebuildMenus();
        return false;
    }
    setCurrent(list.Names().at(index));
    applyTemplateValue(list.Value(name));
    rebuildMenus();
    return true;
}

void Tfdboutput::RunTemplate(const QString &name) {
    if (LoadTemplate(name))
        Generate(true);
}

void Tfdboutput::SaveTemplate(const QString &preset) {
    QString name = TOutputTemplateList::CleanName(preset), unused;
    if (!InputEx(CommonText(69), CommonText(70), QString(), name, unused) || name.isEmpty())
        return;
    TOutputTemplateList list(*m_store, m_storageKey);
    list.Read();
    const bool same = TOutputTemplateList::CleanName(name).compare(
                          TOutputTemplateList::CleanName(m_current), Qt::CaseInsensitive) == 0;
    if (!same && list.Contains(name) &&
        AppMessageBox(FormatText(CommonText(71), {name}), mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    list.Set(name, templateValue());
    list.Write();
    setCurrent(name);
    rebuildMenus();
}

void Tfdboutput::DeleteTemplate() {
    if (!m_current.isEmpty() && AppMessageBox(FormatText(CommonText(72), {m_current}),
                                              mtConfirmation, mbYes | mbNo) == mrYes) {
        TOutputTemplateList list(*m_store, m_storageKey);
        list.Read();
        list.Remove(m_current);
        list.Write();
        setCurrent(QString());
    }
    rebuildMenus();
}

void Tfdboutput::ExportTemplate() {
    FileDialogRequest request;
    request.save = true;
    request.caption = CommonText(144);
    request.filter = Tdboutputs::QtFileFilter(kTemplateFilter);
    request.defaultExtension = QStringLiteral("tmo");
    request.fileName = TOutputTemplateList::CleanName(m_current) + QStringLiteral(".tmo");
    QString fileName = CurrentSeam().fileDialog(request);
    if (fileName.isEmpty())
        return;
    TOutputTemplateList list(*m_store, m_storageKey);
    list.Read();
    const qsizetype index = list.IndexOf(m_current);
    if (index < 0)
        throw AppError(CommonText(146));
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(ToWin1250(list.Lines().at(index) + "\r\n")) < 0 || !file.commit()) {
        qCWarning(lcOutput).noquote() << "writing" << fileName << "failed:" << file.errorString();
        throw AppError(
            FormatText(AppText(1700), {QDir::toNativeSeparators(fileName), file.errorString()}));
    }
}

void Tfdboutput::ImportTemplate() {
    FileDialogRequest request;
    request.caption = CommonText(143);
    request.filter = Tdboutputs::QtFileFilter(kTemplateFilter);
    const QString fileName = CurrentSeam().fileDialog(request);
    if (fileName.isEmpty())
        return;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(
            FormatText(AppText(1703), {QDir::toNativeSeparators(fileName), file.errorString()}));
    QStringList lines;
    const QString first = splitLines(file.read(64 * 1024), lines);
    QString name, value;
    TOutputTemplateList::SplitLine(first, name, value);
    if (name.isEmpty())
        throw AppError(CommonText(145));
    applyTemplateValue(value);
    setCurrent(QString());
    SaveTemplate(name);
}

QString Tfdboutput::templateFilePath() const {
    if (auto *files = dynamic_cast<TFileCfgHandler *>(m_store))
        return files->itemPath(QStringLiteral("dbo"), QString(), m_storageKey);
    return QString();
}

void Tfdboutput::ReloadTemplates() {
    const QString path = QDir::toNativeSeparators(templateFilePath());
    QFile file(templateFilePath());
    if (path.isEmpty() || !file.exists()) {
        AppMessageBox(FormatText(AppText(1701), {path}), mtWarning, mbOK);
        return;
    }
    if (AppMessageBox(FormatText(AppText(1702), {path}), mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(FormatText(AppText(1703), {path, file.errorString()}));
    QStringList lines;
    splitLines(file.readAll(), lines);
    lines.removeAll(QString());
    TOutputTemplateList list(*m_store, m_storageKey);
    list.SetLines(lines);
    list.Write();
    rebuildMenus();
}

void Tfdboutput::rebuildMenus() {
    const QList<QAction *> fixed = {pms->actions().mid(pms->actions().size() - 3)};
    for (QAction *action : pms->actions())
        if (!fixed.contains(action))
            delete action;
    if (m_outputMenu)
        for (QAction *action : m_outputMenu->actions())
            if (action->data() != QVariant(kFixedOutputItems))
                delete action;
    QStringList names;
    if (m_store) {
        TOutputTemplateList list(*m_store, m_storageKey);
        list.Read();
        names = list.Names();
    }
    QAction *dialogTop = pms->actions().value(0);
    QAction *frameTop = m_outputMenu ? m_outputMenu->actions().value(0) : nullptr;
    for (const QString &name : names) {
        auto *load = new QAction(menuCaption(name), pms);
        connect(load, &QAction::triggered, this, [this, name] {
            RunGuarded([&] { LoadTemplate(TOutputTemplateList::CleanName(name)); });
        });
        pms->insertAction(dialogTop, load);
        if (m_outputMenu) {
            auto *run = new QAction(menuCaption(name), m_outputMenu);
            connect(run, &QAction::triggered, this, [this, name] {
                RunGuarded([&] { RunTemplate(TOutputTemplateList::CleanName(name)); });
            });
            m_outputMenu->insertAction(frameTop, run);
        }
    }
    btndelete->setEnabled(!m_current.isEmpty());
    pmsexport->setEnabled(!m_current.isEmpty());
}
