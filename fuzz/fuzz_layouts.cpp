// The grid's column layouts and the settings file, both written by earlier runs of the
// program (or edited by hand) and read back at start. The first byte picks the reader:
//  - a layout item of the configuration store (hexadecimal text of the versioned bytes) and
//    the layout bytes themselves: a layout that reads writes the same bytes again;
//  - the settings file: what is read and saved group by group reads back the same, and a
//    stored password that unscrambles scrambles to a form that unscrambles to it again.
#include "base/locations.h"
#include "errors/apperror.h"
#include "fuzzcheck.h"
#include "grid/columnlayout.h"
#include "net/settings/cfghandler.h"
#include "net/settings/scramble.h"
#include "net/settings/settings.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

namespace {

QTemporaryDir &scratch() {
    static QTemporaryDir dir;
    return dir;
}

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

void checkLayout(QByteArrayView bytes) {
    const std::optional<TColumnList> columns = DeserializeColumns(bytes);
    if (!columns)
        return;
    const QByteArray written = SerializeColumns(*columns);
    const std::optional<TColumnList> again = DeserializeColumns(written);
    FUZZ_CHECK(again && *again == *columns);
    FUZZ_CHECK(SerializeColumns(*again) == written);
}

void layouts(const QByteArray &bytes) {
    static TFileCfgHandler store(scratch().filePath(QStringLiteral("store")));
    const QString key = QStringLiteral("fuzz");
    writeFile(store.itemPath(QStringLiteral("layout"), QString(), key), bytes);
    QString stored;
    store.Read(QStringLiteral("layout"), QString(), stored, key);
    if (const std::optional<QByteArray> fromHex = LayoutFromHex(stored)) {
        FUZZ_CHECK(LayoutFromHex(LayoutToHex(*fromHex)) == fromHex);
        checkLayout(*fromHex);
    }
    checkLayout(bytes);
}

QStringList shown(const AppSettings &s) {
    return {QString::number(s.useSsl),      QString::number(s.autoConnect),
            s.loginName,                    s.loginPass,
            QString::number(s.langId),      QString::number(s.proxyUse),
            s.proxyServer,                  s.proxyPort,
            QString::number(s.proxyAuthentication), s.proxyName,
            s.proxyPass,                    QString::number(s.onlinePortType),
            QString::number(s.lastUsedBook), QString::number(s.lastUsedPage),
            QString::number(s.runWizardOnStartup), s.mainWindow,
            QString::number(s.tlsVerify),   s.caFile,
            QString::number(s.relayAutoReconnect)};
}

void settings(const QByteArray &bytes) {
    static const bool located =
        (InitLocations(scratch().filePath(QStringLiteral("program/tellavo"))), EnsureDataFolder());
    FUZZ_CHECK(located);
    writeFile(AppLocations().settingsFile, bytes);
    LoadSettings();
    const QStringList read = shown(Settings());
    for (int group = sgConnection; group <= sgMainWindow; ++group) {
        try {
            SaveSettings(group);
        } catch (const AppError &) {
            return; // values the file cannot hold are refused, the file stays as it was
        }
    }
    LoadSettings();
    FUZZ_CHECK(shown(Settings()) == read);
    (void)CentralServerEndpoint();
    const QByteArray key = bytes.left(bytes.indexOf('\n') + 1);
    if (const auto text = UnscrambleBytes(bytes, key); text && text->size() < 256 && key.size() < 256)
        FUZZ_CHECK(UnscrambleBytes(ScrambleBytes(*text, key, 0x5a), key) == text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data) + 1, qsizetype(size) - 1);
    if (data[0] & 1)
        settings(bytes);
    else
        layouts(bytes);
    return 0;
}
