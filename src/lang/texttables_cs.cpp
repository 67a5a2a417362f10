// Czech texts of the interface: the common table (reusable components: grid frame, find
// and filter dialogs, output, printing, preview) and the application table (the program's own
// screens and messages). Entry N of a table is at index N - 1; unused entries are "".
#include "texttables.h"

#include <iterator>

namespace texttables {

// clang-format off
constexpr const char *CommonCs[CommonCount] = {
    "&OK", // 1
    "&Zrušit", // 2
    "&Použít", // 3
    "&Hledat", // 4
    "&Filtr", // 5
    "&Výstup", // 6
    "&Definovat výstup...", // 7
    "Třídit podle", // 8
    "Hledat...", // 9
    "Uložit nastavení sloupců", // 10
    "Načíst standardní nastavení sloupců", // 11
    "Přejete si také smazat dříve uložené nastavení sloupců?", // 12
    "Esc-Zavřít", // 13
    "Ukončit", // 14
    "&Zavřít", // 15
    "%s není platná celočíselná hodnota", // 16
    "povoleno", // 17
    "zakázáno", // 18
    "Editovaný záznam není uložen. Chcete ho uložit?", // 19
    "'%s' není platná hodnota reálného čísla pro položku '%s'", // 20
    "Opravdu smazat záznam?", // 21
    "Ctrl+PgUp-Na začátek;PgUp-Předchozí;PgDn-Následující;Ctrl+PgDn-Na konec;Insert-Nový záznam;Alt+Delete-Smazat záznam;Ctrl+Enter-Editovat záznam;F2-Uložit;Esc-Neuložit;F5-Obnovit", // 22
    "Home-Na začátek;Předchozí;Následující;End-Na konec;Insert-Nový záznam;Delete-Smazat záznam;Ctrl+Enter-Editovat záznam;F2-Uložit;Esc-Neuložit;F5-Obnovit", // 23
    "Hledání", // 24
    "Hledaná hodnota nebyla nalezena přesně!", // 25
    "F3-Hledání", // 26
    "F8-Výstup pro tisk/export", // 27
    "&Seznam", // 28
    "&Detail", // 29
    "Výstup pro tisk a export", // 30
    "Položky ve výstupu", // 31
    "Parametry položky pro výstup", // 32
    "Sčítat položku", // 33
    "Šablony", // 34
    "Označit všechny", // 35
    "Zrušit označení všech", // 36
    "Posunout nahoru", // 37
    "Posunout dolů", // 38
    "Vybrat šablonu", // 39
    "Uložit šablonu", // 40
    "Smazat šablonu", // 41
    "Export do CSV souboru", // 42
    "csv soubory", // 43
    "Export do Excelu", // 44
    "xls soubory", // 45
    "Typ výstupu", // 46
    "Preview pro tisk a export do PDF;Přímý export do PDF dokumentu;Export do HTML souboru;Export do Excelu;Export do CSV souboru", // 47
    "Parametry pro výstup", // 48
    "Exportovat hlavičku položek", // 49
    "Vypsat datum a čas vytvoření výpisu", // 50
    "Vypsat hodnoty filtru", // 51
    "Vypsat počet záznamů", // 52
    "Orientace papíru", // 53
    "Implicitní měnitelná;Na výšku;Na šířku", // 54
    "&Generovat", // 55
    "Nadpis", // 56
    "Výpis", // 57
    "Strana", // 58
    "Výpis vytvořen: %s", // 59
    "Součty:", // 60
    "Počet záznamů: ", // 61
    "Export do Excelu", // 62
    "Probíhá exportování záznamů...", // 63
    "Vyexportováno %d záznamů", // 64
    "Export do Excelu byl úspěšně dokončen, přejete si dokument otevřít?", // 65
    "Export do CSV souboru", // 66
    "Probíhá exportování záznamů...", // 67
    "Export do CSV dokumentu byl úspěšně dokončen, přejete si dokument otevřít?", // 68
    "Uložit šablonu", // 69
    "Název šablony:", // 70
    "Šablona s názvem \"%s\" již existuje. Přejete si ji přepsat?", // 71
    "Smazat šablonu \"%s\"?", // 72
    "Hledání", // 73
    "&Hledat", // 74
    "Hledat &přesně", // 75
    "'%s' není platná hodnota reálného čísla", // 76
    "'%s' není platné datum", // 77
    "'%s' není platný čas", // 78
    "'%s' není platné datum a čas", // 79
    "Tisk dokumentu", // 80
    "Zvolená tiskárna", // 81
    "Rozsah tisku", // 82
    "Všechno", // 83
    "Výběr", // 84
    "Strany", // 85
    "Výběr:", // 86
    "Počet kopií", // 87
    "Od:", // 88
    "Do:", // 89
    "(žádná)", // 90
    "Preview", // 91
    "Ctrl+Home-Na začátek", // 92
    "Ctrl+PgUp-Předchozí", // 93
    "Ctrl+PgDn-Následující", // 94
    "Ctrl+End-Poslední", // 95
    "F3-Přejít na stranu", // 96
    "- Zmenšit", // 97
    "Alt+O-Zoom", // 98
    "+ Zvětšit", // 99
    "F6-Pravítka", // 100
    "F7-Nastavení tisku", // 101
    "F8-Tisk", // 102
    "&Tisk", // 103
    "F9-Export do PDF", // 104
    "&Optimální", // 105
    "&Vlastní...", // 106
    "Export do PDF dokumentu", // 107
    "PDF dokument", // 108
    "Export byl úspěšně dokončen, přejete si ho otevřít ve vašem PDF prohlížeči?", // 109
    "Tisk dokumentu", // 110
    "Příprava pro tisk...", // 111
    "Vytváří se strana %p", // 112
    "Posílá se na tiskárnu...", // 113
    "Export do PDF", // 114
    "Příprava pro vytvoření PDF...", // 115
    "Dokončuje se vytváření PDF...", // 116
    "Preview - %s", // 117
    "Vytváření preview", // 118
    "Příprava pro vytvoření preview...", // 119
    "", // 120
    "&Strana: %d/%d", // 121
    "Z&oom: %d%% ", // 122
    "Přejít na stranu", // 123
    "Strana (%d - %d):", // 124
    "Zoom", // 125
    "Zoom (10% - 200%):", // 126
    "Vytváření PDF dokumentu...", // 127
    "", // 128
    "", // 129
    "Všichni", // 130
    "<Vše>", // 131
    "<Není vybráno>", // 132
    "Datum Od je větší než datum Do", // 133
    "", // 134
    "", // 135
    "", // 136
    "", // 137
    "", // 138
    "", // 139
    "Export do HTML souboru", // 140
    "html soubory", // 141
    "Export do HTML dokumentu byl úspěšně dokončen, přejete si dokument otevřít?", // 142
    "Importovat šablonu", // 143
    "Exportovat šablonu", // 144
    "Neplatný soubor šablony", // 145
    "Chyba při exportu šablony", // 146
    "", // 147
    "", // 148
    "", // 149
    "Třídit vzestupně", // 150
    "Třídit sestupně", // 151
    "Třídění a nastavení sloupců", // 152
    "Editor pořadí sloupců...", // 153
    "Zjistit počet záznamů...", // 154
    "Celkový počet záznamů: %d", // 155
    "", // 156
    "", // 157
    "", // 158
    "", // 159
    "Editor pořadí sloupců", // 160
    "&Načíst standardní nastavení", // 161
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

constexpr const char *AppCs[AppCount] = {
    "Přidat nové termíny", // 1
    "Datum", // 2
    "Čas", // 3
    "&Vynulovat", // 4
    "Zvolené datum je v minulosti", // 5
    "Nebyl vybrán žádný čas", // 6
    "Termín %s je již obsazen", // 7
    "", // 8
    "", // 9
    "Objednáno", // 10
    "Status", // 11
    "Popis", // 12
    "Částka", // 13
    "Počet hodin", // 14
    "Datum změny", // 15
    "Původní status", // 16
    "Nový status", // 17
    "Kdo změnil status", // 18
    "Editace objednávky", // 19
    "", // 20
    "", // 21
    "", // 22
    "", // 23
    "", // 24
    "Nová objednávka", // 25
    "Typ objednávky", // 26
    "Počet hodin", // 27
    "Částka", // 28
    "Popis", // 29
    "Objednávka je závazná, zrušit ji lze pouze po vzájemné domluvě.", // 30
    "Nebyl vybrán žádný typ nabídky", // 31
    "Přejete si závazně odeslat objednávku?", // 32
    "Objednávka nebyla odeslána.", // 33
    "", // 34
    "", // 35
    "", // 36
    "", // 37
    "", // 38
    "", // 39
    "Editace uživatele", // 40
    "Typ uživatele", // 41
    "Přihlašovací jméno", // 42
    "Debet hodin", // 43
    "Úroveň klienta", // 44
    "Kurz", // 45
    "Výsledek testu", // 46
    "Seznam viditelných učebnic", // 47
    "Účet uživatele je aktivní", // 48
    "Reset hesla", // 49
    "Poznámka manažera o uživateli", // 50
    "Poznámky o výuce", // 51
    "Statistika klienta", // 52
    "Poznámka o výuce:", // 53
    "Datum zápisu", // 54
    "Zapsal(a)", // 55
    "Celkem objednáno:", // 56
    "Celkem zaplaceno:", // 57
    "Celkem zbývá zaplatit:", // 58
    "Hodiny", // 59
    "Částka", // 60
    "Odučeno:", // 61
    "Zameškáno hodin:", // 62
    "Celkem čerpáno:", // 63
    "Celkem nevyčerpáno:", // 64
    "Z toho rezervováno:", // 65
    "Z toho nepotvrzeno:", // 66
    "Z toho potvrzeno:", // 67
    "Aktualizace statistik", // 68
    "Heslo uživatele bude nastaveno na prázdné. Opravdu pokračovat?", // 69
    "Heslo bylo úspěšně změněno. Doporučuje se, aby si uživatel heslo co nejdříve změnil.", // 70
    "Vypršelo:", // 71
    "", // 72
    "", // 73
    "", // 74
    "", // 75
    "", // 76
    "", // 77
    "", // 78
    "", // 79
    "Úvod - test", // 80
    "< &Zpět", // 81
    "&Další >", // 82
    "Příště už toto okno nezobrazovat", // 83
    "Test - strana 1/4", // 84
    "Test - strana 2/4", // 85
    "Test - strana 3/4", // 86
    "Test - strana 4/4", // 87
    "Nyní budou Vaše odpovědi odeslány na server. Pokračovat?", // 88
    "Odpovědi byly úspěšně odeslány.", // 89
    "&Dokončit", // 90
    "Opravdu si přejete test nedokončit?", // 91
    "&Test >", // 92
    "", // 93
    "", // 94
    "", // 95
    "", // 96
    "", // 97
    "", // 98
    "", // 99
    "Filtr - Objednávky", // 100
    "Statusy", // 101
    "Klienti", // 102
    "Zobrazovat pouze nenulové částky", // 103
    "Objednáno od", // 104
    "Objednáno do", // 105
    "", // 106
    "", // 107
    "", // 108
    "", // 109
    "Statusy", // 110
    "Vyučující", // 111
    "Klienti", // 112
    "Datum výuky od", // 113
    "Datum výuky do", // 114
    "Filtr - Rozvrh hodin", // 115
    "", // 116
    "", // 117
    "", // 118
    "", // 119
    "Filtr - Uživatelé", // 120
    "Typ uživatele", // 121
    "Úroveň klienta", // 122
    "Zobrazit pouze aktivní uživatele", // 123
    "Poslední přihlášení od", // 124
    "Poslední přihlášení do", // 125
    "Zobrazit pouze klienty s dluhem", // 126
    "", // 127
    "", // 128
    "", // 129
    "Historie změn statusů u termínu %s", // 130
    "Datum změny", // 131
    "Kdo status změnil", // 132
    "Vyučující", // 133
    "Púvodní status", // 134
    "Nový status", // 135
    "Původní klient", // 136
    "Nový klient", // 137
    "", // 138
    "", // 139
    "", // 140
    "Chyba - neplatné přihlašovací jméno, heslo nebo session.", // 141
    "Chyba během komunikace se serverem.", // 142
    "Komunikace se serverem byla přerušena.", // 143
    "Operace neproběhla úspěšně.", // 144
    "Server vrátil chybu číslo %d!", // 145
    "Komunikace se serverem", // 146
    "Přerušit", // 147
    "Připojování k serveru...", // 148
    "Připojeno", // 149
    "Přenos dat (%d kB)", // 150
    "Přenos dat : %d%% hotovo (%d kB z %d kB)", // 151
    "Rychlost: %s kB/s, zbývá: %s sekund", // 152
    "Data přenesena, čeká se na odezvu...", // 153
    "", // 154
    "", // 155
    "", // 156
    "", // 157
    "", // 158
    "", // 159
    "Přihlášený uživatel:", // 160
    "Datum posledního přihlášení:", // 161
    "Program byl úspěšně zaktualizován.", // 162
    "Připojen", // 163
    "Odpojen", // 164
    "Nemáte zadané přihlašovací jméno a heslo. Zadáte je pomocí kliknutí na ikonu \"Nastavení\".", // 165
    "Byla nalezena nová verze programu %s %s. Bez aktualizace nebude možné se připojit. Provést nyní aktualizaci?", // 166
    "Stahování aktualizace programu", // 167
    "Nelze zapsat aktualizační soubor na disk", // 168
    "Byla zaktualizována knihovna učebnic. Znovu se prosím připojte.", // 169
    "Upozornění - čas tohoto počítače se liší o více než hodinu od času serveru!", // 170
    "Všechny operace jsou prováděny s ohledem na čas serveru, který je %s.", // 171
    "", // 172
    "", // 173
    "", // 174
    "", // 175
    "", // 176
    "", // 177
    "", // 178
    "", // 179
    "Nastavení připojení", // 180
    "Přihlašovací jméno", // 181
    "Heslo", // 182
    "Jazyk prostředí programu", // 183
    "Automaticky se připojovat při spuštění", // 184
    "Použít šifrovanou komunikaci (HTTPS)", // 185
    "&Nastavení Proxy...", // 186
    "Změna nastavení jazyka se projeví až po restartu programu.", // 187
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
    "Zadejte staré heslo", // 200
    "Nové heslo", // 201
    "Zopakujte nové heslo", // 202
    "Staré heslo nesouhlasí!", // 203
    "Nová hesla nejsou stejná!", // 204
    "Změna hesla", // 205
    "", // 206
    "", // 207
    "", // 208
    "", // 209
    "Profil uživatele", // 210
    "Změnit přihlašovací heslo...", // 211
    "Heslo bylo úspěšně změněno.", // 212
    "", // 213
    "", // 214
    "", // 215
    "Nastavení HTTP proxy", // 216
    "Připojení přes proxy server", // 217
    "&Detekovat...", // 218
    "Proxy server:", // 219
    "Port:", // 220
    "Používat přihlašování", // 221
    "Jméno:", // 222
    "Heslo:", // 223
    "Pro online TCP/IP komunikaci použít port", // 224
    "Stejný jako pro připojení (většinou nefunguje s proxy servery);Alternativní SSL komunikace přes port 7443;Alternativní nezabezpečená komunikace přes port 7080", // 225
    "Bylo nalezeno toto připojení přes proxy server: %s", // 226
    "Žádné připojení přes proxy server nebylo nalezeno.", // 227
    "", // 228
    "", // 229
    "Výběr vyučujícího", // 230
    "Váš vyučující nebyl automaticky nalezen.", // 231
    "Vyberte si ze seznamu vyučujícího, ke kterému se chcete připojit:", // 232
    "", // 233
    "", // 234
    "Změna statusu není standartní, opravdu si přejete uložit objednávku?", // 235
    "Byl změněn status objednávky, přejete si poslat e-mail klientovi o změně?", // 236
    "E-mail byl úspěšně odeslán.", // 237
    "Lze smazat pouze volný termín", // 238
    "Nemáte dostatečná oprávnění změnit tento zápis.", // 239
    "Předchozí strana", // 240
    "Následující strana", // 241
    "Přejít na stranu", // 242
    "K&niha >>", // 243
    "K&apitola >>", // 244
    "Spustit multimediální soubor", // 245
    "Zastavit soubor a přetočit na začátek", // 246
    "Vybrat multimediální soubor", // 247
    "A&udio >>", // 248
    "Synchro", // 249
    "&Klient", // 250
    "Poslat text - Ctrl+Enter", // 251
    "Ode&slat text", // 252
    "&Připojit se", // 253
    "Znovu nahrát stránku", // 254
    "Vymazat", // 255
    "Výuka je on-line", // 256
    "Výuka je off-line", // 257
    "&Být off-line", // 258
    "&Být on-line", // 259
    "&Odpojit se", // 260
    "&Připojit se", // 261
    "Seznam online vyučujících je prázdný, nelze se připojit!", // 262
    "On-line komunikace", // 263
    "Spouštění on-line procesu...", // 264
    "Probíhá připojování k vyučujícímu %s", // 265
    "Připojuje se k %s", // 266
    "Připojen k %s", // 267
    "Vyučující není on-line", // 268
    "Odpojen - %s", // 269
    "Chyba - nepodařilo se připojit!", // 270
    "Připojen klient: %s", // 271
    "Vyučující: %s", // 272
    "Klient není připojen!", // 273
    "Kniha: ", // 274
    "Strana %d", // 275
    "Stahování strany %d", // 276
    "Stahovaný soubor nelze uložit na disk!", // 277
    "Přejít na stranu", // 278
    "Strana", // 279
    "<žádná>", // 280
    "strana", // 281
    "Aktivní kniha: %s", // 282
    "St&r. %d", // 283
    "Stahování audia %s", // 284
    "Start", // 285
    "Uživatel nebyl nalezen.", // 286
    "", // 287
    "", // 288
    "", // 289
    "&Nová objednávka", // 290
    "Detail uživatele", // 291
    "Datum objednání", // 292
    "Variabilní symbol", // 293
    "Popis", // 294
    "Částka", // 295
    "Objednáno hodin", // 296
    "Status", // 297
    "Datum změny statusu", // 298
    "Jméno klienta", // 299
    "ID klienta", // 300
    "Kdo změnil status", // 301
    "", // 302
    "", // 303
    "", // 304
    "", // 305
    "Jméno musí být vyplněné", // 306
    "Příjmení musí být vyplněné", // 307
    "E-mail musí být vyplněný", // 308
    "Skype jméno musí být vyplněné", // 309
    "Základní údaje", // 310
    "Titul", // 311
    "Jméno", // 312
    "Příjmení", // 313
    "E-mail", // 314
    "Skype jméno", // 315
    "Údaje o firmě na fakturu", // 316
    "Název firmy", // 317
    "IČ", // 318
    "DIČ", // 319
    "Adresa uvedená na faktuře", // 320
    "Jméno / Název adresy", // 321
    "Ulice / čp.", // 322
    "PSČ", // 323
    "Město", // 324
    "Země", // 325
    "Adresa, kam zasílat faktury", // 326
    "Doplňující údaje", // 327
    "Kontaktní telefon", // 328
    "Další telefon", // 329
    "Číslo účtu", // 330
    "Kód banky", // 331
    "Datum narození", // 332
    "", // 333
    "", // 334
    "Volné termíny", // 335
    "Nepotvrzené", // 336
    "Potvrzené", // 337
    "Proběhlé nebo zrušené", // 338
    "Kombinované", // 339
    "Zobrazovat termíny podle filtru", // 340
    "Stav objednaných hodin", // 341
    "Zaplacené hodiny:", // 342
    "Proběhlé hodiny:", // 343
    "Povolený debet hodin:", // 344
    "Volné hodiny:", // 345
    "Rezervované nepotvrzené:", // 346
    "Rezervované potvrzené:", // 347
    "Volné k rezervaci:", // 348
    "&Rezervovat hodinu", // 349
    "&Zrušit hodinu", // 350
    "Zadat termíny...", // 351
    "Změnit status", // 352
    "Detail klienta", // 353
    "Historie", // 354
    "Opravdu rezervovat hodinu v termínu %s?", // 355
    "Hodina byla úspěšně zarezervována.", // 356
    "Rezervace hodiny byla úspěšně zrušena.", // 357
    "Čas výuky", // 358
    "Hodin", // 359
    "Vyučující", // 360
    "Klient", // 361
    "Status", // 362
    "Datum změny statusu", // 363
    "Kdo změnil status", // 364
    "Opravdu zrušit rezervaci hodiny v termínu %s?", // 365
    "Vypršelo hodin:", // 366
    "Datum vypršení hodin:", // 367
    "", // 368
    "", // 369
    "Datum přihlášení", // 370
    "IP adresa", // 371
    "Verze programu", // 372
    "Verze knih", // 373
    "Verze Skype", // 374
    "Jazyk programu", // 375
    "Operační systém", // 376
    "SSL", // 377
    "Proxy", // 378
    "Polling", // 379
    "Datum odeslání", // 380
    "Typ", // 381
    "Kam byl e-mail odeslán", // 382
    "Předmět e-mailu", // 383
    "Odeslán", // 384
    "Iniciátor e-mailu", // 385
    "Jazyk e-mailu", // 386
    "Reference", // 387
    "", // 388
    "", // 389
    "Příjmení", // 390
    "Jméno", // 391
    "Titul", // 392
    "Typ uživatele", // 393
    "Aktivní", // 394
    "Úroveň klienta", // 395
    "E-mail", // 396
    "Skype jméno", // 397
    "Vybraný kurz", // 398
    "Vybrané knihy", // 399
    "Přihlašovací jméno", // 400
    "Datum posl. přihlášení", // 401
    "Jazyk posl. přihlášení", // 402
    "IP adresa posl. přihlášení", // 403
    "Datum registrace", // 404
    "Výsledek testu", // 405
    "Debet hodin", // 406
    "Hodin objednáno", // 407
    "Hodin placeno", // 408
    "Částka objednána", // 409
    "Částka placena", // 410
    "Hodin odučeno", // 411
    "Hodin zameškáno", // 412
    "Hodin potvrzeno", // 413
    "Hodin nepotvrzeno", // 414
    "IČ", // 415
    "DIČ", // 416
    "Firma", // 417
    "Název adresy fakturace", // 418
    "Ulice fakturace", // 419
    "Město fakturace", // 420
    "PSČ fakturace", // 421
    "Země fakturace", // 422
    "Název adresy korespondence", // 423
    "Ulice korespondence", // 424
    "Město korespondence", // 425
    "PSČ korespondence", // 426
    "Země korespondence", // 427
    "Telefon1", // 428
    "Telefon2", // 429
    "Bankovní účet", // 430
    "Kód banky", // 431
    "Poznámka manažera", // 432
    "Hodin vypršelo", // 433
    "Hodin volných", // 434
    "Datum vypršení hodin", // 435
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
static_assert(std::size(CommonCs) == CommonCount);
static_assert(std::size(AppCs) == AppCount);
static_assert(CommonCs[CommonCount - 1] != nullptr);
static_assert(AppCs[AppCount - 1] != nullptr);

} // namespace texttables
