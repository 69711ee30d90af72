#include "ui/resultlistmodel.h"

#include "session/wiretext.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {
// Chunks of fixed size: growing one big buffer by doubling would copy it and
// stall the event loop once it holds tens of megabytes.
constexpr qsizetype kChunkSize = 4 * 1024 * 1024;
constexpr int kFlushDelayMs = 40;
} // namespace

ResultListModel::ResultListModel(QObject *parent) : QAbstractListModel(parent)
{
    m_flushTimer.setSingleShot(true);
    connect(&m_flushTimer, &QTimer::timeout, this, &ResultListModel::flush);
}

ResultListModel::~ResultListModel() = default;

char *ResultListModel::reserve(qsizetype length, quint32 &chunk, quint32 &offset)
{
    const bool fitsCurrent = !m_chunks.empty() && m_chunkUsed + length <= m_chunkSizes.back();
    if (!fitsCurrent) {
        const qsizetype size = std::max(kChunkSize, length);
        m_chunks.push_back(std::make_unique_for_overwrite<char[]>(size_t(size)));
        m_chunkSizes.push_back(size);
        m_chunkUsed = 0;
    }
    chunk = quint32(m_chunks.size() - 1);
    offset = quint32(m_chunkUsed);
    m_chunkUsed += length;
    return m_chunks.back().get() + offset;
}

void ResultListModel::appendLine(QByteArrayView line)
{
    if (m_lines.size() >= size_t(std::numeric_limits<int>::max()))
        return; // a view cannot address more rows
    Line entry{0, 0, quint32(line.size())};
    if (!line.isEmpty())
        std::memcpy(reserve(line.size(), entry.chunk, entry.offset), line.data(),
                    size_t(line.size()));
    m_lines.push_back(entry);
    m_longest = std::max(m_longest, line.size());
    if (!m_flushTimer.isActive())
        m_flushTimer.start(kFlushDelayMs);
}

void ResultListModel::clear()
{
    m_flushTimer.stop();
    beginResetModel();
    m_lines.clear();
    m_lines.shrink_to_fit();
    m_chunks.clear();
    m_chunkSizes.clear();
    m_chunkUsed = 0;
    m_shown = 0;
    m_longest = 0;
    endResetModel();
}

void ResultListModel::flush()
{
    m_flushTimer.stop();
    const int total = int(m_lines.size());
    if (total == m_shown)
        return;
    beginInsertRows({}, m_shown, total - 1);
    m_shown = total;
    endInsertRows();
}

QByteArrayView ResultListModel::lineView(qsizetype i) const
{
    if (i < 0 || i >= lineCount())
        return {};
    const Line &entry = m_lines[size_t(i)];
    if (entry.length == 0)
        return {};
    return QByteArrayView(m_chunks[entry.chunk].get() + entry.offset, entry.length);
}

int ResultListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_shown;
}

QVariant ResultListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_shown)
        return {};
    if (role == Qt::DisplayRole)
        return DisplayText(lineView(index.row()));
    return {};
}

QString ResultListModel::DisplayText(QByteArrayView line)
{
    const bool cut = line.size() > kMaxShownChars;
    QString text = WireToText(cut ? line.first(kMaxShownChars) : line);
    if (text.contains(QLatin1Char('\t'))) {
        QString expanded;
        expanded.reserve(text.size() + 16);
        for (const QChar c : std::as_const(text)) {
            if (c == QLatin1Char('\t')) {
                const qsizetype spaces = 8 - expanded.size() % 8;
                expanded.append(QString(spaces, QLatin1Char(' ')));
            } else {
                expanded.append(c);
            }
        }
        text.swap(expanded);
    }
    if (text.size() > kMaxShownChars) {
        text.truncate(kMaxShownChars);
        return text + QChar(0x2026);
    }
    return cut ? text + QChar(0x2026) : text;
}
