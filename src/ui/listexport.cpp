#include "ui/listexport.h"

#include "session/wiretext.h"
#include "ui/resultlistmodel.h"

#include <QSaveFile>

#include <array>

namespace {

// Writes leave in pieces of this size: large enough that a million short
// lines make few system calls, small enough to stay out of the way.
constexpr qsizetype kWriteChunk = 1024 * 1024;

// Wire byte to character, taken once from WireToText so both always agree.
const std::array<char16_t, 256> &CharTable()
{
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            t[size_t(b)] = WireToText(QByteArrayView(&byte, 1)).at(0).unicode();
        }
        return t;
    }();
    return table;
}

} // namespace

std::optional<QString> LinesText(const ResultListModel &lines, std::span<const LineRange> ranges,
                                 qsizetype maxBytes)
{
    qsizetype total = 0;
    for (const LineRange &range : ranges) {
        for (qsizetype i = range.first; i <= range.last; ++i)
            total += lines.lineView(i).size() + 1;
    }
    if (total == 0)
        return QString();
    if (total - 1 > maxBytes)
        return std::nullopt;
    // One wire byte is one character, so the text's length is known before
    // a single line is converted: one allocation, no regrowth.
    QString text(total - 1, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    const auto &table = CharTable();
    bool first = true;
    for (const LineRange &range : ranges) {
        for (qsizetype i = range.first; i <= range.last; ++i) {
            if (!first)
                *out++ = u'\n';
            first = false;
            for (const char c : lines.lineView(i))
                *out++ = table[static_cast<unsigned char>(c)];
        }
    }
    return text;
}

bool SaveLines(const ResultListModel &lines, const QString &path, QString &error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    QByteArray buffer;
    buffer.reserve(kWriteChunk);
    const auto writeBuffer = [&] {
        const bool ok = file.write(buffer) == buffer.size();
        buffer.clear();
        return ok;
    };
    const qsizetype count = lines.lineCount();
    for (qsizetype i = 0; i < count; ++i) {
        const QByteArrayView line = lines.lineView(i);
        if (buffer.size() + line.size() + 1 > kWriteChunk && !buffer.isEmpty() && !writeBuffer())
            break;
        if (line.size() + 1 > kWriteChunk) {
            // A line longer than the chunk goes out on its own.
            if (file.write(line.data(), line.size()) != line.size() || file.write("\n", 1) != 1)
                break;
            continue;
        }
        buffer.append(line);
        buffer.append('\n');
    }
    if (!buffer.isEmpty())
        writeBuffer();
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}
