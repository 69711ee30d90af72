// fareprobe-send, run as a real program against a fixture fare server in this
// process: answers, hex dumps, timeouts, refused and closed connections, the
// latency summary, and the command line itself.

#include "latencystats.h"
#include "session/answerassembler.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>

#include "fareserver.h"
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <memory>
#include <vector>

#ifndef FAREPROBE_SEND_PATH
#error "FAREPROBE_SEND_PATH must name the built fareprobe-send program"
#endif

namespace {

// How the fixture answers a complete request.
enum class Reply {
    Whole,          // the answer in one write
    ByteByByte,     // one flushed write per byte
    CloseMidAnswer, // the first line and part of the second, then close
    CloseAtRequest, // close without a byte of answer
    CloseAfterAnswer,
};

// The fixture's answer to fields F1..Fn is "OK F1", F2..Fn; "##LINES~n~~"
// answers n numbered lines instead, for large answers.
QByteArray AnswerFor(const QList<QByteArray> &fields)
{
    QByteArray answer;
    if (fields.size() == 2 && fields[0] == "##LINES") {
        const int count = fields[1].toInt();
        answer.reserve(count * 12);
        for (int i = 1; i <= count; ++i)
            answer += "LINE " + QByteArray::number(i) + '\0';
    } else {
        answer += "OK " + fields.value(0) + '\0';
        for (qsizetype i = 1; i < fields.size(); ++i)
            answer += fields[i] + '\0';
    }
    return answer + '\0';
}

class FixtureServer : public QObject
{
public:
    explicit FixtureServer(Reply reply) : m_reply(reply)
    {
        connect(&m_server, &QTcpServer::newConnection, this, &FixtureServer::accept);
    }
    bool listen() { return m_server.listen(QHostAddress::LocalHost, 0); }
    QString port() const { return QString::number(m_server.serverPort()); }

    int connections = 0;
    int completeRequests = 0;
    QByteArray received;

private:
    struct Peer : AnswerAssembler::Sink
    {
        FixtureServer *server = nullptr;
        QTcpSocket *socket = nullptr;
        AnswerAssembler assembler;
        QList<QByteArray> fields;
        void answerLine(QByteArrayView line) override { fields.append(line.toByteArray()); }
        void answerComplete() override
        {
            server->answer(*socket, fields);
            fields.clear();
        }
    };

    void accept()
    {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            ++connections;
            socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            auto peer = std::make_unique<Peer>();
            peer->server = this;
            peer->socket = socket;
            connect(socket, &QTcpSocket::readyRead, this, [this, p = peer.get()] {
                const QByteArray bytes = p->socket->readAll();
                received += bytes;
                p->assembler.feed(bytes, *p);
            });
            m_peers.push_back(std::move(peer));
        }
    }

    void answer(QTcpSocket &socket, const QList<QByteArray> &fields)
    {
        ++completeRequests;
        const QByteArray bytes = AnswerFor(fields);
        switch (m_reply) {
        case Reply::Whole:
            socket.write(bytes);
            break;
        case Reply::ByteByByte:
            for (const char c : bytes) {
                socket.write(&c, 1);
                socket.flush();
            }
            break;
        case Reply::CloseMidAnswer:
            socket.write(bytes.left(bytes.indexOf('\0') + 4));
            socket.disconnectFromHost();
            break;
        case Reply::CloseAtRequest:
            socket.disconnectFromHost();
            break;
        case Reply::CloseAfterAnswer:
            socket.write(bytes);
            socket.disconnectFromHost();
            break;
        }
    }

    Reply m_reply;
    QTcpServer m_server;
    std::vector<std::unique_ptr<Peer>> m_peers;
};

