#include "requestfields.h"

RequestFields::RequestFields(const CStringArray &fields)
    : m_command(fields.value(0)), m_parameters(fields.mid(1))
{
}

std::optional<QByteArray> RequestFields::value(QByteArrayView key) const
{
    for (const QByteArray &field : m_parameters) {
        if (KeyOf(field).compare(key, Qt::CaseInsensitive) == 0)
            return ValueOf(field);
    }
    return std::nullopt;
}

QByteArray RequestFields::valueOr(QByteArrayView key, const QByteArray &fallback) const
{
    return value(key).value_or(fallback);
}

CStringArray RequestFields::values(QByteArrayView key) const
{
    CStringArray found;
    for (const QByteArray &field : m_parameters) {
        if (KeyOf(field).compare(key, Qt::CaseInsensitive) == 0)
            found.append(ValueOf(field));
    }
    return found;
}

bool RequestFields::hasWord(QByteArrayView word) const
{
    for (const QByteArray &field : m_parameters) {
        if (field.compare(word, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QByteArray KeyOf(const QByteArray &field)
{
    const qsizetype eq = field.indexOf('=');
    return eq < 0 ? QByteArray() : field.first(eq);
}

QByteArray ValueOf(const QByteArray &field)
{
    const qsizetype eq = field.indexOf('=');
    return eq < 0 ? field : field.sliced(eq + 1);
}

std::optional<int> ParseInt(QByteArrayView text)
{
    bool ok = false;
    const int number = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(number) : std::nullopt;
}
