#pragma once

#include "grid/controls/dbnavigator.h"

#include <QByteArray>
#include <QPixmap>
#include <QWidget>
#include <functional>
#include <memory>

class QAction;
class QActionGroup;
class QDialog;
class QMenu;
class QToolButton;
class TCfgHandler;
class TClientTable;
class TDBGridEx;
class TDataSource;
class TGridOutput;

// The frame of every list: a toolbar with the record navigator and the find, filter and
// output buttons over the data grid, with sorting by column titles, a nearest-match find on
// the sorted column, keyboard shortcuts, record counting, a per-list column layout that the
// user can save and reset, and the entry into print and export.
class Tfrg : public QWidget {
    Q_OBJECT
public:
    explicit Tfrg(QWidget *parent = nullptr, const QString &name = QStringLiteral("frg"));
    ~Tfrg() override;

    // --- parts ---
    QWidget *pan;
    TDBNavigator *nv;
    QToolButton *spbfind;
    QToolButton *spbfilter;
    QToolButton *spboutput;
    TDBGridEx *gr;
    QWidget *pancfg;
    QToolButton *spbcfg;
    QMenu *pmcfg;
    QMenu *pmsort; // "Třídit podle"
    QAction *ditvzestupn1;
    QAction *ditsestupn1;
    QAction *Hledat1;
    QAction *N3; // separator after "Hledat..."
    QAction *Upravitpoadsloupc1;
    QAction *Uloitnastavensloupc1;
    QAction *Naststandartnnastavensloupc1;
    QAction *Zjistitpoetzznam1;
    QMenu *pmo;
    QAction *Definovatvstup1;
    // The direction glyphs of the corner button: 0 ascending, 1 descending.
    QList<QPixmap> iml;

    // Replaces the detail form when assigned; called with the frame.
    std::function<void(Tfrg *sender)> OnShowDetail;
    // Enter on a row: the screen's own action for it (true when it was taken); without it,
    // Enter is the grid's.
    std::function<bool()> OnEnter;

    // Binds the frame to a data source; the detail form and the storage key may be empty.
    // Raises AppError when the source or its table is missing.
    void init(TDataSource *source, QDialog *detailForm = nullptr,
              const QString &storageKey = QString());

    // The index of the first column of the grid whose field name equals the name without
    // regard to case, or -1.
    static int FindColumnIndex(const TDBGridEx *grid, const QString &fieldName);
    // The configuration store shared by all frames, made on the data folder by the first one.
    static TCfgHandler &ConfigStore();

    // --- state ---
    int SortColumn() const { return m_sortColumn; }
    bool Descending() const { return m_descending; }
    bool DescendingAllowed() const { return m_descendingAllowed; }
    QString LastFindText() const { return m_lastFindText; }
    bool MenuAllowed() const { return m_menuAllowed; }
    bool LayoutStored() const { return m_layoutStored; }
    QString StorageKey() const { return m_storageKey; }
    QByteArray DefaultLayout() const { return m_defaultLayout; }
    QDialog *DetailForm() const { return m_detailForm; }
    TGridOutput *Output() const { return m_output.get(); }
    bool IsSortable(int column) const;

    // --- operations ---
    // Sorts the table by a column (-1: no sort column) in a direction.
    void SortBy(int column, bool descending);
    void SaveLayout();
    void RestoreDefaultLayout();
    void ShowDetail();

    // --- handlers of the frame's controls ---
    void grTitleClick(int column);
    void pmsortClick(int column);
    void ditvzestupn1Click();
    void ditsestupn1Click();
    void spbfindClick();
    void spbcfgClick();
    // Decides whether the settings menu may open now (and prepares its items).
    bool pmcfgPopup();
    void grMouseDown(Qt::MouseButtons buttons, int column);
    void Upravitpoadsloupc1Click();
    void Uloitnastavensloupc1Click();
    void Naststandartnnastavensloupc1Click();
    void Zjistitpoetzznam1Click();
    void spboutputClick();
    void Definovatvstup1Click();
    void nvBeforeAction(TNavigateBtn button);
    // True when the key was handled and must not reach the grid.
    bool grKeyDown(QKeyEvent *event);
    void grDblClick();
    // Called after a navigator action; gives the focus back to the grid.
    void nvClick(TNavigateBtn button);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void buildMenus();
    void placeCornerButton();
    void rebuildSortMenu();
    void columnMoved(int from, int to);
    void columnsReplaced();
    void determineSortColumn();
    void applyStandardFormats();
    void openSettingsMenu(const QPoint &globalPos);
    bool findEnabled() const;
    bool cornerEnabled() const;
    bool ensureOutput();
    TClientTable *table() const;

    TDataSource *m_source = nullptr;
    QDialog *m_detailForm = nullptr;
    QString m_storageKey;
    QByteArray m_defaultLayout;
    bool m_menuAllowed = false;
    bool m_layoutStored = false;
    int m_sortColumn = -1;
    bool m_descending = false;
    bool m_descendingAllowed = true;
    QString m_lastFindText;
    std::unique_ptr<TGridOutput> m_output;
    QActionGroup *m_sortGroup;
};
