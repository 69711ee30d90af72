#include "session/answerassembler.h"

#include <cstring>

void AnswerAssembler::feed(QByteArrayView bytes, Sink &sink)
{
    const char *p = bytes.data();
    const char *const end = p + bytes.size();
    while (p < end) {
        const auto *nul = static_cast<const char *>(std::memchr(p, '\0', size_t(end - p)));
        if (!nul) {
            m_partial.append(p, end - p);
            return;
        }
        if (!m_partial.isEmpty()) {
            m_partial.append(p, nul - p);
            m_inAnswer = true;
            sink.answerLine(m_partial);
            m_partial.clear();
        } else if (nul > p) {
            m_inAnswer = true;
            sink.answerLine(QByteArrayView(p, nul - p));
        } else if (m_inAnswer) {
            m_inAnswer = false;
            sink.answerComplete();
        }
        p = nul + 1;
    }
}

QByteArray AnswerAssembler::takePartial()
{
    QByteArray partial;
    partial.swap(m_partial);
    if (!partial.isEmpty())
        m_inAnswer = true;
    return partial;
}

void AnswerAssembler::reset()
{
    m_partial.clear();
    m_inAnswer = false;
}
