#include "sendoptions.h"

#include "session/framing.h"
#include "version.h"

#include <QCommandLineParser>

namespace {

constexpr double kMaxTimeoutSeconds = 24 * 3600;

const char kDescription[] =
    "Sends requests to a fare server and prints its answers.\n"
    "\n"
    "Each REQUEST is written in the console's notation: \"~\" and a backslash\n"
    "followed by the digit 0 each stand for a NUL byte, every other byte goes\n"
    "out unchanged (no upper-casing). A request is a run of NUL-terminated\n"
    "fields closed by an empty field, so a complete request ends in \"~~\",\n"
    "for example \"##GETAIRPORTS~~\". The requests are sent one after another\n"
    "on one connection; each waits for its complete answer (a field followed\n"
    "by an empty field) before the next one goes out.\n"
    "\n"
    "Every answer line (one field) goes to standard output as received,\n"
    "followed by a newline, or with --hex as rows of offset, hex bytes and\n"
    "printable text. The elapsed time of each answer, from the start of the\n"
    "request's write to the end of its answer, goes to standard error in\n"
    "milliseconds. With --repeat, standard error ends with the answer count,\n"
    "requests per second and the min, median, p99 and max latency.";

const char kExitStatus[] =
    "\nExit status:\n"
    "  0  every answer completed\n"
    "  1  the command line was not understood\n"
    "  2  the connection failed (\"Socket Fehler: <code>\" with the Windows\n"
    "     Sockets code, e.g. 10061 refused, 10022 unknown host, 10060 timed out)\n"
    "  3  an answer did not complete within the timeout, or the server closed\n"
    "     the connection before it was complete\n";

struct Parser
{
    QCommandLineParser parser;
    QCommandLineOption host{"host", "Server address or host name (default 127.0.0.1).", "H",
                            "127.0.0.1"};
    QCommandLineOption port{"port", "Server port, 1 to 65535 (default 7000).", "P", "7000"};
    QCommandLineOption timeout{
        "timeout",
        "Seconds to wait for the connection and for each complete answer, fractions "
        "allowed (default 10).",
        "S", "10"};
    QCommandLineOption repeat{
        "repeat",
        "Send the whole request list N times on the one connection and print the "
        "latency summary (default 1).",
        "N", "1"};
    QCommandLineOption hex{"hex", "Print each answer line as a hex dump."};
    // Qt's own help option would also offer --help-all with Qt's options,
    // which mean nothing here.
    QCommandLineOption help{QStringList{"h", "help"}, "Show this help."};

    Parser()
    {
        parser.setApplicationDescription(QString::fromLatin1(kDescription));
        parser.addOptions({host, port, timeout, repeat, hex, help});
        parser.addVersionOption();
        parser.addPositionalArgument("REQUEST", "A request in \"~\" notation.", "REQUEST...");
    }
};

QString ReadNumbers(const Parser &p, SendOptions &options)
{
    bool ok = false;
    const uint port = p.parser.value(p.port).toUInt(&ok);
    if (!ok || port < 1 || port > 65535)
        return QStringLiteral("--port must be a number from 1 to 65535");
    options.port = quint16(port);
    const double seconds = p.parser.value(p.timeout).toDouble(&ok);
    if (!ok || !(seconds > 0) || seconds > kMaxTimeoutSeconds)
        return QStringLiteral("--timeout must be a number of seconds above 0, at most 86400");
    options.timeoutMs = std::max(1, int(seconds * 1000));
    options.repeat = p.parser.value(p.repeat).toInt(&ok);
    if (!ok || options.repeat < 1)
        return QStringLiteral("--repeat must be a whole number of at least 1");
    return {};
}

} // namespace

CommandLineOutcome ParseSendCommandLine(const QStringList &arguments, SendOptions &options)
{
    Parser p;
    if (!p.parser.parse(arguments))
        return {CommandLineOutcome::UsageError, p.parser.errorText()};
    if (p.parser.isSet(p.help))
        return {CommandLineOutcome::Help, p.parser.helpText() + QString::fromLatin1(kExitStatus)};
    if (p.parser.isSet(QStringLiteral("version")))
        return {CommandLineOutcome::Version,
                QStringLiteral("fareprobe-send %1\n").arg(QStringLiteral(FAREPROBE_VERSION))};
    if (const QString error = ReadNumbers(p, options); !error.isEmpty())
        return {CommandLineOutcome::UsageError, error};
    options.host = p.parser.value(p.host);
    options.summary = p.parser.isSet(p.repeat);
    options.hex = p.parser.isSet(p.hex);
    const QStringList texts = p.parser.positionalArguments();
    if (texts.isEmpty())
        return {CommandLineOutcome::UsageError, QStringLiteral("no REQUEST given")};
    for (const QString &text : texts)
        options.requests.append(ConvertConsoleText(text.toLocal8Bit()));
    return {};
}