struct Run
{
    bool finished = false;
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs the program while this process's event loop keeps the fixture serving.
Run RunSend(const QStringList &arguments)
{
    QProcess process;
    QSignalSpy done(&process, &QProcess::finished);
    process.start(QStringLiteral(FAREPROBE_SEND_PATH), arguments);
    Run run;
    run.finished = done.wait(60000) && process.exitStatus() == QProcess::NormalExit;
    if (!run.finished)
        process.kill();
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QStringList With(const QStringList &options, const QByteArrayList &requests)
{
    QStringList arguments = options;
    for (const QByteArray &request : requests)
        arguments << QString::fromUtf8(request);
    return arguments;
}

QByteArray Lines(const QByteArrayList &lines)
{
    QByteArray text;
    for (const QByteArray &line : lines)
        text += line + '\n';
    return text;
}

// The number in the first match of the pattern, or -1 when there is none.
double Figure(const QByteArray &err, const QString &pattern)
{
    const QRegularExpression number(pattern.arg(QStringLiteral("([0-9]+\\.[0-9]+)")));
    const QRegularExpressionMatch match = number.match(QString::fromUtf8(err));
    return match.hasMatch() ? match.captured(1).toDouble() : -1;
}

qsizetype ElapsedLines(const QByteArray &err)
{
    const QRegularExpression line(QStringLiteral("^answer [0-9]+: [0-9]+\\.[0-9]{3} ms$"),
                                  QRegularExpression::MultilineOption);
    qsizetype count = 0;
    for (auto it = line.globalMatch(QString::fromUtf8(err)); it.hasNext(); it.next())
        ++count;
    return count;
}

} // namespace

class TestSend : public QObject
{
    Q_OBJECT
private slots:
    void answersAreTheSameHoweverSplit_data();
    void answersAreTheSameHoweverSplit();
    void largeAnswerStreamsEveryLine();
    void hexDump();
    void incompleteRequestTimesOut_data();
    void incompleteRequestTimesOut();
    void refusedPortIsAConnectionFailure();
    void serverClosingEarly_data();
    void serverClosingEarly();
    void repeatSummary_data();
    void repeatSummary();
    void latencyFigures_data();
    void latencyFigures();
    void commandLine_data();
    void commandLine();
    void demoServerSplitAnswerPrintsSameLines();
    void demoServerIncompleteRequestAndRepeat();
};

void TestSend::answersAreTheSameHoweverSplit_data()
{
    QTest::addColumn<QByteArrayList>("requests");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("one field") << QByteArrayList{"##GETAIRPORTS~~"} << Lines({"OK ##GETAIRPORTS"});
    QTest::newRow("backslash zero is NUL too")
        << QByteArrayList{"##ECHO~A=1\\0B=2~~"} << Lines({"OK ##ECHO", "A=1", "B=2"});
    QTest::newRow("two requests, one connection")
        << QByteArrayList{"##FIRST~X~~", "##SECOND~~"} << Lines({"OK ##FIRST", "X", "OK ##SECOND"});
    QTest::newRow("tabs, blanks and high bytes kept")
        << QByteArrayList{"##ECHO~\tA B \xc3\xa9 ~~"} << Lines({"OK ##ECHO", "\tA B \xc3\xa9 "});
    QTest::newRow("many lines") << QByteArrayList{"##LINES~40~~"} << [] {
        QByteArrayList lines;
        for (int i = 1; i <= 40; ++i)
            lines << "LINE " + QByteArray::number(i);
        return Lines(lines);
    }();
}

void TestSend::answersAreTheSameHoweverSplit()
{
    QFETCH(QByteArrayList, requests);
    QFETCH(QByteArray, expected);
    for (const Reply reply : {Reply::Whole, Reply::ByteByByte}) {
        FixtureServer server(reply);
        QVERIFY(server.listen());
        const Run run = RunSend(With({"--port", server.port()}, requests));
        QVERIFY(run.finished);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, expected);
        QCOMPARE(server.connections, 1);
        QCOMPARE(ElapsedLines(run.err), requests.size());
    }
}

