#include "wire/collation.h"

#include "errors/apperror.h"
#include "lang/texts.h"

#include <memory>
#include <unicode/ucol.h>

namespace {

UCollator *openCollator(int languageIndex, UColAttributeValue strength) {
    UErrorCode status = U_ZERO_ERROR;
    UCollator *collator = ucol_open(languageIndex == LangSlovak ? "sk" : "cs", &status);
    if (U_SUCCESS(status))
        ucol_setAttribute(collator, UCOL_STRENGTH, strength, &status);
    if (U_SUCCESS(status))
        ucol_setAttribute(collator, UCOL_CASE_FIRST, UCOL_UPPER_FIRST, &status);
    if (U_FAILURE(status)) {
        ucol_close(collator);
        throw AppError(QStringLiteral("The text collation cannot be opened (%1)")
                           .arg(QString::fromLatin1(u_errorName(status))));
    }
    return collator;
}

const UChar *units(QStringView text) {
    return reinterpret_cast<const UChar *>(text.utf16());
}

} // namespace

TCollation::TCollation(int languageIndex)
    : m_language(languageIndex == LangSlovak ? LangSlovak : LangCzech),
      m_full(openCollator(m_language, UCOL_TERTIARY)) {
    try {
        m_noCase = openCollator(m_language, UCOL_SECONDARY);
    } catch (...) {
        ucol_close(m_full);
        throw;
    }
}

TCollation::~TCollation() {
    ucol_close(m_full);
    ucol_close(m_noCase);
}

const TCollation &TCollation::Current() {
    static const std::unique_ptr<TCollation> czech = std::make_unique<TCollation>(LangCzech);
    static const std::unique_ptr<TCollation> slovak = std::make_unique<TCollation>(LangSlovak);
    return ::LanguageIndex() == LangSlovak ? *slovak : *czech;
}

void TCollation::AppendKey(QStringView text, QByteArray &out) const {
    const qsizetype start = out.size();
    // Keys of the tables' texts are mostly a little over twice as long as the text.
    qsizetype room = 3 * text.size() + 16;
    for (;;) {
        out.resize(start + room);
        const int32_t length =
            ucol_getSortKey(m_full, units(text), int32_t(text.size()),
                            reinterpret_cast<uint8_t *>(out.data() + start), int32_t(room));
        if (length <= room) {
            out.resize(start + length);
            return;
        }
        room = length;
    }
}

QByteArray TCollation::Key(QStringView text) const {
    QByteArray key;
    AppendKey(text, key);
    return key;
}

int TCollation::Compare(QStringView a, QStringView b, bool ignoreCase) const {
    return int(ucol_strcoll(ignoreCase ? m_noCase : m_full, units(a), int32_t(a.size()), units(b),
                            int32_t(b.size())));
}
