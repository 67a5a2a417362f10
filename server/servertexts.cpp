#include "server/servertexts.h"

#include <QHash>

namespace {

struct Pair {
    const char *cs;
    const char *sk;
};

const QHash<Msg, Pair> &Texts() {
    static const QHash<Msg, Pair> texts{
        {Msg::UnknownAction, {"Neznámá akce.", "Neznáma akcia."}},
        {Msg::MalformedRequest, {"Chybný požadavek.", "Chybná požiadavka."}},
        {Msg::UnknownProvider, {"Neznámý zdroj dat.", "Neznámy zdroj dát."}},
        {Msg::NotAllowed,
         {"Nemáte oprávnění k této operaci.", "Nemáte oprávnenie na túto operáciu."}},
        {Msg::MissingParameter, {"Chybí parametr požadavku: %1", "Chýba parameter požiadavky: %1"}},
        {Msg::BadChangeSet, {"Chybný balík změn.", "Chybný balík zmien."}},
        {Msg::ChangeSetTooLarge, {"Balík změn je příliš velký.", "Balík zmien je príliš veľký."}},
        {Msg::BadFieldValue,
         {"Položka %1 obsahuje nepovolené znaky.", "Položka %1 obsahuje nepovolené znaky."}},
        {Msg::FieldNotEditable, {"Položku %1 nelze měnit.", "Položku %1 nie je možné meniť."}},
        {Msg::RecordNotFound, {"Záznam nebyl nalezen.", "Záznam sa nenašiel."}},
        {Msg::OrderTypeNotOffered,
         {"Tento typ objednávky není v nabídce.", "Tento typ objednávky nie je v ponuke."}},
        {Msg::NotAClient, {"Uživatel není klient.", "Používateľ nie je klient."}},
        {Msg::LessonNotFound, {"Termín nebyl nalezen.", "Termín sa nenašiel."}},
        {Msg::SlotNotFree, {"Termín již není volný.", "Termín už nie je voľný."}},
        {Msg::NoBookableHours,
         {"Nemáte žádné volné hodiny k rezervaci.", "Nemáte žiadne voľné hodiny na rezerváciu."}},
        {Msg::LessonInPast, {"Termín je v minulosti.", "Termín je v minulosti."}},
        {Msg::StatusNotAllowed,
         {"Tuto změnu statusu nelze provést.", "Túto zmenu statusu nie je možné vykonať."}},
        {Msg::SlotTaken, {"Termín %1 je již obsazen.", "Termín %1 je už obsadený."}},
        {Msg::OnlyFreeSlotDeleted,
         {"Lze smazat pouze volný termín.", "Je možné zmazať iba voľný termín."}},
        {Msg::NoEmailAddress, {"Klient nemá zadaný e-mail.", "Klient nemá zadaný e-mail."}},
        {Msg::BookNotAllowed,
         {"K této učebnici nemáte přístup.", "K tejto učebnici nemáte prístup."}},
        {Msg::FileNotFound, {"Soubor nebyl nalezen.", "Súbor sa nenašiel."}},
        {Msg::BadTestResult, {"Neplatný výsledek testu.", "Neplatný výsledok testu."}},
        {Msg::ClientRequired,
         {"Pro tento status musí být zadán klient.", "Pre tento status musí byť zadaný klient."}},
        {Msg::ServerFailure,
         {"Chyba na straně serveru, zkuste to prosím později.",
          "Chyba na strane servera, skúste to prosím neskôr."}},
        {Msg::ValueOutOfRange,
         {"Hodnota položky %1 je mimo povolený rozsah.",
          "Hodnota položky %1 je mimo povoleného rozsahu."}},
        {Msg::TooManyOpenOrders,
         {"Máte příliš mnoho nezaplacených objednávek.",
          "Máte príliš veľa nezaplatených objednávok."}},
        {Msg::TestAlreadyTaken,
         {"Vstupní test již byl vyhodnocen.", "Vstupný test už bol vyhodnotený."}},
        {Msg::LessonNotYetHeld, {"Termín ještě neproběhl.", "Termín ešte neprebehol."}},
        {Msg::CancelTooLate,
         {"Rezervaci lze zrušit nejpozději %1 h před začátkem lekce.",
          "Rezerváciu je možné zrušiť najneskôr %1 h pred začiatkom lekcie."}},
        {Msg::RepeatConflicts,
         {"V těchto týdnech není v tento čas volný termín: %1. Nic nebylo rezervováno.",
          "V týchto týždňoch nie je v tento čas voľný termín: %1. Nič nebolo rezervované."}},
        {Msg::RepeatTooFewHours,
         {"Na tolik týdnů nemáte dost volných hodin (volné k rezervaci: %1).",
          "Na toľko týždňov nemáte dosť voľných hodín (voľné na rezerváciu: %1)."}},
        {Msg::TooManyWaits,
         {"Čekat můžete nejvýše na %1 termínů najednou.",
          "Čakať môžete najviac na %1 termínov naraz."}},
        {Msg::ValueTooLong,
         {"Hodnota položky %1 je příliš dlouhá.", "Hodnota položky %1 je príliš dlhá."}},
    };
    return texts;
}

} // namespace

QString ServerText(Msg message, int envLang) {
    const Pair p = Texts().value(message);
    return QString::fromUtf8(envLang == 3 ? p.sk : p.cs);
}

QString LanguageName(int envLang) {
    return envLang == 3 ? QStringLiteral("slovenčina") : QStringLiteral("čeština");
}

QString LanguageSuffix(int envLang) {
    return envLang == 3 ? QStringLiteral("SK") : QStringLiteral("CS");
}