void TestSend::largeAnswerStreamsEveryLine()
{
    FixtureServer server(Reply::Whole);
    QVERIFY(server.listen());
    const Run run = RunSend({"--port", server.port(), "##LINES~300000~~"});
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out.count('\n'), 300000);
    QVERIFY(run.out.startsWith("LINE 1\nLINE 2\n"));
    QVERIFY(run.out.endsWith("\nLINE 299999\nLINE 300000\n"));
}

void TestSend::hexDump()
{
    FixtureServer server(Reply::ByteByByte);
    QVERIFY(server.listen());
    const Run run =
        RunSend({"--hex", "--port", server.port(), "##ECHO~TAB=\t \xc3\xa9~0123456789ABCDEFG~~"});
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 0);
    // Each line's dump starts again at offset 0.
    QCOMPARE(run.out,
             "00000000  4f 4b 20 23 23 45 43 48  4f                       |OK ##ECHO|\n"
             "00000000  54 41 42 3d 09 20 c3 a9                           |TAB=. ..|\n"
             "00000000  30 31 32 33 34 35 36 37  38 39 41 42 43 44 45 46  |0123456789ABCDEF|\n"
             "00000010  47                                                |G|\n");
}

void TestSend::incompleteRequestTimesOut_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("onTheWire");
    QTest::newRow("no NUL at all") << QByteArray("##PING") << QByteArray("##PING");
    QTest::newRow("one field, no empty field")
        << QByteArray("##PING~") << QByteArray("##PING\0", 7);
    QTest::newRow("last field unterminated")
        << QByteArray("##PING~A=1") << QByteArray("##PING\0A=1", 10);
}

void TestSend::incompleteRequestTimesOut()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, onTheWire);
    FixtureServer server(Reply::Whole);
    QVERIFY(server.listen());
    const Run run = RunSend({"--timeout", "1", "--port", server.port(), request});
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 3);
    QVERIFY2(run.err.contains("answer 1 did not complete within 1 s"), run.err);
    QCOMPARE(server.received, onTheWire);
    QCOMPARE(server.completeRequests, 0);
    QCOMPARE(run.out, QByteArray());
}

void TestSend::refusedPortIsAConnectionFailure()
{
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
    const QString port = QString::number(closed.serverPort());
    closed.close();
    const Run run = RunSend({"--port", port, "##GETAIRPORTS~~"});
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains("Socket Fehler: 10061"), run.err);
    QCOMPARE(run.out, QByteArray());
}

void TestSend::serverClosingEarly_data()
{
    QTest::addColumn<int>("reply");
    QTest::addColumn<QByteArrayList>("requests");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("in the middle of an answer")
        << int(Reply::CloseMidAnswer) << QByteArrayList{"##ECHO~ABCDEF~~"} << 3
        << Lines({"OK ##ECHO", "ABC"}) << QByteArray("closed the connection before answer 1");
    QTest::newRow("before any answer")
        << int(Reply::CloseAtRequest) << QByteArrayList{"##ECHO~~"} << 3 << QByteArray()
        << QByteArray("closed the connection before answer 1");
    QTest::newRow("after the first of two answers")
        << int(Reply::CloseAfterAnswer) << QByteArrayList{"##ONE~~", "##TWO~~"} << 3
        << Lines({"OK ##ONE"}) << QByteArray("closed the connection before answer 2");
    QTest::newRow("after the last answer is no failure")
        << int(Reply::CloseAfterAnswer) << QByteArrayList{"##ONE~~"} << 0 << Lines({"OK ##ONE"})
        << QByteArray("answer 1: ");
}

void TestSend::serverClosingEarly()
{
    QFETCH(int, reply);
    QFETCH(QByteArrayList, requests);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, expected);
    QFETCH(QByteArray, message);
    FixtureServer server(static_cast<Reply>(reply));
    QVERIFY(server.listen());
    const Run run = RunSend(With({"--timeout", "30", "--port", server.port()}, requests));
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.out, expected);
    QVERIFY2(run.err.contains(message), run.err);
}

