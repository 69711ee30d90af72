#include "form/settingsstore.h"

#include "session/wiretext.h"

#include <QCoreApplication>
#include <QSettings>
#include <climits>

namespace {

QString g_overridePath;

struct TextKey
{
    const char *key;
    QByteArray QueryForm::*field;
};

struct IntKey
{
    const char *key;
    int defaultValue;
    int QueryForm::*field;
};

// Read and written in this order.
const TextKey kTextKeys[] = {
    {"OJDeparture", &QueryForm::m_strOJDeparture}, {"OJArrival", &QueryForm::m_strOJArrival},
    {"RTDepDate", &QueryForm::m_strRTDepDate},     {"Tolerance", &QueryForm::m_strTolerance},
    {"Airline1", &QueryForm::m_strAirline1},       {"Airline2", &QueryForm::m_strAirline2},
    {"Airline3", &QueryForm::m_strAirline3},       {"Stops1", &QueryForm::m_strStops1},
    {"Stops2", &QueryForm::m_strStops2},           {"Stops3", &QueryForm::m_strStops3},
    {"Supplier", &QueryForm::m_strSupplier},       {"Currency", &QueryForm::m_strCurrency},
    {"UseCRS", &QueryForm::m_strUseCRS},
};

const IntKey kIntKeys[] = {
    {"Economy", 1, &QueryForm::m_bEconomy},          {"Business", 0, &QueryForm::m_bBusiness},
    {"First", 0, &QueryForm::m_bFirst},              {"Roundtrip", 1, &QueryForm::m_nTripType},
    {"TT_Normal", 1, &QueryForm::m_bTTNormal},       {"TT_Youth", 0, &QueryForm::m_bTTYouth},
    {"TT_Senior", 0, &QueryForm::m_bTTSenior},       {"TT_Partner", 0, &QueryForm::m_bTTPartner},
    {"TT_Ethnic", 0, &QueryForm::m_bTTEthnic},       {"TT_Agent", 0, &QueryForm::m_bTTAgent},
    {"RecordsetsOnly", 0, &QueryForm::m_nResultMode},
};

QString SectionKey(const char *key)
{
    return QStringLiteral("%1/%2").arg(QLatin1StringView(SettingsKeys::kSection),
                                       QLatin1StringView(key));
}

QByteArray MessageKey(int i)
{
    return SettingsKeys::kMessagePrefix + QByteArray::number(i);
}

} // namespace

void SetSettingsFileOverride(const QString &path)
{
    g_overridePath = path;
}

std::unique_ptr<QSettings> OpenSettings()
{
    if (!g_overridePath.isEmpty())
        return std::make_unique<QSettings>(g_overridePath, QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QLatin1StringView(SettingsKeys::kOrganisation),
                                       QCoreApplication::applicationName());
}

int ReadProfileInt(QSettings &store, const char *key, int defaultValue)
{
    const QVariant value = store.value(SectionKey(key));
    const auto type = value.metaType().id();
    if (type == QMetaType::Int)
        return value.toInt();
    if (type == QMetaType::UInt || type == QMetaType::LongLong) {
        // QVariant::toInt() would cut a wider number down to its low 32 bits.
        const qlonglong wide = value.toLongLong();
        return wide >= INT_MIN && wide <= INT_MAX ? int(wide) : defaultValue;
    }
    if (type != QMetaType::QString)
        return defaultValue;
    // QString::toInt() stops at a NUL and would read "5\0x" as 5.
    const QString text = value.toString().trimmed();
    if (text.contains(QChar(0)))
        return defaultValue;
    bool ok = false;
    const int parsed = text.toInt(&ok);
    return ok ? parsed : defaultValue;
}

QByteArray ReadProfileText(QSettings &store, const char *key, const QByteArray &defaultValue)
{
    const QVariant value = store.value(SectionKey(key));
    if (value.metaType().id() != QMetaType::QString)
        return defaultValue;
    QByteArray bytes;
    return TextToWire(value.toString(), bytes) ? bytes : defaultValue;
}

void WriteProfileInt(QSettings &store, const char *key, int value)
{
    store.setValue(SectionKey(key), value);
}

void WriteProfileText(QSettings &store, const char *key, const QByteArray &value)
{
    store.setValue(SectionKey(key), WireToText(value));
}

void ReadSavedCopies(QSettings &store, SavedCopies &saved)
{
    using namespace SettingsKeys;
    saved.m_nSavedPort = ReadProfileInt(store, kPort, 7000);
    saved.m_strSavedServerIP = ReadProfileText(store, kServerIP, "127.0.0.1");
    saved.m_strSavedDeparture = ReadProfileText(store, kDeparture, "FRA");
    saved.m_strSavedArrival = ReadProfileText(store, kArrival, "NYC");
    saved.m_strSavedDepDate = ReadProfileText(store, kDepDate, {});
}

void WriteSavedCopies(QSettings &store, const SavedCopies &saved)
{
    using namespace SettingsKeys;
    WriteProfileInt(store, kPort, saved.m_nSavedPort);
    WriteProfileText(store, kServerIP, saved.m_strSavedServerIP);
    WriteProfileText(store, kDeparture, saved.m_strSavedDeparture);
    WriteProfileText(store, kArrival, saved.m_strSavedArrival);
    WriteProfileText(store, kDepDate, saved.m_strSavedDepDate);
    store.sync();
}

void ReadWindowSettings(QSettings &store, QueryForm &form)
{
    for (const TextKey &k : kTextKeys)
        form.*k.field = ReadProfileText(store, k.key, {});
    for (const IntKey &k : kIntKeys)
        form.*k.field = ReadProfileInt(store, k.key, k.defaultValue);
}

void WriteWindowSettings(QSettings &store, const QueryForm &form)
{
    for (const TextKey &k : kTextKeys)
        WriteProfileText(store, k.key, form.*k.field);
    for (const IntKey &k : kIntKeys)
        WriteProfileInt(store, k.key, form.*k.field);
}

CStringArray ReadMessageHistory(QSettings &store)
{
    CStringArray history;
    for (int i = 0; i < SettingsKeys::kHistoryKeys; ++i)
        history.append(ReadProfileText(store, MessageKey(i).constData(), {}));
    return history;
}

void WriteMessageHistory(QSettings &store, const CStringArray &history)
{
    const qsizetype n = history.size();
    for (int k = 0; k < SettingsKeys::kHistoryKeys && k < n; ++k) {
        const int key = SettingsKeys::kHistoryKeys - 1 - k;
        WriteProfileText(store, MessageKey(key).constData(), history.at(n - 1 - k));
    }
    store.sync();
}
