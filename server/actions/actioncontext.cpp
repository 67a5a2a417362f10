#include "server/actions/actioncontext.h"

#include "lang/textutil.h"

qint64 ActionContext::intParam(const QByteArray &name) const {
    if (!request.has(name))
        throw Refusal(Msg::MissingParameter, QString::fromLatin1(name));
    const std::optional<int> value = ParseInteger(QString::fromLatin1(request.param(name)));
    if (!value)
        throw Refusal(Msg::MalformedRequest);
    return *value;
}
