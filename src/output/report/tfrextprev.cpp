#include "output/report/tfrextprev.h"

#include "errors/apperror.h"
#include "grid/dialogs/inputex.h"
#include "base/logging.h"
#include "seam/guard.h"
#include "seam/messagebox.h"
#include "seam/seam.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "output/dboutputs.h"
#include "output/outputprogress.h"
#include "output/report/previewpageview.h"
#include "output/report/reportpainter.h"
#include "output/report/tfrextprd.h"
#include "output/report/zoomsteps.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kBusyCursor = 16;

} // namespace

Tfrextprev::Tfrextprev(const TReportDefinition &definition, TClientTable &table, QPrinter &printer,
                       TOutputProgress &progress, QWidget *parent)
    : QDialog(parent), pmzoom(new QMenu(this)), labnotfitting(new QLabel(this)),
      sb(new QScrollArea(this)),
      view(new TPreviewPageView), m_definition(definition), m_table(table), m_printer(printer),
      m_progress(progress) {
    setObjectName(QStringLiteral("frextprev"));
    setWindowTitle(FormatText(CommonText(117), {definition.name}));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    auto *bar = new QHBoxLayout;
    buildToolbar(bar);
    sb->setWidget(view);
    sb->setAlignment(Qt::AlignHCenter);
    sb->setFocusPolicy(Qt::NoFocus);
    view->installEventFilter(this);
    sb->viewport()->installEventFilter(this);
    connect(view, &TPreviewPageView::leftClicked, this, [this] {
        if (m_page > 1)
            ShowPage(m_page - 1);
    });
    connect(view, &TPreviewPageView::rightClicked, this, [this] {
        if (m_page < PageCount())
            ShowPage(m_page + 1);
    });
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
    labnotfitting->setWordWrap(true);
    labnotfitting->setStyleSheet(
        QStringLiteral("QLabel { background: #fff3cd; color: #5c4400; padding: 4px; }"));
    labnotfitting->setText(
        FormatText(AppText(1720), {definition.notFitting.join(QStringLiteral(", "))}));
    labnotfitting->setVisible(!definition.notFitting.isEmpty());
    layout->addWidget(labnotfitting);
    layout->addWidget(sb, 1);
    resize(900, 700);
}

Tfrextprev::~Tfrextprev() = default;

QToolButton *Tfrextprev::button(const QString &text, const QString &hint,
                                void (Tfrextprev::*handler)()) {
    auto *b = new QToolButton(this);
    b->setText(text);
    b->setToolTip(hint);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::TabFocus);
    if (handler)
        connect(b, &QToolButton::clicked, this,
                [this, handler] { RunGuarded([&] { (this->*handler)(); }); });
    return b;
}

