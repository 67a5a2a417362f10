#pragma once

#include "grid/services.h"

#include "grid/controls/dbnavigator.h"

#include <QDialog>
#include <QList>
#include <functional>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTabWidget;
class TDBCheckBox;
class TDBEdit;
class TDBLookupComboBox;
class TDBMemo;
class TDataSource;
class Tfre;
class Tfrg;
class Tfrprofil;
struct TUserStatistics;

// One book of the library as the user dialog lists it.
struct TUserDialogBook {
    int number = 0;
    QString title;
};

// Edits the current record of the users table: account data, visible books, the profile,
// the manager's remark, the teaching remarks and, for staff, the client's statistics;
// a signed-in teacher gets a reduced form. Created once and reused.
class Tfeduser : public QDialog {
    Q_OBJECT
    // First, so that the members after it can be built with it.
    TServices m_services;

public:
    explicit Tfeduser(const TServices &services, QWidget *parent = nullptr);
    ~Tfeduser() override;

    // Where the book list comes from: the books of the signed-in user's library.
    static std::function<QList<TUserDialogBook>()> BookSource;

    Tfre *fre;
    TDataSource *ds;
    TDBEdit *ed_usertype;
    TDBEdit *ed_loginname;
    TDBEdit *ed_hourdebit;
    TDBLookupComboBox *cb_userlevel;
    TDBLookupComboBox *cb_course;
    TDBEdit *ed_progtestresult;
    QWidget *pan_useractive;
    TDBCheckBox *chb_useractive;
    QPushButton *btn_resetpass;
    QListWidget *lb_books;
    Tfrprofil *fr_profil;
    QLabel *lb_remark;
    TDBMemo *mem_remark;
    QTabWidget *pgc;
    QWidget *ts_remarks;
    QWidget *ts_stats;
    Tfrg *frg_userremark;
    TDBMemo *mem_userremark;
    QPushButton *btn_refreshstats;

    // Binds everything to the users table (the dialog is being shown).
    void Prepare();
    // Undoes every binding, the remarks filter and the save check (the dialog closes).
    void Release();
    // Empties the book list (sign-out).
    void ClearBooks();
    // The check before a user record is saved: the profile fields, then BOOKIDS from the
    // ticked books in list order.
    void CollectUserBooks();
    // "Reset hesla": asks, then has the server empty the user's password.
    void btn_resetpassClick();
    // "Aktualizace statistik": re-reads the users table.
    void btn_refreshstatsClick();
    // The text shown for a statistics value (by its object name, e.g. "lb_hoursToPay").
    QString StatisticText(const QString &name) const;
    bool Prepared() const { return m_prepared; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *buildAccount();
    QWidget *buildBooks();
    QWidget *buildRemarksTab();
    QWidget *buildStatisticsTab();
    void fillBooks();
    void recordMoved();
    void tickBooks();
    void bookChanged(QListWidgetItem *item);
    void showStatistics(const TUserStatistics &s);

    TDataSource *ds_userlevel;
    TDataSource *ds_course;
    TDataSource *ds_userremark;
    QList<QMetaObject::Connection> m_connections;
    std::function<void(class TClientTable &)> m_previousBeforePost;
    int m_height = 0;
    bool m_prepared = false;
    bool m_ticking = false;
    // The user changed a book's tick during the present edit of the record.
    bool m_booksTouched = false;
};
