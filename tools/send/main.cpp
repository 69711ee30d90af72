// fareprobe-send: the command-line companion of Fare Probe for scripts and CI.

#include "sendoptions.h"
#include "sendrun.h"
#include "version.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("fareprobe-send"));
    QCoreApplication::setApplicationVersion(QStringLiteral(FAREPROBE_VERSION));

    SendOptions options;
    const CommandLineOutcome outcome = ParseSendCommandLine(app.arguments(), options);
    switch (outcome.kind) {
    case CommandLineOutcome::Help:
    case CommandLineOutcome::Version:
        std::fputs(outcome.text.toLocal8Bit().constData(), stdout);
        return SendExit::Ok;
    case CommandLineOutcome::UsageError:
        std::fprintf(stderr, "fareprobe-send: %s\nTry 'fareprobe-send --help'.\n",
                     outcome.text.toLocal8Bit().constData());
        return SendExit::Usage;
    case CommandLineOutcome::Run:
        break;
    }
    const int status = SendRun(options, stdout, stderr).run();
    std::fflush(stdout);
    return status;
}
