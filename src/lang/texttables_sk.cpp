// Slovak texts of the interface: the common table (reusable components: grid frame, find
// and filter dialogs, output, printing, preview) and the application table (the program's own
// screens and messages). Entry N of a table is at index N - 1; unused entries are "".
#include "texttables.h"

#include <iterator>

namespace texttables {

// clang-format off
constexpr const char *CommonSk[CommonCount] = {
    "&OK", // 1
    "&Zrušiť", // 2
    "&Použiť", // 3
    "&Hľadať", // 4
    "&Filter", // 5
    "&Výstup", // 6
    "&Definovať výstup...", // 7
    "Triediť podľa", // 8
    "Hľadať...", // 9
    "Uložiť nastavenie stĺpcov", // 10
    "Načítať štandardné nastavenie stĺpcov", // 11
    "Želáte si tiež zmazať predtým uložené nastavenie stĺpcov?", // 12
    "Esc-Zavrieť", // 13
    "Ukončiť", // 14
    "&Zavrieť", // 15
    "%s nie je platná celočíselná hodnota", // 16
    "povolené", // 17
    "zakázané", // 18
    "Editovaný záznam nie je uložený. Chcete ho uložiť?", // 19
    "'%s' nie je platná hodnota reálneho čísla pre položku '%s'", // 20
    "Naozaj zmazať záznam?", // 21
    "Ctrl+PgUp-Na začiatok;PgUp-Predchádzajúci;PgDn-Nasledujúci;Ctrl+PgDn-Na koniec;Insert-Nový záznam;Alt+Delete-Zmazať záznam;Ctrl+Enter-Editovať záznam;F2-Uložiť;Esc-Neuložiť;F5-Obnoviť", // 22
    "Home-Na začiatok;Predchádzajúci;Nasledujúci;End-Na koniec;Insert-Nový záznam;Delete-Zmazať záznam;Ctrl+Enter-Editovať záznam;F2-Uložiť;Esc-Neuložiť;F5-Obnoviť", // 23
    "Hľadanie", // 24
    "Hľadaná hodnota nebola nájdená presne!", // 25
    "F3-Hľadanie", // 26
    "F8-Výstup pre tlač/export", // 27
    "Z&oznam", // 28
    "&Detail", // 29
    "Výstup pre tlač a export", // 30
    "Položky vo výstupe", // 31
    "Parametre položky pre výstup", // 32
    "Sčítať položku", // 33
    "Šablóny", // 34
    "Označiť všetky", // 35
    "Zrušiť označenie všetkých", // 36
    "Posunúť nahor", // 37
    "Posunúť nadol", // 38
    "Vybrať šablónu", // 39
    "Uložiť šablónu", // 40
    "Zmazať šablónu", // 41
    "Export do CSV súboru", // 42
    "csv súbory", // 43
    "Export do Excelu", // 44
    "xls súbory", // 45
    "Typ výstupu", // 46
    "Náhľad pre tlač a export do PDF;Priamy export do PDF dokumentu;Export do HTML súboru;Export do Excelu;Export do CSV súboru", // 47
    "Parametre pre výstup", // 48
    "Exportovať hlavičku položiek", // 49
    "Vypísať dátum a čas vytvorenia výpisu", // 50
    "Vypísať hodnoty filtra", // 51
    "Vypísať počet záznamov", // 52
    "Orientácia papiera", // 53
    "Implicitná meniteľná;Na výšku;Na šírku", // 54
    "&Generovať", // 55
    "Nadpis", // 56
    "Výpis", // 57
    "Strana", // 58
    "Výpis vytvorený: %s", // 59
    "Súčty:", // 60
    "Počet záznamov: ", // 61
    "Export do Excelu", // 62
    "Prebieha exportovanie záznamov...", // 63
    "Vyexportovaných %d záznamov", // 64
    "Export do Excelu bol úspešne dokončený, želáte si dokument otvoriť?", // 65
    "Export do CSV súboru", // 66
    "Prebieha exportovanie záznamov...", // 67
    "Export do CSV dokumentu bol úspešne dokončený, želáte si dokument otvoriť?", // 68
    "Uložiť šablónu", // 69
    "Názov šablóny:", // 70
    "Šablóna s názvom \"%s\" už existuje. Želáte si ju prepísať?", // 71
    "Zmazať šablónu \"%s\"?", // 72
    "Hľadanie", // 73
    "&Hľadať", // 74
    "Hľadať &presne", // 75
    "'%s' nie je platná hodnota reálneho čísla", // 76
    "'%s' nie je platný dátum", // 77
    "'%s' nie je platný čas", // 78
    "'%s' nie je platný dátum a čas", // 79
    "Tlač dokumentu", // 80
    "Zvolená tlačiareň", // 81
    "Rozsah tlače", // 82
    "Všetko", // 83
    "Výber", // 84
    "Strany", // 85
    "Výber:", // 86
    "Počet kópií", // 87
    "Od:", // 88
    "Do:", // 89
    "(žiadna)", // 90
    "Náhľad", // 91
    "Ctrl+Home-Na začiatok", // 92
    "Ctrl+PgUp-Predchádzajúca", // 93
    "Ctrl+PgDn-Nasledujúca", // 94
    "Ctrl+End-Posledná", // 95
    "F3-Prejsť na stranu", // 96
    "- Zmenšiť", // 97
    "Alt+O-Zoom", // 98
    "+ Zväčšiť", // 99
    "F6-Pravítka", // 100
    "F7-Nastavenie tlače", // 101
    "F8-Tlač", // 102
    "&Tlač", // 103
    "F9-Export do PDF", // 104
    "&Optimálny", // 105
    "&Vlastný...", // 106
    "Export do PDF dokumentu", // 107
    "PDF dokument", // 108
    "Export bol úspešne dokončený, želáte si ho otvoriť vo vašom PDF prehliadači?", // 109
    "Tlač dokumentu", // 110
    "Príprava na tlač...", // 111
    "Vytvára sa strana %p", // 112
    "Posiela sa na tlačiareň...", // 113
    "Export do PDF", // 114
    "Príprava na vytvorenie PDF...", // 115
    "Dokončuje sa vytváranie PDF...", // 116
    "Náhľad - %s", // 117
    "Vytváranie náhľadu", // 118
    "Príprava na vytvorenie náhľadu...", // 119
    "", // 120
    "&Strana: %d/%d", // 121
    "Z&oom: %d%% ", // 122
    "Prejsť na stranu", // 123
    "Strana (%d - %d):", // 124
    "Zoom", // 125
    "Zoom (10% - 200%):", // 126
    "Vytváranie PDF dokumentu...", // 127
    "", // 128
    "", // 129
    "Všetci", // 130
    "<Všetko>", // 131
    "<Nie je vybrané>", // 132
    "Dátum Od je väčší ako dátum Do", // 133
    "", // 134
    "", // 135
    "", // 136
    "", // 137
    "", // 138
    "", // 139
    "Export do HTML súboru", // 140
    "html súbory", // 141
    "Export do HTML dokumentu bol úspešne dokončený, želáte si dokument otvoriť?", // 142
    "Importovať šablónu", // 143
    "Exportovať šablónu", // 144
    "Neplatný súbor šablóny", // 145
    "Chyba pri exporte šablóny", // 146
    "", // 147
    "", // 148
    "", // 149
    "Triediť vzostupne", // 150
    "Triediť zostupne", // 151
    "Triedenie a nastavenie stĺpcov", // 152
    "Editor poradia stĺpcov...", // 153
    "Zistiť počet záznamov...", // 154
    "Celkový počet záznamov: %d", // 155
    "", // 156
    "", // 157
    "", // 158
    "", // 159
    "Editor poradia stĺpcov", // 160
    "&Načítať štandardné nastavenie", // 161
    "", // 162
    "", // 163
    "", // 164
    "", // 165
    "", // 166
    "", // 167
    "", // 168
    "", // 169
    "", // 170
    "", // 171
    "", // 172
    "", // 173
    "", // 174
    "", // 175
    "", // 176
    "", // 177
    "", // 178
    "", // 179
    "", // 180
    "", // 181
    "", // 182
    "", // 183
    "", // 184
    "", // 185
    "", // 186
    "", // 187
    "", // 188
    "", // 189
    "", // 190
    "", // 191
    "", // 192
    "", // 193
    "", // 194
    "", // 195
    "", // 196
    "", // 197
    "", // 198
    "", // 199
};

constexpr const char *AppSk[AppCount] = {
    "Pridať nové termíny", // 1
    "Dátum", // 2
    "Čas", // 3
    "&Vynulovať", // 4
    "Zvolený dátum je v minulosti", // 5
    "Nebol vybraný žiadny čas", // 6
    "Termín %s je už obsadený", // 7
    "", // 8
    "", // 9
    "Objednané", // 10
    "Status", // 11
    "Popis", // 12
    "Suma", // 13
    "Počet hodín", // 14
    "Dátum zmeny", // 15
    "Pôvodný status", // 16
    "Nový status", // 17
    "Kto zmenil status", // 18
    "Editácia objednávky", // 19
    "", // 20
    "", // 21
    "", // 22
    "", // 23
    "", // 24
    "Nová objednávka", // 25
    "Typ objednávky", // 26
    "Počet hodín", // 27
    "Suma", // 28
    "Popis", // 29
    "Objednávka je záväzná, zrušiť ju je možné iba po vzájomnej dohode.", // 30
    "Nebol vybraný žiadny typ ponuky", // 31
    "Želáte si záväzne odoslať objednávku?", // 32
    "Objednávka nebola odoslaná.", // 33
    "", // 34
    "", // 35
    "", // 36
    "", // 37
    "", // 38
    "", // 39
    "Editácia užívateľa", // 40
    "Typ užívateľa", // 41
    "Prihlasovacie meno", // 42
    "Debet hodín", // 43
    "Úroveň klienta", // 44
    "Kurz", // 45
    "Výsledok testu", // 46
    "Zoznam viditeľných učebníc", // 47
    "Účet užívateľa je aktívny", // 48
    "Reset hesla", // 49
    "Poznámka manažéra o užívateľovi", // 50
    "Poznámky o výučbe", // 51
    "Štatistika klienta", // 52
    "Poznámka o výučbe:", // 53
    "Dátum zápisu", // 54
    "Zapísal(a)", // 55
    "Celkom objednané:", // 56
    "Celkom zaplatené:", // 57
    "Celkom zostáva zaplatiť:", // 58
    "Hodiny", // 59
    "Suma", // 60
    "Odučené:", // 61
    "Zameškané hodiny:", // 62
    "Celkom čerpané:", // 63
    "Celkom nevyčerpané:", // 64
    "Z toho rezervované:", // 65
    "Z toho nepotvrdené:", // 66
    "Z toho potvrdené:", // 67
    "Aktualizácia štatistík", // 68
    "Heslo užívateľa bude nastavené na prázdne. Naozaj pokračovať?", // 69
    "Heslo bolo úspešne zmenené. Odporúča sa, aby si užívateľ heslo čo najskôr zmenil.", // 70
    "Vypršalo:", // 71
    "", // 72
    "", // 73
    "", // 74
    "", // 75
    "", // 76
    "", // 77
    "", // 78
    "", // 79
    "Úvod - test", // 80
    "< &Späť", // 81
    "Ď&alej >", // 82
    "Nabudúce už toto okno nezobrazovať", // 83
    "Test - strana 1/4", // 84
    "Test - strana 2/4", // 85
    "Test - strana 3/4", // 86
    "Test - strana 4/4", // 87
    "Teraz budú Vaše odpovede odoslané na server. Pokračovať?", // 88
    "Odpovede boli úspešne odoslané.", // 89
    "&Dokončiť", // 90
    "Naozaj si želáte test nedokončiť?", // 91
    "&Test >", // 92
    "", // 93
    "", // 94
    "", // 95
    "", // 96
    "", // 97
    "", // 98
    "", // 99
    "Filter - Objednávky", // 100
    "Statusy", // 101
    "Klienti", // 102
    "Zobrazovať iba nenulové sumy", // 103
    "Objednané od", // 104
    "Objednané do", // 105
    "", // 106
    "", // 107
    "", // 108
    "", // 109
    "Statusy", // 110
    "Vyučujúci", // 111
    "Klienti", // 112
    "Dátum výučby od", // 113
    "Dátum výučby do", // 114
    "Filter - Rozvrh hodín", // 115
    "", // 116
    "", // 117
    "", // 118
    "", // 119
    "Filter - Užívatelia", // 120
    "Typ užívateľa", // 121
    "Úroveň klienta", // 122
    "Zobraziť iba aktívnych užívateľov", // 123
    "Posledné prihlásenie od", // 124
    "Posledné prihlásenie do", // 125
    "Zobraziť iba klientov s dlhom", // 126
    "", // 127
    "", // 128
    "", // 129
    "História zmien statusov pri termíne %s", // 130
    "Dátum zmeny", // 131
    "Kto status zmenil", // 132
    "Vyučujúci", // 133
    "Pôvodný status", // 134
    "Nový status", // 135
    "Pôvodný klient", // 136
    "Nový klient", // 137
    "", // 138
    "", // 139
    "", // 140
    "Chyba - neplatné prihlasovacie meno, heslo alebo session.", // 141
    "Chyba v priebehu komunikácie so servrom.", // 142
    "Komunikácia so servrom bola prerušená.", // 143
    "Operácia neprebehla úspešne.", // 144
    "Server vrátil chybu číslo %d!", // 145
    "Komunikácia so servrom", // 146
    "Prerušiť", // 147
    "Pripájanie k servru...", // 148
    "Pripojené", // 149
    "Prenos dát (%d kB)", // 150
    "Prenos dát : %d%% hotovo (%d kB z %d kB)", // 151
    "Rýchlosť: %s kB/s, zostává: %s sekúnd", // 152
    "Dáta prenesené, čaká sa na odozvu...", // 153
    "", // 154
    "", // 155
    "", // 156
    "", // 157
    "", // 158
    "", // 159
    "Prihlásený užívateľ:", // 160
    "Dátum posledného prihlásenia:", // 161
    "Program bol úspešne zaktualizovaný.", // 162
    "Pripojený", // 163
    "Odpojený", // 164
    "Nemáte zadané prihlasovacie meno a heslo. Zadáte ich pomocou kliknutia na ikonu \"Nastavenie\".", // 165
    "Bola najdená nová verzia programu %s %s. Bez aktualizácie sa nebude možné pripojiť. Previesť aktualizáciu?", // 166
    "Sťahovanie aktualizácie programu", // 167
    "Nedá sa zapísať aktualizačný súbor na disk", // 168
    "Bola zaktualizovaná knihovňa učebníc. Opäť sa prosím pripojte.", // 169
    "Upozornenie - čas tohto počítača se odlišuje o viac ako hodinu od času servru!", // 170
    "Všetky operácie sú prevádzane s ohľadom na čas servru, ktorý je %s.", // 171
    "", // 172
    "", // 173
    "", // 174
    "", // 175
    "", // 176
    "", // 177
    "", // 178
    "", // 179
    "Nastavenie pripojenia", // 180
    "Prihlasovacie meno", // 181
    "Heslo", // 182
    "Jazyk prostredia programu", // 183
    "Automaticky sa pripojiť pri spúšťaní", // 184
    "Použiť šifrovanú komunikáciu (HTTPS)", // 185
    "&Nastavenie Proxy...", // 186
    "Zmena nastavenia jazyka sa prejaví až po reštarte programu.", // 187
    "", // 188
    "", // 189
    "", // 190
    "", // 191
    "", // 192
    "", // 193
    "", // 194
    "", // 195
    "", // 196
    "", // 197
    "", // 198
    "", // 199
    "Zadajte staré heslo", // 200
    "Nové heslo", // 201
    "Zopakujte nové heslo", // 202
    "Staré heslo nesúhlasí!", // 203
    "Nové heslá nie sú rovnaké!", // 204
    "Zmena hesla", // 205
    "", // 206
    "", // 207
    "", // 208
    "", // 209
    "Profil užívateľa", // 210
    "Zmeniť prihlasovacie heslo...", // 211
    "Heslo bolo úspešne zmenené.", // 212
    "", // 213
    "", // 214
    "", // 215
    "Nastavenie HTTP proxy", // 216
    "Pripojenie cez proxy server", // 217
    "&Detekovať...", // 218
    "Proxy server:", // 219
    "Port:", // 220
    "Používať prihlasovanie", // 221
    "Meno:", // 222
    "Heslo:", // 223
    "Pre online TCP/IP komunikáciu používať port", // 224
    "Rovnaký ako pre pripojenie (väčšinou nefunguje s proxy servermi);Alternatívna SSL komunikácia cez port 7443;Alternatívna nezabezpečená komunikácia cez port 7080", // 225
    "Toto pripojenie bolo nájdené cez proxy server: %s", // 226
    "Žiadne pripojenie cez proxy server nebolo nájdené.", // 227
    "", // 228
    "", // 229
    "Výber vyučujúceho", // 230
    "Váš vyučujúci nebol automaticky nájdený.", // 231
    "Vyberte si zo zoznamu vyučujúceho, ku ktorému sa chcete pripojiť:", // 232
    "", // 233
    "", // 234
    "Zmena statusu nie je štandardná, naozaj si želáte uložiť objednávku?", // 235
    "Bol zmenený status objednávky, želáte si poslať e-mail klientovi o zmene?", // 236
    "E-mail bol úspešne odoslaný.", // 237
    "Zmazať je možné iba voľný termín", // 238
    "Nemáte dostatočné oprávnenie zmeniť tento zápis.", // 239
    "Predchádzajúca strana", // 240
    "Nasledujúca strana", // 241
    "Prejsť na stranu", // 242
    "K&niha >>", // 243
    "K&apitola >>", // 244
    "Spustiť multimediálny súbor", // 245
    "Zastaviť súbor a pretočiť na začiatok", // 246
    "Vybrať multimediálny súbor", // 247
    "A&udio >>", // 248
    "Synchro", // 249
    "&Klient", // 250
    "Poslať text - Ctrl+Enter", // 251
    "Odo&slať text", // 252
    "&Pripojiť sa", // 253
    "Znovu nahrať stránku", // 254
    "Vymazať", // 255
    "Výučba je on-line", // 256
    "Výučba je off-line", // 257
    "&Byť off-line", // 258
    "&Byť on-line", // 259
    "&Odpojiť sa", // 260
    "&Pripojiť sa", // 261
    "Zoznam online vyučujúcich je prázdny, nie je možné sa pripojiť!", // 262
    "On-line komunikácia", // 263
    "Spúšťanie on-line procesu...", // 264
    "Prebieha pripájanie k vyučujúcemu %s", // 265
    "Pripája sa k %s", // 266
    "Pripojený k %s", // 267
    "Vyučujúci nie je on-line", // 268
    "Odpojený - %s", // 269
    "Chyba - nepodarilo sa pripojiť!", // 270
    "Pripojený klient: %s", // 271
    "Vyučujúci: %s", // 272
    "Klient nie je pripojený!", // 273
    "Kniha: ", // 274
    "Strana %d", // 275
    "Sťahovanie strany %d", // 276
    "Sťahovaný súbor nie je možné uložiť na disk!", // 277
    "Prejsť na stranu", // 278
    "Strana", // 279
    "<žiadna>", // 280
    "strana", // 281
    "Aktívna kniha: %s", // 282
    "St&r. %d", // 283
    "Sťahovanie audia %s", // 284
    "Štart", // 285
    "Užívateľ nebol nájdený.", // 286
    "", // 287
    "", // 288
    "", // 289
    "&Nová objednávka", // 290
    "Detail užívateľa", // 291
    "Dátum objednania", // 292
    "Variabilný symbol", // 293
    "Popis", // 294
    "Suma", // 295
    "Objednané hodiny", // 296
    "Status", // 297
    "Dátum zmeny statusu", // 298
    "Meno klienta", // 299
    "ID klienta", // 300
    "Kto zmenil status", // 301
    "", // 302
    "", // 303
    "", // 304
    "", // 305
    "Meno musí byť vyplnené", // 306
    "Priezvisko musí byť vyplnené", // 307
    "E-mail musí byť vyplnený", // 308
    "Skype meno musí byť vyplnené", // 309
    "Základné údaje", // 310
    "Titul", // 311
    "Meno", // 312
    "Priezvisko", // 313
    "E-mail", // 314
    "Skype meno", // 315
    "Údaje o firme na faktúru", // 316
    "Názov firmy", // 317
    "IČO", // 318
    "DIČ", // 319
    "Adresa uvedená na faktúre", // 320
    "Meno / Názov adresy", // 321
    "Ulica / č.", // 322
    "PSČ", // 323
    "Mesto", // 324
    "Krajina", // 325
    "Adresa, kam zasielať faktúry", // 326
    "Doplňujúce údaje", // 327
    "Kontaktný telefón", // 328
    "Ďalší telefón", // 329
    "Číslo účtu", // 330
    "Kód banky", // 331
    "Dátum narodenia", // 332
    "", // 333
    "", // 334
    "Voľné termíny", // 335
    "Nepotvrdené", // 336
    "Potvrdené", // 337
    "Prebehnuté alebo zrušené", // 338
    "Kombinované", // 339
    "Zobrazovať termíny podľa filtra", // 340
    "Stav objednaných hodín", // 341
    "Zaplatené hodiny:", // 342
    "Prebehnuté hodiny:", // 343
    "Povolený debet hodín:", // 344
    "Voľné hodiny:", // 345
    "Rezervované nepotvrdené:", // 346
    "Rezervované potvrdené:", // 347
    "Voľné na rezerváciu:", // 348
    "&Rezervovať hodinu", // 349
    "&Zrušiť hodinu", // 350
    "Zadať termíny...", // 351
    "Zmeniť status", // 352
    "Detail klienta", // 353
    "História", // 354
    "Naozaj rezervovať hodinu v termíne %s?", // 355
    "Hodina bola úspešne zarezervovaná.", // 356
    "Rezervácia hodiny bola úspešne zrušená.", // 357
    "Čas výučby", // 358
    "Hodín", // 359
    "Vyučujúci", // 360
    "Klient", // 361
    "Status", // 362
    "Dátum zmeny statusu", // 363
    "Kto zmenil status", // 364
    "Naozaj zrušiť rezerváciu hodiny v termíne %s?", // 365
    "Vypršané hodiny:", // 366
    "Dátum vypršania hodín:", // 367
    "", // 368
    "", // 369
    "Dátum prihlásenia", // 370
    "IP adresa", // 371
    "Verzia programu", // 372
    "Verzia kníh", // 373
    "Verzia Skype", // 374
    "Jazyk programu", // 375
    "Operačný systém", // 376
    "SSL", // 377
    "Proxy", // 378
    "Polling", // 379
    "Dátum odoslania", // 380
    "Typ", // 381
    "Kam bol e-mail odoslaný", // 382
    "Predmet e-mailu", // 383
    "Odoslaný", // 384
    "Iniciátor e-mailu", // 385
    "Jazyk e-mailu", // 386
    "Referencia", // 387
    "", // 388
    "", // 389
    "Priezvisko", // 390
    "Meno", // 391
    "Titul", // 392
    "Typ užívateľa", // 393
    "Aktívny", // 394
    "Úroveň klienta", // 395
    "E-mail", // 396
    "Skype meno", // 397
    "Vybraný kurz", // 398
    "Vybrané knihy", // 399
    "Prihlasovacie meno", // 400
    "Dátum posl. prihlásenia", // 401
    "Jazyk posl. prihlásenia", // 402
    "IP adresa posl. prihlásenia", // 403
    "Dátum registrácie", // 404
    "Výsledok testu", // 405
    "Debet hodín", // 406
    "Hodiny objednané", // 407
    "Hodiny zaplatené", // 408
    "Suma objednaná", // 409
    "Suma zaplatená", // 410
    "Hodiny odučené", // 411
    "Hodiny zameškané", // 412
    "Hodiny potvrdené", // 413
    "Hodiny nepotvrdené", // 414
    "IČO", // 415
    "DIČ", // 416
    "Firma", // 417
    "Názov adresy fakturácie", // 418
    "Ulica fakturácie", // 419
    "Mesto fakturácie", // 420
    "PSČ fakturácie", // 421
    "Krajina fakturácie", // 422
    "Názov adresy korešpondencie", // 423
    "Ulica korešpondencie", // 424
    "Mesto korešpondencie", // 425
    "PSČ korešpondencie", // 426
    "Krajina korešpondencie", // 427
    "Telefón1", // 428
    "Telefón2", // 429
    "Bankový účet", // 430
    "Kód banky", // 431
    "Poznámka manažéra", // 432
    "Hodiny vypršané", // 433
    "Hodiny voľné", // 434
    "Dátum vypršania hodín", // 435
    "", // 436
    "", // 437
    "", // 438
    "", // 439
    "", // 440
    "", // 441
    "", // 442
    "", // 443
    "", // 444
    "", // 445
    "", // 446
    "", // 447
    "", // 448
    "", // 449
};
// clang-format on

// Too many initializers fail to compile; too few would leave null pointers at the end.
static_assert(std::size(CommonSk) == CommonCount);
static_assert(std::size(AppSk) == AppCount);
static_assert(CommonSk[CommonCount - 1] != nullptr);
static_assert(AppSk[AppCount - 1] != nullptr);

} // namespace texttables
