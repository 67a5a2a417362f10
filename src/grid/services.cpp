#include "grid/services.h"

#include "base/namevaluelist.h"
#include "lang/textutil.h"

namespace {

int intValue(const NameValueList *session, QStringView name, int fallback) {
    return session ? ParseInteger(session->value(name)).value_or(fallback) : fallback;
}

} // namespace

bool TServices::signedIn() const {
    return session && !session->value(u"sesid").isEmpty();
}

int TServices::userType() const {
    return intValue(session, u"usertype", 4);
}

int TServices::userId() const {
    return intValue(session, u"iduser", 0);
}

int TServices::jobId() const {
    return intValue(session, u"idjob", 0);
}
