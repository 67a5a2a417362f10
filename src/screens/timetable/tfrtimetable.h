#pragma once

#include "grid/services.h"

#include "grid/controls/dbnavigator.h"
#include "grid/screen.h"
#include "screens/timetable/month/monthcolourmap.h"
#include "screens/timetable/tfflttimetable.h"

#include <QPointer>
#include <array>

class QCheckBox;
class QLabel;
class QToolButton;
class TDataSource;
class THoursPanel;
class TTimetableExtras;
class TMonthCalendar;
class TStatusMenu;
class Tfaddtimetable;
class Tfhisttimetable;
class Tfrg;

// The timetable screen: a month calendar coloured by the lessons of each day, the lessons of
// the selected day (or of the filter) in a list, and by user type the client's booking and
// cancelling with his hours panel, or the teachers' and staff's adding of free slots,
// status changes, client detail and (staff) status history.
class Tfrtimetable : public TScreen {
    Q_OBJECT
    // First, so that the members after it can be built with it.
    TServices m_services;

public:
    explicit Tfrtimetable(const TServices &services, QWidget *parent = nullptr);
    ~Tfrtimetable() override;

    TMonthCalendar *cal;
    std::array<QLabel *, 5> lb_legend{}; // texts of the five legend entries
    std::array<QLabel *, 5> im_legend{}; // their coloured shapes
    QCheckBox *chb_filter;               // "Zobrazovat termíny podle filtru"
    THoursPanel *pan_hours;
    Tfrg *frg_timetable;
    QToolButton *spb_reserve_new;   // "&Rezervovat hodinu" / "Zadat termíny..."
    QToolButton *spb_storno_status; // "&Zrušit hodinu" / "Změnit status"
    QToolButton *spb_user;          // "Detail klienta"
    QToolButton *spb_hist;          // "Historie"
    QToolButton *spb_export;        // "Exportovat do kalendáře..."
    TStatusMenu *pm_status;

    void InitScreen() override;
    void EnterScreen() override;
    void LeaveScreen() override;
    void SignOutScreen() override;

    const TMonthColourMap &ColourMap() const { return m_map; }
    Tfflttimetable *FilterDialog() const { return m_filter; }
    Tfaddtimetable *AddDialog() const { return m_add; }
    Tfhisttimetable *HistoryDialog() const { return m_hist; }
    // The booking features the server may offer beyond the basic timetable.
    TTimetableExtras *Extras() const { return m_extras; }

    // Every change of the selected date and every forced recomputation: title, colour map
    // for a new month, the day's lessons or the filter's, the lesson that was current.
    void CalendarChange();
    // Forces the colour map's recomputation, then runs CalendarChange.
    void RecomputeCalendar();
    // The background of a date cell.
    std::optional<TColor> CellColour(const QDate &date) const;
    // The hours panel (clients only), optionally after re-reading the user info.
    void FillHours(bool reread);
    // The action buttons for the current lesson.
    void UpdateButtons();

    // The check box was clicked by the user.
    void chb_filterClick();
    // The filter button: fills and shows the filter dialog, applies it on OK.
    void spbfilterClick();
    // The filter dialog's values onto cd_timetable, and its description as the hint.
    void ApplyFilter();

    void spb_reserve_newClick();
    void spb_storno_statusClick();
    void spb_userClick();
    void spb_histClick();
    void spb_exportClick();
    // Client: books the current lesson after asking.
    void ReserveLesson();
    // Client: cancels the booking of the current lesson after asking.
    void CancelLesson();
    // Staff and teachers: the add-lessons dialog for the signed-in user.
    void AddLessons();
    // Opens the status menu below "Změnit status".
    void ShowStatusMenu();
    // Runs "settimetablestatus" for the current lesson, re-reads and recomputes whatever the
    // result, then shows the outcome; true when the server accepted the change.
    bool ChangeStatus(int newStatus);

private:
    QWidget *buildHeader();
    QWidget *buildLegend();
    void placeButtons();
    void enterAsClient();
    void enterAsOthers();
    void showFilterState();
    void nvClicked(TNavigateBtn button);
    qint64 currentId() const;
    qint64 currentInteger(const char *field) const;
    QString currentWhenText() const;
    void moveTo(qint64 id);
    void rereadAfterStatusChange(qint64 id);

    TDataSource *ds;
    TMonthColourMap m_map;
    QPointer<Tfflttimetable> m_filter;
    Tfaddtimetable *m_add = nullptr;
    Tfhisttimetable *m_hist = nullptr;
    TTimetableExtras *m_extras = nullptr;
};