void Tfrextprev::buildToolbar(QHBoxLayout *bar) {
    spbfirst = button(QStringLiteral("|◀"), CommonText(92), nullptr);
    spbprior = button(QStringLiteral("◀"), CommonText(93), nullptr);
    spbgotopage = button(QString(), CommonText(96), &Tfrextprev::GoToPage);
    spbNext = button(QStringLiteral("▶"), CommonText(94), nullptr);
    spbLast = button(QStringLiteral("▶|"), CommonText(95), nullptr);
    spbzoomout = button(QStringLiteral("−"), CommonText(97), nullptr);
    spbzoom = button(QString(), CommonText(98), nullptr);
    spbzoomin = button(QStringLiteral("+"), CommonText(99), nullptr);
    spbrulers = button(QStringLiteral("⊞"), CommonText(100), nullptr);
    spbprintsetup = button(QStringLiteral("⚙"), CommonText(101), &Tfrextprev::PrinterSetup);
    spbprint = button(CommonText(103), CommonText(102), nullptr);
    connect(spbprint, &QToolButton::clicked, this, [this] { RunGuarded([this] { Print(); }); });
    spbexport = button(QStringLiteral("PDF"), CommonText(104), &Tfrextprev::ExportPdf);
    spbclose = button(CommonText(15), CommonText(13), nullptr);
    spbrulers->setCheckable(true);
    connect(spbfirst, &QToolButton::clicked, this, [this] { ShowPage(1); });
    connect(spbprior, &QToolButton::clicked, this, [this] { ShowPage(m_page - 1); });
    connect(spbNext, &QToolButton::clicked, this, [this] { ShowPage(m_page + 1); });
    connect(spbLast, &QToolButton::clicked, this, [this] { ShowPage(PageCount()); });
    connect(spbzoomout, &QToolButton::clicked, this, [this] { SetZoom(ZoomOutStep(m_zoom)); });
    connect(spbzoomin, &QToolButton::clicked, this, [this] { SetZoom(ZoomInStep(m_zoom)); });
    connect(spbrulers, &QToolButton::clicked, this, [this] { ToggleRulers(); });
    connect(spbclose, &QToolButton::clicked, this, &QDialog::reject);
    for (const auto &[caption, zoom] : {std::pair{"&200%", 200},
                                        {"15&0%", 150},
                                        {"&100%", 100},
                                        {"&75%", 75},
                                        {"&50%", 50},
                                        {"25%", 25}})
        connect(pmzoom->addAction(QString::fromLatin1(caption)), &QAction::triggered, this,
                [this, zoom = zoom] { SetZoom(zoom); });
    pmzoom->addSeparator();
    QAction *optimal = pmzoom->addAction(CommonText(105));
    optimal->setShortcut(QKeySequence(Qt::Key_Return));
    optimal->setShortcutVisibleInContextMenu(true);
    connect(optimal, &QAction::triggered, this, [this] { OptimalZoom(); });
    connect(pmzoom->addAction(CommonText(106)), &QAction::triggered, this,
            [this] { RunGuarded([this] { CustomZoom(); }); });
    spbzoom->setMenu(pmzoom);
    spbzoom->setPopupMode(QToolButton::InstantPopup);
    for (QToolButton *b : {spbfirst, spbprior, spbgotopage, spbNext, spbLast, spbzoomout, spbzoom,
                           spbzoomin, spbrulers, spbprintsetup, spbprint, spbexport, spbclose})
        bar->addWidget(b);
    bar->addStretch();
}

void Tfrextprev::GeneratePages() {
    BusyCursorScope busy(kBusyCursor);
    {
        TProgressScope progress(m_progress, CommonText(118), CommonText(119));
        m_pages = GenerateReportPages(m_definition, m_table, ReportLineHeight(), [&](int page) {
            progress.SetText(
                QString(CommonText(112)).replace(QLatin1String("%p"), QString::number(page)));
        }, ReportLineCount);
    }
    m_page = 0;
    ShowPage(1);
}

void Tfrextprev::ShowPage(int page, bool bottom) {
    page = std::clamp(page, PageCount() > 0 ? 1 : 0, PageCount());
    m_page = page;
    view->SetPage(page > 0 ? &m_pages[page - 1] : nullptr, m_definition.pageWidth,
                  m_definition.pageHeight);
    view->SetZoom(m_zoom);
    QScrollBar *v = sb->verticalScrollBar();
    v->setValue(bottom ? v->maximum() : v->minimum());
    updateControls();
}

void Tfrextprev::SetZoom(int percent) {
    m_zoom = ClampZoom(percent);
    view->SetZoom(m_zoom);
    updateControls();
}

void Tfrextprev::OptimalZoom() {
    const QSize area = sb->maximumViewportSize() - QSize(40, 40);
    const double byWidth = area.width() * 100.0 / (m_definition.pageWidth * 96.0);
    const double byHeight = area.height() * 100.0 / (m_definition.pageHeight * 96.0);
    SetZoom(int(std::min(byWidth, byHeight)));
}

void Tfrextprev::CustomZoom() {
    QString value = QString::number(m_zoom), unused;
    if (!InputEx(CommonText(125), CommonText(126), QString(), value, unused))
        return;
    bool ok = false;
    const int zoom = value.trimmed().toInt(&ok);
    if (ok && zoom >= kMinZoom && zoom <= kMaxZoom && zoom != m_zoom)
        SetZoom(zoom);
}

