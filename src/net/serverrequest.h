#pragma once

#include <QByteArray>
#include <QString>

// One server request as a screen asks for it.
struct ServerRequest {
    QString caption;             // title of the progress dialog; empty: the default title
    QString action;              // the server operation, or RawDownloadAction()
    QByteArray data;             // name=value items joined by "&" (may be empty); for a raw
                                 // download the server-relative path to fetch
    bool useDialog = false;      // in the progress dialog, otherwise under the busy cursor
    bool withoutSession = false; // no session id sent and no renewed one looked for
};
