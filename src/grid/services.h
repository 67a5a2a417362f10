#pragma once

#include <QByteArray>
#include <QList>
#include <functional>

class Tdm;
class NameValueList;
class RelayLink;
class RequestRunner;
struct AppSettings;
struct TTextReport;
struct tbook;

// The shared services the program builds once at start-up and hands to every screen and the
// dialogs it opens: the data module, the settings, the session values, the request runner,
// the course-book library, the lesson relay link and the PDF writer of text documents. Plain
// pointers; the program owns them and keeps them alive until exit.
struct TServices {
    Tdm *dm = nullptr;
    AppSettings *settings = nullptr;
    NameValueList *session = nullptr;
    RequestRunner *requests = nullptr;
    const QList<tbook> *books = nullptr;
    RelayLink *relay = nullptr;
    // Writes a text document as PDF with the report engine (the bytes of the file; empty when
    // it could not be made). Unset where the program's output part is not linked.
    std::function<QByteArray(const TTextReport &)> textReportPdf;

    // Readers of the session values (the same rules as the session's own readers).
    bool signedIn() const;
    int userType() const;
    int userId() const;
    int jobId() const;
};