void Tfrextprev::GoToPage() {
    QString value = QString::number(m_page), unused;
    if (!InputEx(CommonText(123), FormatText(CommonText(124), {1, PageCount()}), QString(), value,
                 unused))
        return;
    bool ok = false;
    const int page = value.trimmed().toInt(&ok);
    // Pages past the end show the last one.
    if (ok && page >= 0 && page != m_page)
        ShowPage(page);
}

void Tfrextprev::ToggleRulers() {
    view->SetRulers(!view->Rulers());
    spbrulers->setChecked(view->Rulers());
}

void Tfrextprev::PrinterSetup() {
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        AppMessageBox(AppText(1713), mtWarning, mbOK);
        return;
    }
    QPageSetupDialog dialog(&m_printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QPageLayout layout = m_printer.pageLayout();
    const QSizeF size = layout.fullRectPoints().size() / 72.0;
    const double numberOffset = m_definition.pageHeight - m_definition.pageNumber.top;
    m_definition.pageWidth = size.width();
    m_definition.pageHeight = size.height();
    m_definition.pageNumber.top = m_definition.pageHeight - numberOffset;
    m_definition.pageNumber.width =
        m_definition.pageWidth - m_definition.marginLeft - m_definition.marginRight;
    GeneratePages();
}

bool Tfrextprev::Print() {
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        AppMessageBox(AppText(1713), mtWarning, mbOK);
        return false;
    }
    if (PageCount() == 0)
        return false;
    if (!m_printDialog)
        m_printDialog = std::make_unique<Tfrextprd>(PageCount(), this);
    m_printDialog->SetPrinter(m_printer.printerName(), QPrinterInfo(m_printer).location());
    if (m_printDialog->exec() != QDialog::Accepted)
        return false;
    const QList<int> pages = m_printDialog->Pages(PageCount());
    if (pages.isEmpty())
        return false;
    BusyCursorScope busy(kBusyCursor);
    usePagesPaper();
    m_printer.setDocName(m_definition.name);
    m_printer.setCopyCount(1);
    QPainter painter;
    if (!painter.begin(&m_printer))
        failPrint();
    bool first = true;
    for (int copy = 0; copy < m_printDialog->Copies(); ++copy)
        for (int page : pages) {
            if (!first)
                m_printer.newPage();
            first = false;
            painter.save();
            const QRectF paper = m_printer.paperRect(QPrinter::DevicePixel);
            const QRectF printable = m_printer.pageRect(QPrinter::DevicePixel);
            painter.translate(paper.topLeft() - printable.topLeft());
            PaintReportPage(painter, m_pages[page - 1], m_printer.resolution());
            painter.restore();
        }
    if (!painter.end())
        failPrint();
    return true;
}

// The printer takes the paper and the orientation the pages were laid out on, whatever its
// own defaults are: a landscape list on a portrait printer would lose its right side.
void Tfrextprev::usePagesPaper() {
    QSizeF inches(m_definition.pageWidth, m_definition.pageHeight);
    const bool landscape = inches.width() > inches.height();
    if (landscape)
        inches.transpose();
    m_printer.setPageSize(QPageSize(inches, QPageSize::Inch, QString(), QPageSize::FuzzyMatch));
    m_printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

void Tfrextprev::failPrint() const {
    const QString printer = m_printer.printerName();
    qCWarning(lcOutput) << "printing" << m_definition.name << "on" << printer << "failed";
    throw AppError(FormatText(AppText(1714), {printer}));
}

void Tfrextprev::ExportPdf() {
    FileDialogRequest request;
    request.save = true;
    request.caption = CommonText(107);
    request.filter = Tdboutputs::QtFileFilter(CommonText(108) + QStringLiteral(" (*.pdf)|*.pdf"));
    request.defaultExtension = QStringLiteral("pdf");
    QString fileName = CurrentSeam().fileDialog(request);
    if (fileName.isEmpty())
        return;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".pdf");
    repaint();
    {
        BusyCursorScope busy(kBusyCursor);
        TProgressScope progress(m_progress, CommonText(114), CommonText(115));
        WriteReportPdf(fileName, m_definition, m_pages);
    }
    if (AppMessageBox(CommonText(109), mtConfirmation, mbYes | mbNo) == mrYes)
        CurrentSeam().openDocument(fileName);
}

