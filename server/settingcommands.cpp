// Connection settings: "##SETOPTIONS" and "##SETOUTPUTMASK". Both answer with
// what they took, so the operator sees how the request was understood.

#include "commandhandlers.h"

namespace {

// Options with a meaning to this server, and their allowed range.
struct NumericOption
{
    const char *key;
    int SessionState::*member;
    int lowest;
    int highest;
};

constexpr NumericOption kNumericOptions[] = {
    {"MAXHITS", &SessionState::maxHits, 1, 100000},
    {"FARESPERREQUEST", &SessionState::faresPerBlock, 1, 1000},
};

// Applies an option; false when its value is out of range or no number.
bool Apply(const QByteArray &key, const QByteArray &value, SessionState &session)
{
    for (const NumericOption &option : kNumericOptions) {
        if (key.compare(option.key, Qt::CaseInsensitive) != 0)
            continue;
        const std::optional<int> number = ParseInt(value);
        if (!number || *number < option.lowest || *number > option.highest)
            return false;
        session.*option.member = *number;
    }
    return true;
}

} // namespace

CStringArray SetOptions(const RequestFields &request, SessionState &session)
{
    CStringArray taken;
    CStringArray ignored;
    for (const QByteArray &field : request.parameters()) {
        const QByteArray key = KeyOf(field).trimmed().toUpper();
        const QByteArray value = ValueOf(field);
        if (key.isEmpty() || !Apply(key, value, session)) {
            ignored.append("IGNORED=" + Shown(field));
            continue;
        }
        session.options.removeIf([&](const auto &option) { return option.first == key; });
        session.options.append({key, value});
        taken.append(key + '=' + value);
    }
    return CStringArray{"OPTIONS=" + QByteArray::number(taken.size())} + taken + ignored;
}

CStringArray SetOutputMask(const RequestFields &request, SessionState &session)
{
    session.maskType = request.valueOr("MASKTYPE", "0").trimmed();
    session.outputMask.clear();
    qsizetype inbound = 0;
    for (const QByteArray &field : request.parameters()) {
        if (!KeyOf(field).isEmpty())
            continue;
        session.outputMask.append(field.toUpper());
        if (field.startsWith("IN_"))
            ++inbound;
    }
    return {"MASKTYPE=" + Shown(session.maskType),
            "FIELDS=" + QByteArray::number(session.outputMask.size() - inbound),
            "INBOUNDFIELDS=" + QByteArray::number(inbound)};
}
