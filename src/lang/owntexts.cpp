#include "lang/owntexts.h"

#include <algorithm>
#include <iterator>

namespace texttables {
namespace {

// Sorted by number; keep each area's entries inside its range.
constexpr OwnText kOwnTexts[] = {
    {1000, "Zápis protokolu do souboru %1 se nezdařil.",
     "Zápis protokolu do súboru %1 sa nepodaril."},
    {1001, "Server odmítl spojení. Zkontrolujte adresu serveru v nastavení nebo to zkuste později.",
     "Server odmietol spojenie. Skontrolujte adresu servera v nastavení alebo to skúste neskôr."},
    {1002, "Server není dostupný. Zkontrolujte připojení k internetu a adresu serveru.",
     "Server nie je dostupný. Skontrolujte pripojenie k internetu a adresu servera."},
    {1003, "Server neodpověděl v časovém limitu. Zkuste to prosím znovu.",
     "Server neodpovedal v časovom limite. Skúste to prosím znova."},
    {1004,
     "Certifikát serveru není důvěryhodný, spojení bylo ukončeno. Zkontrolujte nastavení "
     "ověřování certifikátu a soubor certifikační autority v nastavení připojení.",
     "Certifikát servera nie je dôveryhodný, spojenie bolo ukončené. Skontrolujte nastavenie "
     "overovania certifikátu a súbor certifikačnej autority v nastavení pripojenia."},
    {1005,
     "Vaše přihlášení na serveru skončilo (například po restartu serveru). Byli jste odpojeni, "
     "připojte se prosím znovu.",
     "Vaše prihlásenie na serveri skončilo (napríklad po reštarte servera). Boli ste odpojení, "
     "pripojte sa prosím znova."},
    {1006, "&Ověřovat certifikát serveru", "&Overovať certifikát servera"},
    {1007, "Soubor &certifikační autority (CA)", "Súbor &certifikačnej autority (CA)"},
    {1008, "&Vybrat...", "&Vybrať..."},
    {1009, "Soubor certifikační autority", "Súbor certifikačnej autority"},
    {1010, "Certifikáty (*.pem *.crt *.cer);;Všechny soubory (*)",
     "Certifikáty (*.pem *.crt *.cer);;Všetky súbory (*)"},
    {1011, "Aktualizační program %s se nepodařilo spustit.",
     "Aktualizačný program %s sa nepodarilo spustiť."},
    {1012, "Odpověď serveru na přihlášení se nepodařilo přečíst. Zkuste se prosím připojit znovu.",
     "Odpoveď servera na prihlásenie sa nepodarilo prečítať. Skúste sa prosím pripojiť znova."},
    {1013, "Angličtina online, lekce po lekci", "Angličtina online, lekcia po lekcii"},
    {1014, "© Tellavo s.r.o. Všechna práva vyhrazena.", "© Tellavo s.r.o. Všetky práva vyhradené."},
    {1015,
     "Použití: tellavo [přepínač]\n"
     "  -install      jen nastavení připojení, po jeho zavření konec\n"
     "  -close        ukončí běžící program této instalace\n"
     "  -updated      oznámí dokončenou aktualizaci programu\n"
     "  --log SOUBOR  připisuje protokol do souboru (také proměnná TELLAVO_LOG)\n"
     "  --help        vypíše tento přehled\n"
     "Přepínače lze psát s \"/\" nebo \"-\", na velikosti písmen nezáleží.",
     "Použitie: tellavo [prepínač]\n"
     "  -install      len nastavenie pripojenia, po jeho zatvorení koniec\n"
     "  -close        ukončí bežiaci program tejto inštalácie\n"
     "  -updated      oznámi dokončenú aktualizáciu programu\n"
     "  --log SÚBOR   pripisuje protokol do súboru (aj premenná TELLAVO_LOG)\n"
     "  --help        vypíše tento prehľad\n"
     "Prepínače sa dajú písať s \"/\" alebo \"-\", na veľkosti písmen nezáleží."},
    {1016, "&Připojit", "&Pripojiť"},
    {1017, "Odpo&jit", "Odpo&jiť"},
    {1018, "&Objednávky", "&Objednávky"},
    {1019, "&Rozvrh", "&Rozvrh"},
    {1020, "&Výuka", "&Výučba"},
    {1021, "&Uživatelé", "&Užívatelia"},
    {1022, "&Nastavení", "&Nastavenie"},
    {1023, "Pro&fil", "Pro&fil"},
    {1024, "O &aplikaci", "O &aplikácii"},
    {1050, "Text položky %s obsahuje řídicí znak (%s), který nelze uložit. Odstraňte ho prosím.",
     "Text položky %s obsahuje riadiaci znak (%s), ktorý sa nedá uložiť. Odstráňte ho prosím."},
    // 1051-1054: the checked combo box's pop-up menu
    {1051, "Vybrat jeden", "Vybrať jeden"},
    {1052, "Vybrat vše", "Vybrať všetko"},
    {1053, "Zrušit vše", "Zrušiť všetko"},
    {1054, "Vybrat opačně", "Vybrať opačne"},
    // 1055-1056: settings that cannot be stored
    {1055,
     "Heslo nelze uložit: jméno i heslo musí mít méně než 256 znaků a smí obsahovat jen znaky "
     "znakové sady Windows-1250.",
     "Heslo nie je možné uložiť: meno aj heslo musia mať menej ako 256 znakov a smú obsahovať "
     "iba znaky znakovej sady Windows-1250."},
    {1056, "Nastavení nelze uložit: jméno, server ani port nesmí obsahovat konec řádku.",
     "Nastavenie nie je možné uložiť: meno, server ani port nesmú obsahovať koniec riadku."},
    // 1057-1059: the about box
    {1057, "O aplikaci", "O aplikácii"},
    {1058, "Program:", "Program:"},
    {1059, "Verze:", "Verzia:"},
    // 1060: a change set that the server applied only in part
    {1060, "Nesouhlasí počet aplikovaných změn na serveru: %d x %d",
     "Nesúhlasí počet aplikovaných zmien na serveri: %d x %d"},
    // 1061: the progress window's abort button
    {1061, "&Přerušit", "&Prerušiť"},
    // 1062-1065: message box captions (warning, error, information, confirmation)
    {1062, "Upozornění", "Upozornenie"},
    {1063, "Chyba", "Chyba"},
    {1064, "Informace", "Informácia"},
    {1065, "Potvrzení", "Potvrdenie"},
    // 1066-1071: message box buttons (Cancel, Abort, Retry, Ignore, Yes, No)
    {1066, "Zrušit", "Zrušiť"},
    {1067, "Přerušit", "Prerušiť"},
    {1068, "Opakovat", "Opakovať"},
    {1069, "Ignorovat", "Ignorovať"},
    {1070, "Ano", "Áno"},
    {1071, "Ne", "Nie"},
    {1072, "Přihlášení je po opakovaně chybném heslu dočasně zablokováno. Zkuste to znovu za %s.",
     "Prihlásenie je po opakovane chybnom hesle dočasne zablokované. Skúste to znova o %s."},
    {1073, "Objednávka byla odeslána.\nČástka k úhradě: %s\nVariabilní symbol: %s",
     "Objednávka bola odoslaná.\nSuma na úhradu: %s\nVariabilný symbol: %s"},
    {1074, "Správně jste odpověděli na %d otázek ze %d.",
     "Správne ste odpovedali na %d otázok z %d."},
    {1075, "Filtr skrývá všechny záznamy. Vypněte ho nebo ho změňte.",
     "Filter skrýva všetky záznamy. Vypnite ho alebo ho zmeňte."},
    {1076, "Historie chatu zatím nebyla uložena, další pokus proběhne za chvíli.",
     "História chatu zatiaľ nebola uložená, ďalší pokus prebehne o chvíľu."},
    {1077, "Strana %s v této učebnici není, má strany %d až %d.",
     "Strana %s v tejto učebnici nie je, má strany %d až %d."},
    {1200, "ID", "ID"},
    {1300, "Do kalendáře...", "Do kalendára..."},
    {1301, "Výuka", "Výučba"},
    {1302,
     "Uloží hodiny ze seznamu jako soubor kalendáře (iCalendar) pro jakýkoli kalendářový program",
     "Uloží hodiny zo zoznamu ako súbor kalendára (iCalendar) pre akýkoľvek kalendárový program"},
    {1303, "Kalendář (*.ics)", "Kalendár (*.ics)"},
    {1304, "Soubor %1 se nepodařilo uložit.", "Súbor %1 sa nepodarilo uložiť."},
    {1305, "V seznamu nejsou žádné hodiny k exportu.", "V zozname nie sú žiadne hodiny na export."},
    {1306, "rozvrh.ics", "rozvrh.ics"},
    {1307, "Předchozí měsíc", "Predchádzajúci mesiac"},
    {1308, "Následující měsíc", "Nasledujúci mesiac"},
    {1309,
     "Uloží vaše rezervované hodiny jako soubor kalendáře (iCalendar) pro jakýkoli "
     "kalendářový program",
     "Uloží vaše rezervované hodiny ako súbor kalendára (iCalendar) pre akýkoľvek kalendárový "
     "program"},
    {1310, "Nemáte žádné rezervované hodiny k exportu.",
     "Nemáte žiadne rezervované hodiny na export."},
    {1311, "Export do kalendáře", "Export do kalendára"},
    {1312, "Hodiny (%1) byly uloženy do souboru %2.", "Hodiny (%1) boli uložené do súboru %2."},
    {1400, "Objednávky", "Objednávky"},
    {1401, "Rozvrh hodin", "Rozvrh hodín"},
    {1402, "Záznamy přihlašování", "Záznamy prihlasovania"},
    {1403, "Přijaté e-maily", "Prijaté e-maily"},
    {1404, "&Detail zprávy", "&Detail správy"},
    {1405, "E-mail", "E-mail"},
    {1500, "Úvodní text %1 nelze načíst.", "Úvodný text %1 sa nedá načítať."},
    {1501, "Otázky vstupního testu %1 nelze načíst.",
     "Otázky vstupného testu %1 sa nedajú načítať."},
    {1600, "Přehrávač zvuku neodpověděl včas, nahrávka se nepřehraje.",
     "Prehrávač zvuku neodpovedal včas, nahrávka sa neprehrá."},
    {1640, "Výukový server odmítl spojení.", "Výukový server odmietol spojenie."},
    {1641, "Výukový server není dostupný.", "Výukový server nie je dostupný."},
    {1642, "Výukový server neodpověděl v časovém limitu.",
     "Výukový server neodpovedal v časovom limite."},
    {1643, "Certifikát výukového serveru není důvěryhodný.",
     "Certifikát výukového servera nie je dôveryhodný."},
    {1644, "Spojení s výukovým serverem bylo přerušeno.",
     "Spojenie s výukovým serverom bolo prerušené."},
    {1645, "Spojení přerušeno, nové připojení za %1 s",
     "Spojenie prerušené, nové pripojenie o %1 s"},
    {1646, "Obnovuje se spojení s %1", "Obnovuje sa spojenie s %1"},
    {1647, "Spojení se nepodařilo obnovit.", "Spojenie sa nepodarilo obnoviť."},
    {1648, "Pozastavit audio", "Pozastaviť audio"},
    {1660, "O&deslat poznámky", "O&doslať poznámky"},
    {1661, "Poslat klientovi poznámky z lekce jako PDF (Alt+D)",
     "Poslať klientovi poznámky z lekcie ako PDF (Alt+D)"},
    {1662, "Poznámky z lek&cí", "Poznámky z lek&cií"},
    {1663, "Poznámky z lekcí, které vám poslal vyučující (Alt+C)",
     "Poznámky z lekcií, ktoré vám poslal vyučujúci (Alt+C)"},
    {1664, "Poznámky z lekce", "Poznámky z lekcie"},
    {1665, "Vyučující: %s, klient: %s, %s", "Vyučujúci: %s, klient: %s, %s"},
    {1666, "Probrané strany", "Prebraté strany"},
    {1667, "Přehrané nahrávky", "Prehraté nahrávky"},
    {1668, "Chat", "Chat"},
    {1669, "Poznámka vyučujícího", "Poznámka vyučujúceho"},
    {1670, "Poznámka pro klienta:", "Poznámka pre klienta:"},
    {1671, "Poznámky z lekce byly odeslány.", "Poznámky z lekcie boli odoslané."},
    {1672, "(žádné)", "(žiadne)"},
    {1673, "Poznámky z lekce se nepodařilo vytvořit.", "Poznámky z lekcie sa nepodarilo vytvoriť."},
    {1680, "Prohlížet sá&m", "Prezerať sá&m"},
    {1681, "Zpět k vyučující&mu", "Späť k vyučujúce&mu"},
    {1682, "Uka&zovátko", "Uka&zovátko"},
    {1683, "Zvýrazn&it", "Zvýrazn&iť"},
    {1684, "V&ymazat", "V&ymazať"},
    {1685, "Povo&lit kreslení", "Povo&liť kreslenie"},
    {1686, "Listovat knihou sám a jedním stiskem se vrátit na stranu vyučujícího (Alt+M)",
     "Listovať knihou sám a jedným stlačením sa vrátiť na stranu vyučujúceho (Alt+M)"},
    {1687, "Prohlížíte sám, vyučující je na str. %d", "Prezeráte sám, vyučujúci je na str. %d"},
    {1688, "Prohlížíte sám", "Prezeráte sám"},
    {1689, "Klient je na vaší straně", "Klient je na vašej strane"},
    {1690, "Klient si prohlíží sám str. %d", "Klient si prezerá sám str. %d"},
    {1691, "Ukazovátko, které vidí i druhá strana (Alt+Z)",
     "Ukazovátko, ktoré vidí aj druhá strana (Alt+Z)"},
    {1692, "Zvýrazňovač: tažením myši označíte místo na stránce (Alt+I)",
     "Zvýrazňovač: ťahaním myši označíte miesto na stránke (Alt+I)"},
    {1693, "Smazat zvýraznění této stránky u obou (Alt+Y)",
     "Zmazať zvýraznenie tejto stránky u oboch (Alt+Y)"},
    {1694, "Klient smí používat ukazovátko a zvýrazňovač (Alt+L)",
     "Klient smie používať ukazovátko a zvýrazňovač (Alt+L)"},
    {1700, "Soubor %s se nepodařilo zapsat: %s", "Súbor %s sa nepodarilo zapísať: %s"},
    {1701, "Konfigurace %s nebyla nalezena.", "Konfigurácia %s nebola nájdená."},
    {1702, "Byla nalezena konfigurace tisků %s\r\nProvést import?",
     "Bola nájdená konfigurácia tlačí %s\r\nVykonať import?"},
    {1703, "Soubor %s se nepodařilo přečíst: %s", "Súbor %s sa nepodarilo prečítať: %s"},
    {1704,
     "Seznam má %d záznamů, do listu Excelu se jich vejde nejvýše %d. Omezte seznam filtrem a "
     "export opakujte.",
     "Zoznam má %d záznamov, do hárka Excelu sa ich zmestí najviac %d. Obmedzte zoznam filtrom "
     "a export zopakujte."},
    {1705, "Do listu Excelu lze exportovat nejvýše %d položek, vybráno je %d.",
     "Do hárka Excelu možno exportovať najviac %d položiek, vybraných je %d."},
    {1710, "Definice sestavy je poškozená.", "Definícia zostavy je poškodená."},
    {1711, " (sčítat)", " (sčítať)"},
    {1712, "Tisk na tiskárnu", "Tlač na tlačiareň"},
    {1713, "Není k dispozici žádná tiskárna.", "Nie je k dispozícii žiadna tlačiareň."},
    {1714, "Tisk na tiskárně %s se nepodařil.", "Tlač na tlačiarni %s sa nepodarila."},
    {1715, "Kódování:", "Kódovanie:"},
    {1716, "Windows-1250;UTF-8 s BOM", "Windows-1250;UTF-8 s BOM"},
    {1717,
     "Některé znaky nelze v kódování %s zapsat (hodnot: %d, první v záznamu %d). V souboru jsou "
     "nahrazeny otazníkem; kódování UTF-8 je zapíše všechny.",
     "Niektoré znaky nemožno v kódovaní %s zapísať (hodnôt: %d, prvá v zázname %d). V súbore sú "
     "nahradené otáznikom; kódovanie UTF-8 ich zapíše všetky."},
    {1718, "Export do Excelu (xlsx)", "Export do Excelu (xlsx)"},
    {1719, "xlsx soubory", "xlsx súbory"},
    {1720, "Na šířku stránky se nevešly sloupce: %s. Zvolte orientaci na šířku nebo méně položek.",
     "Na šírku stránky sa nezmestili stĺpce: %s. Zvoľte orientáciu na šírku alebo menej "
     "položiek."},
    // The lesson call.
    {1800, "Za&volat", "Za&volať"},
    {1801, "Za&věsit", "Za&vesiť"},
    {1802, "Při&jmout", "Pri&jať"},
    {1803, "Odmí&tnout", "Odmie&tnuť"},
    {1804, "Mikro&fon", "Mikro&fón"},
    {1805, "Kam&era", "Kam&era"},
    {1806, "Zařízení &hovoru...", "Zariadenia &hovoru..."},
    {1807, "Hovor: bez partnera", "Hovor: bez partnera"},
    {1808, "Hovor: ověřuje se...", "Hovor: overuje sa..."},
    {1809, "Hovor není k dispozici: partner nebo server hovory nepodporuje.", "Hovor nie je k dispozícii: partner alebo server hovory nepodporuje."},
    {1810, "Hovor: připraveno", "Hovor: pripravené"},
    {1811, "Hovor: vyzvání...", "Hovor: zvoní..."},
    {1812, "Příchozí hovor", "Prichádzajúci hovor"},
    {1813, "Hovor: spojuje se...", "Hovor: spája sa..."},
    {1814, "Hovor probíhá", "Hovor prebieha"},
    {1815, "Partner hovor odmítl.", "Partner hovor odmietol."},
    {1816, "Partner hovor ukončil.", "Partner hovor ukončil."},
    {1817, "Partner hovor nepřijal.", "Partner hovor neprijal."},
    {1818, "Spojení se serverem výuky se přerušilo a hovor skončil. Až se spojení obnoví, můžete zavolat znovu.", "Spojenie so serverom výučby sa prerušilo a hovor skončil. Keď sa spojenie obnoví, môžete zavolať znova."},
    {1819, "Partner odešel z výuky, hovor skončil.", "Partner odišiel z výučby, hovor skončil."},
    {1820, "Hovor se nepodařilo spojit nebo se přerušil.", "Hovor sa nepodarilo spojiť alebo sa prerušil."},
    {1821, "Partner poslal chybná data hovoru, hovor byl ukončen.", "Partner poslal chybné údaje hovoru, hovor bol ukončený."},
    {1822, "Za&volat znovu", "Za&volať znova"},
    {1823, "Hovor skončil.", "Hovor skončil."},
    {1824, "Mikrofon nebo kamera nejsou k dispozici, hovor skončil.", "Mikrofón alebo kamera nie sú k dispozícii, hovor skončil."},
    {1825, "Partner volá. Přijmout hovor?", "Partner volá. Prijať hovor?"},
    {1826, "Zmeškaný hovor.", "Zmeškaný hovor."},
    {1827, "Výuka je off-line, hovor skončil.", "Výučba je off-line, hovor skončil."},
    {1828, "Hlasitost vašeho mikrofonu", "Hlasitosť vášho mikrofónu"},
    {1829, "Partner volá s kamerou. Přijmout hovor?", "Partner volá s kamerou. Prijať hovor?"},
    {1830, "Zařízení hovoru", "Zariadenia hovoru"},
    {1831, "&Mikrofon:", "&Mikrofón:"},
    {1832, "&Reproduktor:", "&Reproduktor:"},
    {1833, "&Kamera:", "&Kamera:"},
    {1834, "Výchozí zařízení systému", "Predvolené zariadenie systému"},
    {1835, "Video partnera a vlastní náhled", "Video partnera a vlastný náhľad"},
    {1836, "Mikrofon je ztlumen, dokud hraje nahrávka.", "Mikrofón je stlmený, kým hrá nahrávka."},
};

static_assert(std::is_sorted(std::begin(kOwnTexts), std::end(kOwnTexts),
                             [](const OwnText &a, const OwnText &b) {
                                 return a.number < b.number;
                             }));

} // namespace

const OwnText *FindOwnText(int number) {
    if (number >= 1900)
        return FindBookingText(number);
    const auto it = std::lower_bound(std::begin(kOwnTexts), std::end(kOwnTexts), number,
                                     [](const OwnText &t, int n) { return t.number < n; });
    return it != std::end(kOwnTexts) && it->number == number ? &*it : nullptr;
}

} // namespace texttables