void Tfrextprev::updateControls() {
    spbfirst->setEnabled(m_page > 1);
    spbprior->setEnabled(m_page > 1);
    spbNext->setEnabled(m_page < PageCount());
    spbLast->setEnabled(m_page < PageCount());
    spbzoomout->setEnabled(m_zoom > kMinZoom);
    spbzoomin->setEnabled(m_zoom < kMaxZoom);
    spbgotopage->setText(FormatText(CommonText(121), {m_page, PageCount()}));
    spbzoom->setText(FormatText(CommonText(122), {m_zoom}));
}

bool Tfrextprev::atTop() const {
    return sb->verticalScrollBar()->value() <= sb->verticalScrollBar()->minimum();
}

bool Tfrextprev::atBottom() const {
    return sb->verticalScrollBar()->value() >= sb->verticalScrollBar()->maximum();
}

void Tfrextprev::scrollBy(int dy) {
    QScrollBar *v = sb->verticalScrollBar();
    v->setValue(v->value() + dy);
}

bool Tfrextprev::HandleKey(int key, Qt::KeyboardModifiers modifiers) {
    const Qt::KeyboardModifiers mods = modifiers & ~Qt::KeypadModifier;
    if (mods != Qt::NoModifier && mods != Qt::ControlModifier)
        return false;
    const bool ctrl = mods == Qt::ControlModifier;
    QScrollBar *v = sb->verticalScrollBar();
    QScrollBar *h = sb->horizontalScrollBar();
    const int window = v->pageStep();
    const int step = v->singleStep();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        OptimalZoom();
        return true;
    case Qt::Key_Escape:
        reject();
        return true;
    case Qt::Key_PageUp:
        if (ctrl ? m_page > 1 : atTop() && m_page > 1)
            ShowPage(m_page - 1, !ctrl);
        else
            scrollBy(-window);
        return true;
    case Qt::Key_PageDown:
        if (ctrl || atBottom()) {
            if (m_page < PageCount())
                ShowPage(m_page + 1);
            else
                v->setValue(v->maximum());
        } else {
            scrollBy(window);
        }
        return true;
    case Qt::Key_Home:
        if (ctrl && m_page > 1)
            ShowPage(1);
        else
            v->setValue(v->minimum());
        return true;
    case Qt::Key_End:
        if (ctrl && m_page < PageCount())
            ShowPage(PageCount());
        else
            v->setValue(v->maximum());
        return true;
    case Qt::Key_Up:
        if (atTop() && m_page > 1)
            ShowPage(m_page - 1, true);
        else
            scrollBy(-step);
        return true;
    case Qt::Key_Down:
        if (atBottom() && m_page < PageCount())
            ShowPage(m_page + 1);
        else
            scrollBy(step);
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (ctrl)
            h->setValue(h->value() + (key == Qt::Key_Left ? -1 : 1) * h->singleStep());
        return true;
    case Qt::Key_Plus:
    case Qt::Key_Minus:
        if (!(modifiers & Qt::KeypadModifier))
            return false;
        if (key == Qt::Key_Plus && spbzoomin->isEnabled())
            SetZoom(ZoomInStep(m_zoom));
        else if (key == Qt::Key_Minus && spbzoomout->isEnabled())
            SetZoom(ZoomOutStep(m_zoom));
        return true;
    case Qt::Key_F3:
        RunGuarded([this] { GoToPage(); });
        return true;
    case Qt::Key_F6:
        ToggleRulers();
        return true;
    case Qt::Key_F7:
        RunGuarded([this] { PrinterSetup(); });
        return true;
    case Qt::Key_F8:
        RunGuarded([this] { Print(); });
        return true;
    case Qt::Key_F9:
        RunGuarded([this] { ExportPdf(); });
        return true;
    default:
        return false;
    }
}

void Tfrextprev::keyPressEvent(QKeyEvent *event) {
    if (!HandleKey(event->key(), event->modifiers()))
        QDialog::keyPressEvent(event);
}

bool Tfrextprev::eventFilter(QObject *watched, QEvent *event) {
    // The page view's keys are the preview's (the scroll area would take the arrows).
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (HandleKey(key->key(), key->modifiers()))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}
