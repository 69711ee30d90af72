// The settings reader on arbitrary file contents: every value read is the
// stored one when it is valid and the default otherwise, and what the
// program stores reads back identically.

#include "form/settingsstore.h"
#include "fuzzcheck.h"
#include "session/wiretext.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <charconv>
#include <climits>
#include <cstdint>
#include <optional>

namespace {

struct Snapshot
{
    QList<QByteArray> texts;
    QList<int> ints;
    bool operator==(const Snapshot &) const = default;
};

// In the order Read() lists the values.
const char *const kTextKeys[] = {
    "ServerIP",  "Departure", "Arrival",  "DepDate",  "OJDeparture", "OJArrival", "RTDepDate",
    "Tolerance", "Airline1",  "Airline2", "Airline3", "Stops1",      "Stops2",    "Stops3",
    "Supplier",  "Currency",  "UseCRS",   "Message0", "Message1",    "Message2",  "Message3",
    "Message4",  "Message5",  "Message6", "Message7", "Message8",    "Message9"};
const char *const kIntKeys[] = {"Port",       "Economy",   "Business", "First",
                                "Roundtrip",  "TT_Normal", "TT_Youth", "TT_Senior",
                                "TT_Partner", "TT_Ethnic", "TT_Agent", "RecordsetsOnly"};

Snapshot Read(QSettings &store)
{
    SavedCopies saved;
    QueryForm f;
    ReadSavedCopies(store, saved);
    ReadWindowSettings(store, f);
    const CStringArray history = ReadMessageHistory(store);
    FUZZ_CHECK(history.size() == 10);
    Snapshot s;
    s.texts = {saved.m_strSavedServerIP,
               saved.m_strSavedDeparture,
               saved.m_strSavedArrival,
               saved.m_strSavedDepDate,
               f.m_strOJDeparture,
               f.m_strOJArrival,
               f.m_strRTDepDate,
               f.m_strTolerance,
               f.m_strAirline1,
               f.m_strAirline2,
               f.m_strAirline3,
               f.m_strStops1,
               f.m_strStops2,
               f.m_strStops3,
               f.m_strSupplier,
               f.m_strCurrency,
               f.m_strUseCRS};
    s.texts += history;
    s.ints = {saved.m_nSavedPort, f.m_bEconomy,  f.m_bBusiness, f.m_bFirst,
              f.m_nTripType,      f.m_bTTNormal, f.m_bTTYouth,  f.m_bTTSenior,
              f.m_bTTPartner,     f.m_bTTEthnic, f.m_bTTAgent,  f.m_nResultMode};
    return s;
}

void Write(QSettings &store, const Snapshot &s)
{
    SavedCopies saved;
    saved.m_nSavedPort = s.ints[0];
    saved.m_strSavedServerIP = s.texts[0];
    saved.m_strSavedDeparture = s.texts[1];
    saved.m_strSavedArrival = s.texts[2];
    saved.m_strSavedDepDate = s.texts[3];
    QueryForm f;
    QByteArray *texts[] = {&f.m_strOJDeparture, &f.m_strOJArrival, &f.m_strRTDepDate,
                           &f.m_strTolerance,   &f.m_strAirline1,  &f.m_strAirline2,
                           &f.m_strAirline3,    &f.m_strStops1,    &f.m_strStops2,
                           &f.m_strStops3,      &f.m_strSupplier,  &f.m_strCurrency,
                           &f.m_strUseCRS};
    for (int i = 0; i < 13; ++i)
        *texts[i] = s.texts[4 + i];
    int *ints[] = {&f.m_bEconomy,  &f.m_bBusiness, &f.m_bFirst,     &f.m_nTripType,
                   &f.m_bTTNormal, &f.m_bTTYouth,  &f.m_bTTSenior,  &f.m_bTTPartner,
                   &f.m_bTTEthnic, &f.m_bTTAgent,  &f.m_nResultMode};
    for (int i = 0; i < 11; ++i)
        *ints[i] = s.ints[1 + i];
    WriteSavedCopies(store, saved);
    WriteWindowSettings(store, f);
    WriteMessageHistory(store, s.texts.mid(17));
    store.sync();
    FUZZ_CHECK(store.status() == QSettings::NoError);
}

QVariant Raw(QSettings &store, const char *key)
{
    return store.value(QStringLiteral("ServerSettings/") + QLatin1StringView(key));
}

// A stored text is taken when it is a string of Windows-1252 characters.
std::optional<QByteArray> ValidText(const QVariant &raw)
{
    if (raw.metaType().id() != QMetaType::QString)
        return std::nullopt;
    const QString text = raw.toString();
    QByteArray bytes;
    for (const QChar c : text) {
        if (!IsWireChar(c))
            return std::nullopt;
    }
    bytes = TextToWire(text);
    FUZZ_CHECK(WireToText(bytes) == text);
    return bytes;
}

// A stored integer is taken when it is one, or a string holding an optional
// sign and decimal digits, blanks around it allowed, within the int range.
std::optional<int> ValidInt(const QVariant &raw)
{
    switch (raw.metaType().id()) {
    case QMetaType::Int:
        return raw.value<int>();
    case QMetaType::UInt: {
        const uint v = raw.value<uint>();
        return v <= uint(INT_MAX) ? std::optional<int>(int(v)) : std::nullopt;
    }
    case QMetaType::LongLong: {
        const qlonglong v = raw.value<qlonglong>();
        return v >= INT_MIN && v <= INT_MAX ? std::optional<int>(int(v)) : std::nullopt;
    }
    case QMetaType::QString:
        break;
    default:
        return std::nullopt;
    }
    const QString text = raw.toString().trimmed();
    for (const QChar c : text) {
        if (c.unicode() > 0x7f)
            return std::nullopt;
    }
    std::string s = text.toStdString();
    if (s.size() > 1 && s[0] == '+' && s[1] != '-')
        s.erase(0, 1);
    int value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return value;
}

QTemporaryDir *g_dir = nullptr;
Snapshot g_defaults;
int g_serial = 0;

QString NextPath(const char *what)
{
    return g_dir->filePath(QStringLiteral("%1-%2.ini").arg(what).arg(++g_serial));
}

void RemoveStore(const QString &path)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral(".lock"));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***argv)
{
    static int qtArgc = 1;
    static char *qtArgv[] = {(*argv)[0], nullptr};
    static QCoreApplication app(qtArgc, qtArgv);
    // Every store write ends in an fsync: on a RAM disk that costs nothing,
    // on a real disk it would cap the run at a few dozen inputs a second.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/fuzz_settings-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/fuzz_settings-XXXXXX"));
    FUZZ_CHECK(dir.isValid());
    g_dir = &dir;
    // The defaults, as the program reads them from a store without keys.
    SetSettingsFileOverride(NextPath("missing"));
    g_defaults = Read(*OpenSettings());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString in = NextPath("in");
    {
        QFile file(in);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly));
        FUZZ_CHECK(file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size));
    }
    SetSettingsFileOverride(in);
    Snapshot first;
    {
        const auto store = OpenSettings();
        first = Read(*store);
        for (int i = 0; i < first.texts.size(); ++i) {
            const std::optional<QByteArray> valid = ValidText(Raw(*store, kTextKeys[i]));
            FUZZ_CHECK(first.texts[i] == valid.value_or(g_defaults.texts[i]));
        }
        for (int i = 0; i < first.ints.size(); ++i) {
            const QVariant raw = Raw(*store, kIntKeys[i]);
            const int expected = ValidInt(raw).value_or(g_defaults.ints[i]);
            if (first.ints[i] != expected)
                std::fprintf(stderr, "%s: read %d, expected %d from %s %s\n", kIntKeys[i],
                             first.ints[i], expected, raw.metaType().name(),
                             qPrintable(raw.toString().toUtf8().toPercentEncoding()));
            FUZZ_CHECK(first.ints[i] == expected);
        }
    }

    const QString out = NextPath("out");
    SetSettingsFileOverride(out);
    Write(*OpenSettings(), first);
    FUZZ_CHECK(Read(*OpenSettings()) == first);

    RemoveStore(in);
    RemoveStore(out);
    return 0;
}
