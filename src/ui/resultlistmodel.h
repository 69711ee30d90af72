#pragma once

// Storage of the result list: every line's bytes in one chunked arena plus
// one offset record per line, so a million lines cost little more than their
// bytes. Lines are stored at once; the view hears of them in batches, on a
// short timer or when flush() is called, since telling a view about every
// line costs far more than storing it.

#include <QAbstractListModel>
#include <QByteArrayView>
#include <QTimer>

#include <deque>
#include <memory>
#include <vector>

class ResultListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    explicit ResultListModel(QObject *parent = nullptr);
    ~ResultListModel() override;

    void appendLine(QByteArrayView line);
    void clear();
    // Tells the view about every stored line now.
    void flush();

    qsizetype lineCount() const { return qsizetype(m_lines.size()); }
    // The bytes of line i; empty for a line that does not exist.
    QByteArrayView lineView(qsizetype i) const;
    QByteArray lineText(qsizetype i) const { return lineView(i).toByteArray(); }
    qsizetype longestLine() const { return m_longest; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    // Laying out text costs time in proportion to its length: a line of
    // megabytes would hold the event loop for seconds at every paint. The
    // list shows this much of a line and an ellipsis; it keeps every byte.
    static constexpr qsizetype kMaxShownChars = 10000;

    // Tab characters expand to tab stops every eight columns.
    static QString DisplayText(QByteArrayView line);

private:
    struct Line
    {
        quint32 chunk;
        quint32 offset;
        quint32 length;
    };
    char *reserve(qsizetype length, quint32 &chunk, quint32 &offset);

    std::vector<std::unique_ptr<char[]>> m_chunks;
    std::vector<qsizetype> m_chunkSizes;
    qsizetype m_chunkUsed = 0;
    // A deque grows without copying what it holds: no stall at millions of lines.
    std::deque<Line> m_lines;
    int m_shown = 0;
    qsizetype m_longest = 0;
    QTimer m_flushTimer;
};
