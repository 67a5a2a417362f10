// Texts of the booking features beyond the timetable (reminders, cancellation deadline, low
// balance, repeating bookings, calendar subscription, waiting for a slot): 1900-1999.
#include "lang/owntexts.h"

#include <algorithm>
#include <iterator>

namespace texttables {
namespace {

constexpr OwnText kBookingTexts[] = {
    {1900, "Za %d min začíná lekce s %s.", "O %d min začína lekcia s %s."},
    {1901, "&Otevřít lekci", "&Otvoriť lekciu"},
    {1902, "Lekce brzy začíná", "Lekcia čoskoro začína"},
    {1903, "Skrýt", "Skryť"},
    {1904,
     "Rezervaci lze zrušit nejpozději %d h před začátkem lekce. Tuto lekci už zrušit nelze; "
     "domluvte se prosím s lektorem.",
     "Rezerváciu je možné zrušiť najneskôr %d h pred začiatkom lekcie. Túto lekciu už zrušiť "
     "nie je možné; dohodnite sa, prosím, s lektorom."},
    {1905, "&Napsat lektorovi", "&Napísať lektorovi"},
    {1906, "Chatem v lekci", "Chatom v lekcii"},
    {1907, "E-mailem", "E-mailom"},
    {1908, "Lekce %s", "Lekcia %s"},
    {1909, "Po této rezervaci vám zbude k rezervaci %s h. Chcete si hned objednat další hodiny?",
     "Po tejto rezervácii vám zostane na rezerváciu %s h. Chcete si hneď objednať ďalšie "
     "hodiny?"},
    {1910, "Docházejí hodiny", "Dochádzajú hodiny"},
    {1911, "&Opakovat...", "&Opakovať..."},
    {1912, "Opakovaná rezervace", "Opakovaná rezervácia"},
    {1913, "Rezervovat termín %s a stejný čas v dalších týdnech u lektora %s.",
     "Rezervovať termín %s a rovnaký čas v ďalších týždňoch u lektora %s."},
    {1914, "&Počet týdnů:", "&Počet týždňov:"},
    {1915, "Volné k rezervaci: %s h", "Voľné na rezerváciu: %s h"},
    {1916, "&Zkontrolovat", "&Skontrolovať"},
    {1917, "Všechny týdny mají v tento čas volný termín.",
     "Všetky týždne majú v tento čas voľný termín."},
    {1918, "V těchto týdnech není v tento čas volný termín (rezervace proběhne jen celá):",
     "V týchto týždňoch nie je v tento čas voľný termín (rezervácia prebehne iba celá):"},
    {1919, "&Rezervovat", "&Rezervovať"},
    {1920, "Rezervováno hodin: %d.", "Rezervovaných hodín: %d."},
    {1921, "Opakovat &týdně (týdnů):", "Opakovať &týždenne (týždňov):"},
    {1922, "Kalendář v jiném programu", "Kalendár v inom programe"},
    {1923,
     "Tuto adresu přidejte do svého kalendáře jako odběr (z internetu). Kdo ji zná, vidí vaše "
     "lekce; zrušením přestane platit.",
     "Túto adresu pridajte do svojho kalendára ako odber (z internetu). Kto ju pozná, vidí vaše "
     "lekcie; zrušením prestane platiť."},
    {1924, "&Kopírovat", "&Kopírovať"},
    {1925, "Zrušit &adresu", "Zrušiť &adresu"},
    {1926, "&Vytvořit adresu", "&Vytvoriť adresu"},
    {1927, "Zrušit adresu kalendáře? Kalendáře, které ji odebírají, přestanou dostávat lekce.",
     "Zrušiť adresu kalendára? Kalendáre, ktoré ju odoberajú, prestanú dostávať lekcie."},
    {1928, "Čekat na &uvolnění...", "Čakať na &uvoľnenie..."},
    {1929, "Dát vám vědět, až se %s uvolní termín u lektora %s?",
     "Dať vám vedieť, keď sa %s uvoľní termín u lektora %s?"},
    {1930, "Dáme vám vědět e-mailem a při příštím přihlášení.",
     "Dáme vám vedieť e-mailom a pri ďalšom prihlásení."},
    {1931,
     "Uvolnily se termíny, na které jste čekali:", "Uvoľnili sa termíny, na ktoré ste čakali:"},
    {1932, "%s u lektora %s", "%s u lektora %s"},
    {1933, "Nejprve vyberte v seznamu lekci lektora, na jehož termín chcete čekat.",
     "Najprv vyberte v zozname lekciu lektora, na ktorého termín chcete čakať."},
    {1934, "Adresa je ve schránce.", "Adresa je v schránke."},
};

static_assert(std::is_sorted(std::begin(kBookingTexts), std::end(kBookingTexts),
                             [](const OwnText &a, const OwnText &b) {
                                 return a.number < b.number;
                             }));

} // namespace

const OwnText *FindBookingText(int number) {
    const auto it = std::lower_bound(std::begin(kBookingTexts), std::end(kBookingTexts), number,
                                     [](const OwnText &t, int n) { return t.number < n; });
    return it != std::end(kBookingTexts) && it->number == number ? &*it : nullptr;
}

} // namespace texttables
