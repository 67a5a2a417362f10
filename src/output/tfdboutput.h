#pragma once

#include "output/outputitems.h"
#include "output/outputtemplate.h"

#include <QDialog>
#include <QPointer>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;
class TCfgHandler;
class TClientTable;
class TDBGridEx;
class TOutputProgress;
class TRadioGroup;

// "Výstup pro tisk a export": chooses and orders the grid's columns for an output, marks
// numeric ones for a sum line, picks an output format of the registry with its parameters and
// runs its writer; keeps named templates of these settings per list, in its own template menu and
// in the frame's output menu, and exports and imports them as files.
class Tfdboutput : public QDialog {
    Q_OBJECT
public:
    explicit Tfdboutput(QWidget *parent = nullptr);
    ~Tfdboutput() override;

    // Binds the dialog to a grid, the configuration store, the frame's output menu and the
    // list's storage key, fills the item list from the grid's visible columns and checks
    // the first four.
    void Initialize(TDBGridEx *grid, TCfgHandler *store, const QString &filterText,
                    QMenu *outputMenu, const QString &storageKey);
    // The description of the list's filter; "Vypsat hodnoty filtru" is checked exactly when
    // there is one.
    void SetFilterText(const QString &text);
    QString FilterText() const { return m_filterText; }
    // Loads the template and generates its output at once (the frame's output menu).
    void RunTemplate(const QString &name);

    // --- parts ---
    QGroupBox *gbitems;
    QListWidget *chlb;
    QPushButton *btncheckall, *btnuncheckall, *btnup, *btndown;
    QCheckBox *chbsum;
    QGroupBox *gbtemplates;
    QPushButton *btnselect, *btnsave, *btndelete;
    QLabel *labtempl;
    QMenu *pms;
    QAction *pmsexport, *pmsimport;
    TRadioGroup *rgtype;
    QGroupBox *gbparams;
    QLineEdit *edtitle;
    QCheckBox *chbtimestamp, *chbfilter, *chbreccount;
    TRadioGroup *rgori;
    QCheckBox *chbexpheader;
    QLabel *labencoding;
    QComboBox *cbencoding;
    QPushButton *btngenerate, *btnclose;

    // --- state and operations ---
    QString CurrentTemplate() const { return m_current; }
    QList<TOutputListItem> Items() const;
    // The chosen output format's stable id; choosing an unknown id chooses the first format.
    QString FormatId() const;
    void SetFormatId(const QString &id);
    // The output list of the checked items in list order, widths from the grid's columns.
    Tdboutputsfields OutputItems() const;
    // Runs the writer of the chosen output type; false when its dialog was cancelled.
    bool Generate(bool ask);
    // Loads a template into the dialog; false (and no current template) when it is missing.
    bool LoadTemplate(const QString &name);
    // Asks for a name (preset given) and stores the dialog's settings under it.
    void SaveTemplate(const QString &preset);
    void DeleteTemplate();
    void ExportTemplate();
    void ImportTemplate();
    // Reads the list's template file again and stores its lines as the template list.
    void ReloadTemplates();
    // Replaces the progress shown by the writers (tests; the progress window by default).
    void SetProgress(TOutputProgress *progress) { m_progress = progress; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLayout();
    void connectHandlers();
    void setItems(const QList<TOutputListItem> &items);
    void applyTemplateValue(const QString &value);
    QString templateValue() const;
    void rebuildMenus();
    void setCurrent(const QString &name);
    void typeChanged();
    void selectionChanged();
    void sumToggled(bool on);
    void moveSelected(int delta);
    void checkAll(bool on);
    bool isNumericColumn(const QString &fieldName) const;
    TClientTable *table() const;
    QString templateFilePath() const;

    QPointer<TDBGridEx> m_grid;
    TCfgHandler *m_store = nullptr;
    QPointer<QMenu> m_outputMenu;
    QString m_storageKey;
    QString m_filterText;
    QString m_current;
    TOutputProgress *m_progress = nullptr;
    std::unique_ptr<TOutputProgress> m_window;
    bool m_updating = false;
};
