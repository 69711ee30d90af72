// fareprobe-server: the demo fare server on the command line.

#include "fareserver.h"
#include "signalwatcher.h"
#include "version.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {

struct IntOption
{
    QCommandLineOption option;
    int FareServerOptions::*member;
};

QList<IntOption> IntOptions()
{
    return {
        {{"piece-bytes", "Write each answer in pieces of <n> bytes.", "n"},
         &FareServerOptions::pieceBytes},
        {{"piece-pause", "Pause <ms> between two pieces (with --piece-bytes).", "ms"},
         &FareServerOptions::piecePauseMs},
        {{"late-terminator", "Send the closing empty field of each answer alone, <ms> later.",
          "ms"},
         &FareServerOptions::terminatorDelayMs},
        {{"answer-delay", "Wait <ms> before each answer.", "ms"},
         &FareServerOptions::answerDelayMs},
    };
}

const QCommandLineOption kHost("host", "Address to listen on (default 127.0.0.1).", "address",
                               "127.0.0.1");
const QCommandLineOption kPort("port", "Port to listen on (default 7000).", "port", "7000");
const QCommandLineOption kVerbose("verbose",
                                  "Log each request's fields and each answer's size to stderr.");
const QCommandLineOption kHuge("huge-answer",
                               "Answer every ##STARTQUERY with <n> generated lines of about "
                               "120 bytes.",
                               "n");
const QCommandLineOption kCloseMidField("close-mid-field",
                                        "Close the connection in the middle of the first field "
                                        "of an answer.");
const QCommandLineOption kResetMidAnswer("reset-mid-answer",
                                         "Reset (RST) the connection halfway through an answer.");
const QCommandLineOption kNoTerminator("no-terminator",
                                       "Never send the closing empty field of an answer.");
const QCommandLineOption kMaxRequest("max-request-bytes",
                                     "Drop requests longer than <n> bytes with an error line "
                                     "(default 1048576).",
                                     "n", "1048576");

[[noreturn]] void Fail(const QString &message)
{
    std::fprintf(stderr, "fareprobe-server: %s\n", qPrintable(message));
    std::exit(2);
}

qint64 Number(const QCommandLineParser &parser, const QCommandLineOption &option, qint64 highest)
{
    bool ok = false;
    const qint64 value = parser.value(option).toLongLong(&ok);
    if (!ok || value < 0 || value > highest)
        Fail(QString("--%1 needs a number from 0 to %2").arg(option.names().first()).arg(highest));
    return value;
}

FareServerOptions ReadOptions(const QCommandLineParser &parser)
{
    FareServerOptions options;
    for (const IntOption &entry : IntOptions()) {
        if (parser.isSet(entry.option))
            options.*entry.member = int(Number(parser, entry.option, 3'600'000));
    }
    if (parser.isSet(kHuge))
        options.hugeAnswerLines = Number(parser, kHuge, 9'999'999'999);
    options.maxRequestBytes = Number(parser, kMaxRequest, qint64(1) << 30);
    if (options.maxRequestBytes < 16)
        Fail("--max-request-bytes must be at least 16");
    options.closeMidField = parser.isSet(kCloseMidField);
    options.resetMidAnswer = parser.isSet(kResetMidAnswer);
    options.omitTerminator = parser.isSet(kNoTerminator);
    options.verbose = parser.isSet(kVerbose);
    return options;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("fareprobe-server");
    QCoreApplication::setApplicationVersion(FAREPROBE_VERSION);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Demo fare server for Fareprobe: answers fare queries, code look-ups and bookings from "
        "a built-in data set. Runs until SIGINT or SIGTERM.\n"
        "The options that end an answer early apply to every answer; when several are given, "
        "--close-mid-field wins over --reset-mid-answer, which wins over --no-terminator, "
        "which wins over --late-terminator.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({kHost, kPort, kVerbose, kHuge, kCloseMidField, kResetMidAnswer,
                       kNoTerminator, kMaxRequest});
    for (const IntOption &entry : IntOptions())
        parser.addOption(entry.option);
    parser.process(app);

    const QHostAddress host(parser.value(kHost));
    if (host.isNull())
        Fail("--host needs an IP address, not " + parser.value(kHost));
    const auto port = quint16(Number(parser, kPort, 65535));

    FareServer server(ReadOptions(parser));
    if (!server.listen(host, port))
        Fail(QString("cannot listen on %1:%2: %3")
                 .arg(host.toString())
                 .arg(port)
                 .arg(server.errorString()));
    std::fprintf(stderr, "fareprobe-server %s listening on %s:%u\n", FAREPROBE_VERSION,
                 qPrintable(host.toString()), unsigned(server.serverPort()));

    SignalWatcher watcher;
    QObject::connect(&watcher, &SignalWatcher::terminationRequested, &app, [](int number) {
        std::fprintf(stderr, "fareprobe-server: signal %d, stopping\n", number);
        QCoreApplication::quit();
    });
    return app.exec();
}
