#pragma once

// The command line of fareprobe-send: where to connect, how long to wait,
// how often to repeat, how to print, and the requests themselves.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct SendOptions
{
    QString host = QStringLiteral("127.0.0.1");
    quint16 port = 7000;
    int timeoutMs = 10000;
    int repeat = 1;
    // The summary belongs to load runs; a plain call prints only the answers.
    bool summary = false;
    bool hex = false;
    // As they go on the wire, already converted from "~" notation.
    QList<QByteArray> requests;
};

struct CommandLineOutcome
{
    enum Kind { Run, Help, Version, UsageError };
    Kind kind = Run;
    // The help or version text, or what was wrong with the command line.
    QString text;
};

CommandLineOutcome ParseSendCommandLine(const QStringList &arguments, SendOptions &options);
