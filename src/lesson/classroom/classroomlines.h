#pragma once

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <optional>

// A spot on a course-book page, relative to the page: 0..Scale across and down, so that windows
// of different sizes and zooms put it on the same place of the page.
struct PageSpot {
    int x = 0;
    int y = 0;
    friend bool operator==(const PageSpot &, const PageSpot &) = default;
};

// Which page a mark belongs to: the book's number and the page (0 for an HTML book).
struct PageKey {
    int book = -1;
    int page = -1;
    friend bool operator==(const PageKey &, const PageKey &) = default;
};

// The classroom's partner lines, sent with LessonChannel::PostToPartner and read from its
// partnerLine signal. A partner or relay without them never sends them and ignores them:
//   "@pagestate;" away ";" book ";" page   student: on the teacher's page (0) or looking
//                                          around on his own (1), and the page he shows
//   "@ptr;" book ";" page ";" x ";" y      the pointer on that page; "@ptr;" book ";" page ";-"
//                                          hides it
//   "@stroke;" book ";" page ";" x "," y ";" x "," y ...   a highlight stroke (a piece of one)
//   "@strokesclear;" book ";" page         every stroke of that page is wiped
//   "@drawallow;" 0 or 1                   teacher: whether the student may point and draw
//   "@notessent"                           teacher: the lesson's notes were stored for the
//                                          student (who fetches his list anew)
// Reading is strict: a field that is not a plain decimal number in range makes the whole line
// invalid, and an invalid line is dropped.
namespace ClassroomLines {

inline constexpr int Scale = 10000;
// The most points one stroke line carries; longer strokes go in several lines.
inline constexpr int MaxStrokePoints = 600;

inline constexpr char PageState[] = "@pagestate";
inline constexpr char Pointer[] = "@ptr";
inline constexpr char Stroke[] = "@stroke";
inline constexpr char StrokesClear[] = "@strokesclear";
inline constexpr char DrawAllow[] = "@drawallow";
inline constexpr char NotesSent[] = "@notessent";

struct PageStateLine {
    bool away = false;
    PageKey key;
};
struct PointerLine {
    PageKey key;
    std::optional<PageSpot> spot; // none: hidden
};
struct StrokeLine {
    PageKey key;
    QList<PageSpot> points;
};

QByteArray pageState(bool away, PageKey key);
QByteArray pointer(PageKey key, std::optional<PageSpot> spot);
QByteArray stroke(PageKey key, const QList<PageSpot> &points);
QByteArray strokesClear(PageKey key);
QByteArray drawAllow(bool allowed);

// What follows the command's ";" (the rest of the partnerLine signal).
std::optional<PageStateLine> readPageState(const QByteArray &rest);
std::optional<PointerLine> readPointer(const QByteArray &rest);
std::optional<StrokeLine> readStroke(const QByteArray &rest);
std::optional<PageKey> readStrokesClear(const QByteArray &rest);
std::optional<bool> readDrawAllow(const QByteArray &rest);

} // namespace ClassroomLines
