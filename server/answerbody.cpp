#include "answerbody.h"

#include <algorithm>
#include <cstring>

namespace {

class LinesBody : public AnswerBody
{
public:
    explicit LinesBody(const CStringArray &lines) : m_firstField(lines.value(0).size())
    {
        qsizetype total = 1;
        for (const QByteArray &line : lines)
            total += line.size() + 1;
        m_bytes.reserve(total);
        for (const QByteArray &line : lines) {
            m_bytes += line;
            m_bytes += '\0';
        }
        m_bytes += '\0';
    }

    qint64 size() const override { return m_bytes.size(); }
    qint64 firstFieldSize() const override { return m_firstField; }
    QByteArray read(qint64 maxBytes) override
    {
        const qint64 n = std::min<qint64>(maxBytes, m_bytes.size() - m_pos);
        const QByteArray piece = m_bytes.sliced(m_pos, n);
        m_pos += n;
        return piece;
    }

private:
    QByteArray m_bytes;
    qint64 m_firstField;
    qint64 m_pos = 0;
};

// Every line is the same template with its number written into it, so a
// million lines cost a copy and a few digits each.
class HugeBody : public AnswerBody
{
public:
    explicit HugeBody(qint64 lines) : m_lines(lines)
    {
        m_template = "0000000000-2@FRA@JFK@LH@Y@ADT@OPEN@OW@459.00@EUR@0@HUGE ANSWER LINE "
                     "0000000000 OF " +
                     QByteArray::number(lines).rightJustified(10, '0') + ' ';
        m_template = m_template.leftJustified(kHugeLineBytes - 1, '.', true) + '\0';
        m_secondNumber = m_template.indexOf("LINE ") + 5;
    }

    qint64 size() const override { return m_lines * kHugeLineBytes + 1; }
    qint64 firstFieldSize() const override { return m_lines > 0 ? kHugeLineBytes - 1 : 0; }
    QByteArray read(qint64 maxBytes) override
    {
        const qint64 n = std::min<qint64>(maxBytes, size() - m_pos);
        QByteArray piece(n, Qt::Uninitialized);
        for (qint64 done = 0; done < n;) {
            const qint64 line = (m_pos + done) / kHugeLineBytes;
            const qint64 offset = (m_pos + done) % kHugeLineBytes;
            const qint64 take = std::min(n - done, line < m_lines ? kHugeLineBytes - offset : 1);
            if (line < m_lines)
                writeLine(line + 1, offset, take, piece.data() + done);
            else
                piece[done] = '\0'; // the closing empty field
            done += take;
        }
        m_pos += n;
        return piece;
    }

private:
    void writeLine(qint64 number, qint64 offset, qint64 take, char *out)
    {
        char digits[10];
        for (int i = 9; i >= 0; --i, number /= 10)
            digits[i] = char('0' + number % 10);
        std::memcpy(m_template.data(), digits, 10);
        std::memcpy(m_template.data() + m_secondNumber, digits, 10);
        std::memcpy(out, m_template.constData() + offset, size_t(take));
    }

    const qint64 m_lines;
    QByteArray m_template;
    qsizetype m_secondNumber = 0;
    qint64 m_pos = 0;
};

} // namespace

std::unique_ptr<AnswerBody> MakeLinesBody(const CStringArray &lines)
{
    return std::make_unique<LinesBody>(lines);
}

std::unique_ptr<AnswerBody> MakeHugeBody(qint64 lines)
{
    return std::make_unique<HugeBody>(std::clamp<qint64>(lines, 1, 9'999'999'999));
}
