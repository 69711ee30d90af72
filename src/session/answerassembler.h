#pragma once

// Reassembles the server's byte stream into answer lines. TCP keeps no
// receive boundaries, so a field becomes a line when its NUL arrives, however
// the bytes were cut; an answer is complete when its closing empty field
// arrives; bytes after it start the next answer; NUL bytes where an answer
// would begin (padding, stray zeros) add no line and complete nothing.

#include <QByteArray>
#include <QByteArrayView>

class AnswerAssembler
{
public:
    class Sink
    {
    public:
        virtual ~Sink() = default;
        virtual void answerLine(QByteArrayView line) = 0;
        virtual void answerComplete() = 0;
    };

    void feed(QByteArrayView bytes, Sink &sink);
    // The field still waiting for its NUL, handed out when the stream ends.
    bool hasPartial() const { return !m_partial.isEmpty(); }
    QByteArray takePartial();
    bool inAnswer() const { return m_inAnswer; }
    void reset();

private:
    QByteArray m_partial;
    bool m_inAnswer = false;
};
