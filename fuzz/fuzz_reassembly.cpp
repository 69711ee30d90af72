// The receive path's reassembly must not depend on how TCP cut the stream.
// Input: byte 0 picks up to 7 cuts, the next bytes are the lengths of the
// first pieces (0 = an empty receive), the rest is the stream.

#include "fuzzcheck.h"
#include "session/answerassembler.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

struct Event
{
    bool complete = false;
    QByteArray line;
    bool operator==(const Event &) const = default;
};

struct Recorder : AnswerAssembler::Sink
{
    std::vector<Event> events;
    void answerLine(QByteArrayView line) override { events.push_back({false, line.toByteArray()}); }
    void answerComplete() override { events.push_back({true, {}}); }
};

struct Outcome
{
    std::vector<Event> events;
    bool inAnswer = false;
    QByteArray partial;
};

// What the stream means, read as a whole: every NUL ends a field; an empty
// field ends an answer only if a line came since the last end; the bytes
// after the last NUL are the partial field.
Outcome Reference(const QByteArray &stream)
{
    Outcome out;
    const QList<QByteArray> segments = stream.split('\0');
    for (qsizetype i = 0; i + 1 < segments.size(); ++i) {
        if (!segments[i].isEmpty()) {
            out.events.push_back({false, segments[i]});
            out.inAnswer = true;
        } else if (out.inAnswer) {
            out.events.push_back({true, {}});
            out.inAnswer = false;
        }
    }
    out.partial = segments.last();
    return out;
}

// Feeds the pieces and checks the assembler's state against the reference
// before and after the partial field is taken.
void CheckFeed(const std::vector<QByteArrayView> &pieces, const Outcome &expected)
{
    AnswerAssembler assembler;
    Recorder recorder;
    for (const QByteArrayView piece : pieces)
        assembler.feed(piece, recorder);
    FUZZ_CHECK(recorder.events == expected.events);
    FUZZ_CHECK(assembler.inAnswer() == expected.inAnswer);
    FUZZ_CHECK(assembler.hasPartial() == !expected.partial.isEmpty());
    FUZZ_CHECK(assembler.takePartial() == expected.partial);
    FUZZ_CHECK(!assembler.hasPartial());
    FUZZ_CHECK(assembler.takePartial().isEmpty());
    // A field handed out at the end of the stream belongs to an answer.
    FUZZ_CHECK(assembler.inAnswer() == (expected.inAnswer || !expected.partial.isEmpty()));
}

void CheckReference(const QByteArray &stream, const Outcome &ref)
{
    QByteArray content;
    bool lineSinceEnd = false;
    for (const Event &e : ref.events) {
        if (e.complete) {
            FUZZ_CHECK(lineSinceEnd);
            lineSinceEnd = false;
        } else {
            FUZZ_CHECK(!e.line.isEmpty());
            FUZZ_CHECK(!e.line.contains('\0'));
            content += e.line;
            lineSinceEnd = true;
        }
    }
    FUZZ_CHECK(!ref.partial.contains('\0'));
    FUZZ_CHECK(content + ref.partial == QByteArray(stream).replace('\0', QByteArray()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const auto *bytes = reinterpret_cast<const char *>(data);
    const size_t cuts = std::min<size_t>(data[0] % 8, size - 1);
    const QByteArray stream(bytes + 1 + cuts, qsizetype(size - 1 - cuts));

    const Outcome ref = Reference(stream);
    CheckReference(stream, ref);

    CheckFeed({stream}, ref);

    std::vector<QByteArrayView> pieces;
    qsizetype pos = 0;
    for (size_t i = 0; i < cuts; ++i) {
        const qsizetype len = std::min<qsizetype>(data[1 + i], stream.size() - pos);
        pieces.emplace_back(stream.constData() + pos, len);
        pos += len;
    }
    pieces.emplace_back(stream.constData() + pos, stream.size() - pos);
    CheckFeed(pieces, ref);

    if (stream.size() <= 512) {
        std::vector<QByteArrayView> single;
        for (qsizetype i = 0; i < stream.size(); ++i)
            single.emplace_back(stream.constData() + i, 1);
        CheckFeed(single, ref);
    }

    // A reset forgets a half-received answer of an earlier session.
    AnswerAssembler reused;
    Recorder discarded;
    reused.feed(pieces.front(), discarded);
    reused.reset();
    FUZZ_CHECK(!reused.hasPartial() && !reused.inAnswer());
    Recorder recorder;
    reused.feed(stream, recorder);
    FUZZ_CHECK(recorder.events == ref.events);
    FUZZ_CHECK(reused.takePartial() == ref.partial);
    return 0;
}