void TestSend::repeatSummary_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArrayList>("requests");
    QTest::addColumn<int>("answers");
    QTest::addColumn<bool>("summary");
    QTest::newRow("50 rounds of two")
        << QStringList{"--repeat", "50"} << QByteArrayList{"##ONE~~", "##TWO~A~~"} << 100 << true;
    QTest::newRow("one round still sums up")
        << QStringList{"--repeat", "1"} << QByteArrayList{"##ONE~~"} << 1 << true;
    QTest::newRow("no summary without --repeat")
        << QStringList{} << QByteArrayList{"##ONE~~", "##TWO~~"} << 2 << false;
}

void TestSend::repeatSummary()
{
    QFETCH(QStringList, options);
    QFETCH(QByteArrayList, requests);
    QFETCH(int, answers);
    QFETCH(bool, summary);
    FixtureServer server(Reply::Whole);
    QVERIFY(server.listen());
    const Run run = RunSend(With(options + QStringList{"--port", server.port()}, requests));
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(server.connections, 1);
    QCOMPARE(server.completeRequests, answers);
    QCOMPARE(ElapsedLines(run.err), answers);
    QCOMPARE(run.err.contains(QByteArray::number(answers) + " answers in "), summary);
    const double min = Figure(run.err, QStringLiteral("min %1,"));
    const double median = Figure(run.err, QStringLiteral("median %1,"));
    const double p99 = Figure(run.err, QStringLiteral("p99 %1,"));
    const double max = Figure(run.err, QStringLiteral("max %1\n"));
    if (!summary) {
        QCOMPARE(min, -1.0);
        return;
    }
    QVERIFY2(min >= 0 && min <= median && median <= p99 && p99 <= max, run.err);
    QVERIFY2(Figure(run.err, QStringLiteral("ms, %1 requests/s\n")) > 0, run.err);
}

void TestSend::latencyFigures_data()
{
    QTest::addColumn<QList<double>>("samples");
    QTest::addColumn<QList<double>>("expected"); // min, median, p99, max
    QTest::newRow("empty") << QList<double>{} << QList<double>{0, 0, 0, 0};
    QTest::newRow("one") << QList<double>{2.5} << QList<double>{2.5, 2.5, 2.5, 2.5};
    QTest::newRow("odd count, unsorted") << QList<double>{3, 1, 2} << QList<double>{1, 2, 3, 3};
    QTest::newRow("even count takes the middle mean")
        << QList<double>{4, 1, 3, 2} << QList<double>{1, 2.5, 4, 4};
    QList<double> hundred;
    for (int i = 100; i >= 1; --i)
        hundred.push_back(i);
    QTest::newRow("1 to 100") << hundred << QList<double>{1, 50.5, 99, 100};
    // Nearest rank: p99 of 1000 is the 990th smallest, so it takes 11 slow times
    // to move it.
    QList<double> thousand(1000, 1.0);
    thousand[995] = 50;
    for (int i = 0; i < 9; ++i)
        thousand[i] = 40;
    QTest::newRow("ten slow of 1000 stay above p99") << thousand << QList<double>{1, 1, 1, 50};
    thousand[9] = 40;
    QTest::newRow("eleven slow of 1000 reach p99") << thousand << QList<double>{1, 1, 40, 50};
}

void TestSend::latencyFigures()
{
    QFETCH(QList<double>, samples);
    QFETCH(QList<double>, expected);
    const LatencySummary s = SummarizeLatencies({samples.begin(), samples.end()});
    QCOMPARE((QList<double>{s.minMs, s.medianMs, s.p99Ms, s.maxMs}), expected);
}

