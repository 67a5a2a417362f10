#pragma once

#include <QList>

class Tdm;
class NameValueList;
class RelayLink;
class RequestRunner;
struct AppSettings;
struct tbook;

// The shared services the program builds once at start-up and hands to every screen and the
// dialogs it opens: the data module, the settings, the session values, the request runner,
// the course-book library and the lesson relay link. Plain pointers; the program owns them
// and keeps them alive until exit.
struct TServices {
    Tdm *dm = nullptr;
    AppSettings *settings = nullptr;
    NameValueList *session = nullptr;
    RequestRunner *requests = nullptr;
    const QList<tbook> *books = nullptr;
    RelayLink *relay = nullptr;

    // Readers of the session values (the same rules as the session's own readers).
    bool signedIn() const;
    int userType() const;
    int userId() const;
    int jobId() const;
};
