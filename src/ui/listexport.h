#pragma once

// Getting result lines out of the list: as clipboard text and as a file.
// Both read the model's storage directly, so a million lines cost one pass
// over their bytes and never one QString per line.

#include <QString>

#include <optional>
#include <span>

class ResultListModel;

// Lines first..last, both included.
struct LineRange
{
    qsizetype first;
    qsizetype last;
};

// The lines of the ranges in the order given, converted from wire bytes and
// joined by newlines. Nothing when their bytes exceed maxBytes.
std::optional<QString> LinesText(const ResultListModel &lines, std::span<const LineRange> ranges,
                                 qsizetype maxBytes);

// Writes every line, bytes as stored, each followed by "\n". A file that
// cannot be written completely is left as it was; error then says why.
bool SaveLines(const ResultListModel &lines, const QString &path, QString &error);