void TestSend::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArrayList>("stdoutHas");
    QTest::addColumn<QByteArrayList>("stderrHas");
    QTest::newRow("version") << QStringList{"--version"} << 0
                             << QByteArrayList{"fareprobe-send 1.0.0.2\n"} << QByteArrayList{};
    QTest::newRow("help") << QStringList{"--help"} << 0
                          << QByteArrayList{"--host",  "--port", "--timeout",   "--repeat", "--hex",
                                            "REQUEST", "\"~\"",  "Exit status", "10061"}
                          << QByteArrayList{};
    QTest::newRow("no request") << QStringList{} << 1 << QByteArrayList{}
                                << QByteArrayList{"no REQUEST"};
    QTest::newRow("port 0") << QStringList{"--port", "0", "X~~"} << 1 << QByteArrayList{}
                            << QByteArrayList{"--port"};
    QTest::newRow("port too high") << QStringList{"--port", "65536", "X~~"} << 1 << QByteArrayList{}
                                   << QByteArrayList{"--port"};
    QTest::newRow("repeat 0") << QStringList{"--repeat", "0", "X~~"} << 1 << QByteArrayList{}
                              << QByteArrayList{"--repeat"};
    QTest::newRow("negative timeout") << QStringList{"--timeout", "-1", "X~~"} << 1
                                      << QByteArrayList{} << QByteArrayList{"--timeout"};
    QTest::newRow("unknown option")
        << QStringList{"--fast", "X~~"} << 1 << QByteArrayList{} << QByteArrayList{"fast"};
}

void TestSend::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QByteArrayList, stdoutHas);
    QFETCH(QByteArrayList, stderrHas);
    const Run run = RunSend(arguments);
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, exitCode);
    for (const QByteArray &text : stdoutHas)
        QVERIFY2(run.out.contains(text), text);
    for (const QByteArray &text : stderrHas)
        QVERIFY2(run.err.contains(text), text);
}

namespace {
QString Port(const FareServer &server)
{
    return QString::number(server.serverPort());
}
} // namespace

void TestSend::demoServerSplitAnswerPrintsSameLines()
{
    const QByteArrayList requests{"##GETAIRPORTS~FILTER=F~MODE=3~WANTCITYCODE~WANTAIRPORTCODE~"
                                  "WANTCITYNAME~WANTAIRPORTNAME~~",
                                  "##GETAIRLINES~FILTER=~MODE=2~WANTAIRLINECODE~WANTAIRLINENAME~~"};
    FareServer whole;
    QVERIFY(whole.listen(QHostAddress::LocalHost, 0));
    FareServerOptions bytewise;
    bytewise.pieceBytes = 1;
    FareServer split(bytewise);
    QVERIFY(split.listen(QHostAddress::LocalHost, 0));
    const Run a = RunSend(With({"--port", Port(whole)}, requests));
    const Run b = RunSend(With({"--port", Port(split)}, requests));
    QVERIFY(a.finished && b.finished);
    QCOMPARE(a.exitCode, 0);
    QCOMPARE(b.exitCode, 0);
    QVERIFY(a.out.count('\n') > 5);
    QCOMPARE(b.out, a.out);
}

void TestSend::demoServerIncompleteRequestAndRepeat()
{
    FareServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    const Run incomplete =
        RunSend({"--timeout", "1", "--port", Port(server), "##GETAIRLINES~FILTER=L"});
    QVERIFY(incomplete.finished);
    QCOMPARE(incomplete.exitCode, 3);
    const Run repeated =
        RunSend({"--repeat", "200", "--port", Port(server), "##GETAIRLINES~FILTER=L~~"});
    QVERIFY(repeated.finished);
    QCOMPARE(repeated.exitCode, 0);
    for (const char *figure : {"min %1,", "median %1,", "p99 %1,", "max %1\n"})
        QVERIFY2(Figure(repeated.err, QString::fromLatin1(figure)) >= 0, repeated.err);
}

QTEST_GUILESS_MAIN(TestSend)
#include "tst_send.moc"
