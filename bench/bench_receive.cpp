// How fast a huge answer reaches the result list of the real window, how
// much memory that takes, and how long the event loop was ever blocked.
//
//   bench_receive [LINES...]      (default: 10000 100000 1000000)
//
// Each size runs in a child process of its own so that its peak memory is
// its own. The demo server runs in a thread of the child; a plain socket read
// of the same answer gives the baseline on this machine.

#include "form/settingsstore.h"
#include "fareserver.h"
#include "session/inetsocket.h"
#include "ui/notify.h"
#include "ui/querydlg.h"
#include "ui/widgets.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <cstdio>

namespace {

qint64 StatusKb(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// Measures the longest gap between ticks of a 1 ms timer: the longest time
// one event (a socket notification, a list update) held the loop.
class StallMeter : public QObject
{
public:
    StallMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            m_longest = std::max(m_longest, m_clock.restart());
        });
    }
    void start()
    {
        m_longest = 0;
        m_clock.start();
        m_timer.start(1);
    }
    qint64 stop()
    {
        m_timer.stop();
        return std::max(m_longest, m_clock.elapsed());
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

struct Silent : Notifier
{
    void messageBox(QWidget *, const QString &text) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    void beep() override {}
};

double PlainReadMs(quint16 port)
{
    QTcpSocket socket;
    socket.setReadBufferSize(64 * 1024);
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(5000))
        return -1;
    QByteArray request(8192, '\0');
    memcpy(request.data(), "##STARTQUERY", 12);
    QElapsedTimer clock;
    clock.start();
    socket.write(request);
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    char last[2] = {1, 1};
    while (!(last[0] == 0 && last[1] == 0)) {
        if (!socket.waitForReadyRead(10000))
            return -1;
        qint64 n;
        while ((n = socket.read(buffer.data(), buffer.size())) > 0) {
            if (n >= 2) {
                last[0] = buffer[n - 2];
                last[1] = buffer[n - 1];
            } else {
                last[0] = last[1];
                last[1] = buffer[0];
            }
        }
    }
    return clock.nsecsElapsed() / 1e6;
}

int RunOne(qint64 lines)
{
    QTemporaryDir dir;
    SetSettingsFileOverride(dir.filePath(QStringLiteral("bench.conf")));
    Silent silent;
    SetNotifier(&silent);

    QThread serverThread;
    FareServerOptions options;
    options.hugeAnswerLines = lines;
    auto *server = new FareServer(options);
    server->moveToThread(&serverThread);
    QObject::connect(&serverThread, &QThread::finished, server, &QObject::deleteLater);
    serverThread.start();
    quint16 port = 0;
    QMetaObject::invokeMethod(
        server, [server, &port] { server->listen(QHostAddress::LocalHost, 0); port = server->serverPort(); },
        Qt::BlockingQueuedConnection);

    const double plainMs = PlainReadMs(port);

    SavedCopies saved{"FRA", "NYC", "", "127.0.0.1", port};
    const qint64 beforeWindowKb = StatusKb("VmRSS:");
    CQueryDlg dlg(saved);
    dlg.show();
    QCoreApplication::processEvents();
    dlg.ConnectToServer();
    const qint64 emptyWindowKb = StatusKb("VmRSS:");

    QSignalSpy done(&dlg, &CQueryDlg::answerCompleted);
    StallMeter stalls;
    QElapsedTimer clock;
    stalls.start();
    clock.start();
    dlg.OnFlightQuery();
    while (done.isEmpty() && clock.elapsed() < 120000)
        done.wait(1000);
    const double listMs = clock.nsecsElapsed() / 1e6;
    const qint64 longestStall = stalls.stop();
    const qint64 peakKb = StatusKb("VmHWM:");
    const qint64 answerBytes = lines * 121 + 1;

    std::printf("%9lld lines  %7.1f MB  list complete %8.1f ms  plain read %7.1f ms  ratio %5.2f"
                "  longest stall %4lld ms  peak %6.1f MB (window %5.1f MB, answer x%.2f)  rows %lld\n",
                lines, answerBytes / 1e6, listMs, plainMs, plainMs > 0 ? listMs / plainMs : 0.0,
                longestStall, peakKb / 1024.0, (emptyWindowKb - beforeWindowKb) / 1024.0,
                double(peakKb - emptyWindowKb) * 1024.0 / answerBytes,
                qint64(dlg.m_listResults->count()));
    std::fflush(stdout);
    serverThread.quit();
    serverThread.wait();
    return done.isEmpty() ? 1 : 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.size() == 2 && args.first() == QLatin1String("--one"))
        return RunOne(args.at(1).toLongLong());
    if (args.isEmpty())
        args = {QStringLiteral("10000"), QStringLiteral("100000"), QStringLiteral("1000000")};
    int failures = 0;
    for (const QString &lines : std::as_const(args)) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--one"), lines});
        child.waitForFinished(-1);
        failures += child.exitCode() != 0;
    }
    return failures;
}
