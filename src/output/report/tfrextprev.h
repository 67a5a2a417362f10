#pragma once

#include "output/report/reportdefinition.h"
#include "output/report/reportpages.h"

#include <QDialog>
#include <memory>

class QLabel;
class QMenu;
class QPrinter;
class QScrollArea;
class QToolButton;
class TClientTable;
class TOutputProgress;
class TPreviewPageView;
class Tfrextprd;

// "Preview - %s": the generated pages of a report with page navigation, zoom, rulers,
// printer setup, printing and export to PDF, all reachable from the keyboard.
class Tfrextprev : public QDialog {
    Q_OBJECT
public:
    // The table is walked to generate the pages; the printer is used for setup and printing.
    Tfrextprev(const TReportDefinition &definition, TClientTable &table, QPrinter &printer,
               TOutputProgress &progress, QWidget *parent = nullptr);
    ~Tfrextprev() override;

    QToolButton *spbfirst, *spbprior, *spbgotopage, *spbNext, *spbLast;
    QToolButton *spbzoomout, *spbzoom, *spbzoomin, *spbrulers;
    QToolButton *spbprintsetup, *spbprint, *spbexport, *spbclose;
    QMenu *pmzoom;
    QLabel *labnotfitting; // names the columns left out of the page, when any are
    QScrollArea *sb;
    TPreviewPageView *view;

    // Generates the pages again (previous ones discarded), then shows page 1.
    void GeneratePages();
    int PageNumber() const { return m_page; }
    int PageCount() const { return int(m_pages.size()); }
    const QList<TReportPage> &Pages() const { return m_pages; }
    int Zoom() const { return m_zoom; }

    // Shows a page (within 1..count), scrolled to its top or its bottom.
    void ShowPage(int page, bool atBottom = false);
    void SetZoom(int percent);
    // The zoom at which the whole page fits the window.
    void OptimalZoom();
    void CustomZoom();
    void GoToPage();
    void ToggleRulers();
    void PrinterSetup();
    // The print dialog, then the chosen pages to the printer; false when there is no printer
    // or the dialog was cancelled. A failed print raises AppError.
    bool Print();
    void ExportPdf();
    // The preview's keys; true when the key was one of them.
    bool HandleKey(int key, Qt::KeyboardModifiers modifiers);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QToolButton *button(const QString &text, const QString &hint, void (Tfrextprev::*handler)());
    void buildToolbar(class QHBoxLayout *bar);
    [[noreturn]] void failPrint() const;
    void usePagesPaper();
    void updateControls();
    void scrollBy(int dy);
    bool atTop() const;
    bool atBottom() const;

    TReportDefinition m_definition;
    TClientTable &m_table;
    QPrinter &m_printer;
    TOutputProgress &m_progress;
    QList<TReportPage> m_pages;
    int m_page = 0;
    int m_zoom = 100;
    std::unique_ptr<Tfrextprd> m_printDialog;
};
