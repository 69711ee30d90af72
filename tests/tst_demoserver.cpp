// The demo fare server driven over real TCP connections on 127.0.0.1, as
// the program and its tests use it.

#include "fareserver.h"
#include "requestreader.h"
#include "session/framing.h"
#include "testsupport.h"
#include "version.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using testsupport::Tilde;

namespace {

constexpr int kWaitMs = 20000;

// Console notation to request bytes, without the backslash-zero rule (the
// booking requests carry backslashes before digits).
QByteArray Wire(QByteArrayView notation)
{
    return ConvertConsoleText(notation, false);
}

QByteArray Padded(QByteArray bytes, qsizetype size)
{
    return bytes.leftJustified(size, '\0');
}

CStringArray Fields(QByteArrayView answer)
{
    CStringArray fields;
    SplitFieldBlock(answer, fields);
    return fields;
}

// A raw client: collects every byte and remembers how they arrived.
class WireClient
{
public:
    WireClient()
    {
        QObject::connect(&m_socket, &QTcpSocket::readyRead, &m_socket, [this] {
            const QByteArray bytes = m_socket.readAll();
            deliveries.append(bytes);
            received += bytes;
        });
    }

    bool connectTo(const FareServer &server)
    {
        m_socket.connectToHost(QHostAddress::LocalHost, server.serverPort());
        return m_socket.waitForConnected(kWaitMs);
    }

    void send(const QByteArray &bytes)
    {
        m_socket.write(bytes);
        m_socket.flush();
    }

    // Sends byte after byte, each written and offered to the server on its
    // own.
    void sendBytewise(const QByteArray &bytes)
    {
        for (const char byte : bytes) {
            send(QByteArray(1, byte));
            QCoreApplication::processEvents();
        }
    }

    // The next complete answer (up to and including its two closing NULs),
    // taken off the received bytes; nothing when none came in time.
    std::optional<QByteArray> takeAnswer()
    {
        const QByteArrayView end("\0\0", 2);
        if (!QTest::qWaitFor([&] { return received.contains(end); }, kWaitMs))
            return std::nullopt;
        const qsizetype size = received.indexOf(end) + 2;
        const QByteArray answer = received.first(size);
        received.remove(0, size);
        return answer;
    }

    std::optional<CStringArray> ask(const QByteArray &bytes)
    {
        send(bytes);
        const std::optional<QByteArray> answer = takeAnswer();
        return answer ? std::optional(Fields(*answer)) : std::nullopt;
    }

    bool waitForBytes(qsizetype count)
    {
        return QTest::qWaitFor([&] { return received.size() >= count; }, kWaitMs);
    }

    bool waitForDisconnect()
    {
        return QTest::qWaitFor(
            [&] { return m_socket.state() == QAbstractSocket::UnconnectedState; }, kWaitMs);
    }

    QTcpSocket &socket() { return m_socket; }

    QByteArray received;
    QList<QByteArray> deliveries;

private:
    QTcpSocket m_socket;
};

// The raw answer of a server without hostile options, as the reference for
// what a hostile one sends.
QByteArray PlainAnswer(const QByteArray &request)
{
    FareServer server;
    WireClient client;
    if (!server.listen(QHostAddress::LocalHost, 0) || !client.connectTo(server))
        return {};
    client.send(request);
    return client.takeAnswer().value_or(QByteArray());
}

// A plain POSIX client, which alone can tell a reset (ECONNRESET) from an
// orderly close (end of file).
class PosixClient
{
public:
    enum class End { Open, Closed, Reset };

    explicit PosixClient(quint16 port)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(m_fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~PosixClient()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    PosixClient(const PosixClient &) = delete;
    PosixClient &operator=(const PosixClient &) = delete;

    bool isConnected() const { return m_fd >= 0; }
    bool send(const QByteArray &bytes)
    {
        return ::send(m_fd, bytes.constData(), size_t(bytes.size()), 0) == bytes.size();
    }

    // Reads without blocking until the connection ends, the server's event
    // loop running in between.
    End readToEnd()
    {
        ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) | O_NONBLOCK);
        End end = End::Open;
        // Open after the wait means it timed out; the caller's check fails.
        [[maybe_unused]] const bool ended = QTest::qWaitFor(
            [&] {
                char buffer[4096];
                for (;;) {
                    const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
                    if (n > 0) {
                        received.append(buffer, n);
                        continue;
                    }
                    if (n == 0)
                        end = End::Closed;
                    else if (errno == ECONNRESET)
                        end = End::Reset;
                    return end != End::Open;
                }
            },
            kWaitMs);
        return end;
    }

    QByteArray received;

private:
    int m_fd = -1;
};

const QByteArray kQuery = "##STARTQUERY~DEPARTURE=FRA~ARRIVAL=NYC~ROUNDTRIP=1~RETURN=1~ECONOMY=1~"
                          "BUSINESS=0~FIRST=0~PASSTYPE=N~RETURNVALUETYPE=1~QUERYTYPE=1~~";
const QByteArray kBlockQuery = "##STARTQUERY~DEPARTURE=FRA~ARRIVAL=NYC~ROUNDTRIP=1~RETURN=1~"
                               "ECONOMY=1~BUSINESS=1~FIRST=0~PASSTYPE=N~RETURNVALUETYPE=2~"
                               "QUERYTYPE=1~~";
const QByteArray kAirports = "##GETAIRPORTS~FILTER=~MODE=3~WANTCITYCODE~WANTAIRPORTCODE~"
                             "WANTCITYNAME~WANTAIRPORTNAME~~";
const QByteArray kLufthansa = "##GETAIRLINES~FILTER=LH~MODE=2~WANTAIRLINECODE~WANTAIRLINENAME~~";
const QByteArray kAvailability = "##CRSGETAVAILABILITY~RECORDSET={0}~DEPDATE=15052000~"
                                 "DEPARTURE=FRA~ARRIVAL=NYC~DURATION=14~ROUNDTRIP=1~VIA=***~~";
const QByteArray kCrsBooking =
    "##CRSBOOKING~PASSENGER=SAMPLE\\TRAVELLER\\M\\ADT\\09011967~"
    "PASSENGER=SKYTRA\\MPER\\F\\ADT\\09011967~QUEUE=80~PHONEAGENCY=040-112233~"
    "RECEIVEDFROM=INTERNETBACKEND~AVAILABILITYIDOUT={1+5}~RESCLASSOUT={1@8}~TARIFFOUT=0~"
    "AVAILABILITYIDIN={3+5}~RESCLASSIN={3@8}~TARIFFIN=5~ROUNDTRIP=1~~";
const QByteArray kOneWayBooking =
    "##CRSBOOKING~PASSENGER=SAMPLE\\TRAVELLER\\M\\ADT\\09011967~QUEUE=80~"
    "PHONEAGENCY=040-112233~RECEIVEDFROM=INTERNETBACKEND~AVAILABILITYIDOUT={1+5}~"
    "RESCLASSOUT={1@8}~TARIFFOUT=0~CRS=1A~~";
const QByteArray kEmailBooking =
    "##EMAILBOOKING~TARIFFOUT=0~ROUNDTRIP=0~RESCLASSOUT=X~PASSENGER=TEST\\TESTER\\M\\ADT\\09011967~"
    "NAMECLIENT=CHIEF~PHONECLIENT=1111~RECORDSET=~AVAILABILITYIDOUT={1}~~";
const QByteArray kAvailableFares =
    "##GETAVAILABLEFARES~AMOUNTOFFARES=6~AMOUNTOFPUBLFARES=2~MAXIMUMFARES=8~"
    "SIMULTANEOUSAVAILS=6~CHECKAVAILABILITY=1~CHECKTAX=1~STARTFARE=1~NEWPAS=1~PASAMOUNT=1~"
    "PASTYPE=ADT~CURRENCY=DEM~FLIGHTTYPE=2~NEWLEG=1~DEPARTURE=FRA~ARRIVAL=NYC~"
    "DEPARTUREDATE=15052000~DEPARTURETIME=0800~ECONOMY=1~NEWLEG=2~DEPARTURE=NYC~ARRIVAL=FRA~"
    "DEPARTUREDATE=15062000~DEPARTURETIME=0800~ECONOMY=1~~";
const QByteArray kOptions =
    "##SETOPTIONS~MAXHITS=500~FARESPERREQUEST=25~DEPARTURESEPARATOR=, ~ENDOFSETTOKEN=\\EOS\\~"
    "USEENDOFSETTOKEN=0~ONLYMATCHINGAIRPORTS=1~DATEFORMAT=%D.%M.%Y~WDSURCHARGESUFFIX=*~"
    "MAKEDEFAULT=0~~";

// Fills placeholders from the previous answer the way the program picks
// lines: {n} line n whole, {n+5} line n from its sixth character on, {n@8}
// the ninth "@" piece of line n.
QByteArray Fill(QByteArray request, const CStringArray &previous)
{
    static const QRegularExpression placeholder(R"(\{(\d)(?:([+@])(\d))?\})");
    for (;;) {
        const QRegularExpressionMatch m = placeholder.match(QString::fromLatin1(request));
        if (!m.hasMatch())
            return request;
        const QByteArray line = previous.value(m.captured(1).toInt());
        QByteArray value = line;
        if (m.captured(2) == "+") {
            value = line.mid(m.captured(3).toInt());
        } else if (m.captured(2) == "@") {
            CStringArray pieces;
            SplitBySeparator(line, pieces, "@");
            value = pieces.value(m.captured(3).toInt());
        }
        request.replace(m.capturedStart(), m.capturedLength(), value);
    }
}

// Runs the requests one after the other on one connection, each filled
// from the answer before it; returns the last answer's raw bytes.
std::optional<QByteArray> RunSequence(WireClient &client, const QByteArrayList &requests)
{
    CStringArray previous;
    std::optional<QByteArray> answer;
    for (const QByteArray &request : requests) {
        client.send(Wire(Fill(request, previous)));
        answer = client.takeAnswer();
        if (!answer)
            return std::nullopt;
        previous = Fields(*answer);
    }
    return answer;
}

bool AllMatch(const CStringArray &lines, const QString &pattern)
{
    const QRegularExpression re(QRegularExpression::anchoredPattern(pattern));
    return std::all_of(lines.begin(), lines.end(), [&](const QByteArray &line) {
        return re.match(QString::fromLatin1(line)).hasMatch();
    });
}

const QString kFareLine =
    R"(\d{4}-[123]@FRA@(JFK|EWR|LGA)@[A-Z0-9]{2}@[YCF]@ADT@OPEN@RT@\d+\.00@EUR@[0-2])";
const QString kAvailabilityLine = R"((OUT01|INB01)AV\d{5}(@[^@]+){9})";

} // namespace

class TestDemoServer : public QObject
{
    Q_OBJECT

private slots:
    void readerReassemblesAnySplit_data();
    void readerReassemblesAnySplit();
    void readerDropsOversizedRequests_data();
    void readerDropsOversizedRequests();

    void everyCommandAnsweredInFraming_data();
    void everyCommandAnsweredInFraming();
    void requestInAnyShapeIsUnderstood_data();
    void requestInAnyShapeIsUnderstood();
    void pagingThroughBlocks_data();
    void pagingThroughBlocks();
    void fareLinesComeBackWithTheirFare();
    void bookingThenCancelByFileKey_data();
    void bookingThenCancelByFileKey();
    void refusedRequestsGetOneErrorLine_data();
    void refusedRequestsGetOneErrorLine();
    void fieldsAfterTheEndAreANewRequest();
    void closeConnectionCloses();
    void severalClientsAtOnce();

    void piecesWithPauses_data();
    void piecesWithPauses();
    void answerDelay();
    void lateTerminatorComesAlone();
    void omittedTerminatorNeverComes();
    void hugeAnswer_data();
    void hugeAnswer();
    void connectionEndsMidAnswer_data();
    void connectionEndsMidAnswer();

    void oversizedRequestIsDroppedWithErrorLine_data();
    void oversizedRequestIsDroppedWithErrorLine();
    void garbageNeverStopsTheServer();
    void clientVanishingMidAnswer();

    void executable_data();
    void executable();
    void executableStopsOnSigterm();
};

// --- stream reassembly ----------------------------------------------------

void TestDemoServer::readerReassemblesAnySplit_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QList<CStringArray>>("expected");

    QTest::newRow("one request") << Wire("##GETFAREBLOCK~2~~")
                                 << QList<CStringArray>{{"##GETFAREBLOCK", "2"}};
    QTest::newRow("padded requests")
        << Padded(Wire("##GETFAREBLOCK~2~~"), 100) + Padded(Wire("##GETFARE~4711-2~~"), 100)
        << QList<CStringArray>{{"##GETFAREBLOCK", "2"}, {"##GETFARE", "4711-2"}};
    QTest::newRow("booking's extra zero") << Wire("##CRSBOOKING~A=1~~") + '\0' + Wire("##X~~")
                                          << QList<CStringArray>{{"##CRSBOOKING", "A=1"}, {"##X"}};
    QTest::newRow("padding first")
        << QByteArray(7, '\0') + Wire("##A~B~~") << QList<CStringArray>{{"##A", "B"}};
    QTest::newRow("no end yet") << Wire("##A~B~") << QList<CStringArray>{};
}

// Every way of cutting the stream into two or three pieces gives the same
// requests as the whole stream.
void TestDemoServer::readerReassemblesAnySplit()
{
    QFETCH(QByteArray, stream);
    QFETCH(QList<CStringArray>, expected);
    for (qsizetype a = 0; a <= stream.size(); ++a) {
        for (qsizetype b = a; b <= stream.size(); b += 3) {
            RequestReader reader(1 << 20);
            QList<CStringArray> got;
            for (const QByteArray &piece :
                 {stream.first(a), stream.sliced(a, b - a), stream.sliced(b)})
                got += reader.feed(piece).requests;
            QCOMPARE(got, expected);
        }
    }
}

void TestDemoServer::readerDropsOversizedRequests_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<int>("pieceBytes");
    QTest::addColumn<int>("oversized");
    QTest::addColumn<QList<CStringArray>>("expected");

    // The reader under test holds at most 32 bytes.
    const QByteArray big = QByteArray("##A\0", 4) + QByteArray(40, 'x') + QByteArray("\0\0", 2);
    const QByteArray fits = QByteArray("##A\0", 4) + QByteArray(24, 'x') + QByteArray("\0\0", 2);
    const QByteArray next = Wire("##B~~");
    for (const int pieceBytes : {0, 1, 2, 7}) {
        const QByteArray tag = "pieces of " + QByteArray::number(pieceBytes);
        QTest::newRow("too long, " + tag)
            << big + next << pieceBytes << 1 << QList<CStringArray>{{"##B"}};
        QTest::newRow("two too long, " + tag)
            << big + big + next << pieceBytes << 2 << QList<CStringArray>{{"##B"}};
        QTest::newRow("just fits, " + tag)
            << fits + next << pieceBytes << 0
            << QList<CStringArray>{{"##A", QByteArray(24, 'x')}, {"##B"}};
    }
}

void TestDemoServer::readerDropsOversizedRequests()
{
    QFETCH(QByteArray, stream);
    QFETCH(int, pieceBytes);
    QFETCH(int, oversized);
    QFETCH(QList<CStringArray>, expected);
    RequestReader reader(32);
    QList<CStringArray> got;
    int dropped = 0;
    const qsizetype step = pieceBytes > 0 ? pieceBytes : stream.size();
    for (qsizetype pos = 0; pos < stream.size(); pos += step) {
        const ReadResult result = reader.feed(stream.mid(pos, step));
        got += result.requests;
        dropped += result.oversized;
        QVERIFY(reader.pendingBytes() <= 32);
    }
    QCOMPARE(dropped, oversized);
    QCOMPARE(got, expected);
}

// --- answers ----------------------------------------------------------------

void TestDemoServer::everyCommandAnsweredInFraming_data()
{
    QTest::addColumn<QByteArrayList>("requests");
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<QString>("everyLine");

    QTest::newRow("STARTQUERY recordsets") << QByteArrayList{kQuery} << kFareLine << kFareLine;
    QTest::newRow("STARTQUERY blocks")
        << QByteArrayList{kBlockQuery} << R"(.*@B1/\d+-5)"
        << R"(\d{4}-[123]@FRA@(JFK|EWR|LGA)@..@[YC]@ADT@OPEN@RT@\d+\.00@EUR@\d@B1/\d+-5)";
    QTest::newRow("GETFAREBLOCK") << QByteArrayList{kBlockQuery, "##GETFAREBLOCK~2~~"}
                                  << R"(.*@B2/\d+-5)"
                                  << R"(.*@B2/\d+-5)";
    QTest::newRow("GETFARE") << QByteArrayList{kBlockQuery, "##GETFARE~{0}~~"}
                             << R"(FARE=\d{4}-[123])"
                             << "[A-Z]+=.+";
    QTest::newRow("GETFAREFIELDFROMSET REMARKS")
        << QByteArrayList{kBlockQuery, "##GETFAREFIELDFROMSET~{0}~REMARKS~~"} << "REMARKS=.+"
        << "REMARKS=.+";
    QTest::newRow("GETFAREFIELDFROMSET PRICE")
        << QByteArrayList{kQuery, "##GETFAREFIELDFROMSET~{0}~PRICE~~"} << R"(PRICE=\d+\.00)"
        << R"(PRICE=\d+\.00)";
    QTest::newRow("GETAIRPORTS city") << QByteArrayList{"##GETAIRPORTS~FILTER=NYC~MODE=3~"
                                                        "WANTCITYCODE~WANTAIRPORTCODE~"
                                                        "WANTCITYNAME~WANTAIRPORTNAME~~"}
                                      << "NYC@JFK@NEW YORK@NEW YORK JOHN F KENNEDY"
                                      << "NYC@(JFK|EWR|LGA)@NEW YORK@NEW YORK .+";
    QTest::newRow("GETAIRPORTS names only")
        << QByteArrayList{"##GETAIRPORTS~FILTER=LON~WANTAIRPORTNAME~WANTAIRPORTCODE~~"}
        << "LONDON HEATHROW@LHR"
        << "LONDON [A-Z]+@(LHR|LGW|STN)";
    QTest::newRow("GETAIRLINES") << QByteArrayList{kLufthansa} << "LH@LUFTHANSA"
                                 << "LH@LUFTHANSA";
    QTest::newRow("GETAIRLINES codes only")
        << QByteArrayList{"##GETAIRLINES~FILTER=~WANTAIRLINECODE~~"} << "LH"
        << "[A-Z0-9]{2}";
    QTest::newRow("CRSGETAVAILABILITY")
        << QByteArrayList{kBlockQuery, kAvailability} << R"(TARIFF=\d)"
        << QString(R"(TARIFF=\d|CRS=1A|%1)").arg(kAvailabilityLine);
    QTest::newRow("CRSBOOKING round trip")
        << QByteArrayList{kBlockQuery, kAvailability, kCrsBooking} << "FILEKEY=[A-Z2-9]{6}"
        << R"([A-Z]+=.+)";
    QTest::newRow("CRSBOOKING one way")
        << QByteArrayList{kBlockQuery, kAvailability, kOneWayBooking} << "FILEKEY=[A-Z2-9]{6}"
        << R"([A-Z]+=.+)";
    QTest::newRow("EMAILBOOKING") << QByteArrayList{kBlockQuery, kAvailability, kEmailBooking}
                                  << "FILEKEY=[A-Z2-9]{6}"
                                  << R"([A-Z]+=.+)";
    QTest::newRow("CRSCANCELBOOKING")
        << QByteArrayList{kBlockQuery, kAvailability, kCrsBooking, "##CRSCANCELBOOKING~{0}~~"}
        << "FILEKEY=[A-Z2-9]{6}"
        << "(FILEKEY=[A-Z2-9]{6}|STATUS=CANCELLED)";
    QTest::newRow("GETAVAILABLEFARES")
        << QByteArrayList{kAvailableFares} << "FARES=6"
        << R"(FARES=6|\d@[A-Z0-9]{2}@FRA-JFK/JFK-FRA@15052000/15062000@.+@1 ADT@\d+\.00@DEM@(AVAILABLE|WAITLIST))";
    QTest::newRow("SETOPTIONS") << QByteArrayList{kOptions} << "OPTIONS=9"
                                << ".+=.*";
    QTest::newRow("SETOUTPUTMASK")
        << QByteArrayList{"##SETOUTPUTMASK~MASKTYPE=8~RECORDSET~FARENUMBER~IN_RECORDSET~~"}
        << "MASKTYPE=8"
        << "MASKTYPE=8|FIELDS=2|INBOUNDFIELDS=1";
    QTest::newRow("unknown command")
        << QByteArrayList{"##NOSUCHTHING~A=1~~"} << "ERROR=UNKNOWN COMMAND ##NOSUCHTHING"
        << "ERROR=UNKNOWN COMMAND ##NOSUCHTHING";
}

// Each answer is one run of non-empty NUL-terminated fields closed by an
// empty field, and nothing follows it.
void TestDemoServer::everyCommandAnsweredInFraming()
{
    QFETCH(QByteArrayList, requests);
    QFETCH(QString, firstLine);
    QFETCH(QString, everyLine);
    FareServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    WireClient client;
    QVERIFY(client.connectTo(server));

    const std::optional<QByteArray> answer = RunSequence(client, requests);
    QVERIFY(answer);
    QVERIFY2(answer->endsWith(QByteArray("\0\0", 2)), Tilde(*answer));
    QCOMPARE(answer->indexOf(QByteArrayView("\0\0", 2)), answer->size() - 2);
    QVERIFY(!answer->startsWith('\0'));
    const CStringArray lines = Fields(*answer);
    QVERIFY2(AllMatch(lines.first(1), firstLine), lines.value(0));
    QVERIFY2(AllMatch(lines, everyLine), Tilde(*answer));
    QVERIFY(client.received.isEmpty());
}

void TestDemoServer::requestInAnyShapeIsUnderstood_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<bool>("bytewise");

    const QByteArray airlines = Wire(kLufthansa);
    QTest::newRow("as typed") << airlines << false;
    QTest::newRow("single bytes") << airlines << true;
    QTest::newRow("padded to 8192") << Padded(airlines, 8192) << false;
    QTest::newRow("padded to 8192, single bytes") << Padded(airlines, 8192) << true;
    QTest::newRow("padded to 100") << Padded(airlines, 100) << false;
    QTest::newRow("padding before") << QByteArray(300, '\0') + airlines << false;
}

void TestDemoServer::requestInAnyShapeIsUnderstood()
{
    QFETCH(QByteArray, request);
    QFETCH(bool, bytewise);
    FareServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    WireClient client;
    QVERIFY(client.connectTo(server));

    for (int round = 0; round < 2; ++round) {
        if (bytewise)
            client.sendBytewise(request);
        else
            client.send(request);
        const std::optional<QByteArray> answer = client.takeAnswer();
        QVERIFY(answer);
        QCOMPARE(Fields(*answer), CStringArray{"LH@LUFTHANSA"});
    }
    QVERIFY(client.received.isEmpty());
}

void TestDemoServer::pagingThroughBlocks_data()
{
    QTest::addColumn<int>("perBlock");
    QTest::newRow("one fare per block") << 1;
    QTest::newRow("three per block") << 3;
    QTest::newRow("default size") << 0;
    QTest::newRow("all in one block") << 1000;
}

// Blocks hold the fares of the recordset answer, in order, none twice; the
// first line of every block ends in "-5" exactly when there are more blocks,
// and asking outside the blocks gives one error line.
void TestDemoServer::pagingThroughBlocks()
{
    QFETCH(int, perBlock);
    FareServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    WireClient client;
    QVERIFY(client.connectTo(server));

    const auto none = client.ask(Padded(Wire("##GETFAREBLOCK~1~~"), 100));
    QVERIFY(none);
    QCOMPARE(*none, CStringArray{"ERROR=NO QUERY ON THIS CONNECTION"});
    if (perBlock > 0)
        QVERIFY(client.ask(
            Wire("##SETOPTIONS~FARESPERREQUEST=" + QByteArray::number(perBlock) + "~~")));
    const auto all = client.ask(Padded(Wire(kQuery), 8192));
    const auto first =
        client.ask(Padded(Wire(QByteArray(kQuery).replace("TYPE=1~Q", "TYPE=2~Q")), 8192));
    QVERIFY(all && first && !first->isEmpty());
    const int size = perBlock > 0 ? perBlock : 10;
    const int blocks = int((all->size() + size - 1) / size);
    QVERIFY(AllMatch(*all, kFareLine));

    CStringArray paged;
    for (int block = 1; block <= blocks; ++block) {
        const auto lines =
            block == 1 ? first
                       : client.ask(Padded(
                             Wire("##GETFAREBLOCK~" + QByteArray::number(block) + "~~"), 100));
        QVERIFY(lines && !lines->isEmpty());
        QCOMPARE(lines->first().endsWith("-5"), blocks > 1);
        const QByteArray suffix = "@B" + QByteArray::number(block) + '/' +
                                  QByteArray::number(blocks) + (blocks > 1 ? "-5" : "");
        for (const QByteArray &line : *lines) {
            QVERIFY2(line.endsWith(suffix), line);
            paged.append(line.chopped(suffix.size()));
        }
    }
    QCOMPARE(paged, *all);
    for (const int outside : {blocks + 1, 0, -1}) {
        const auto error =
            client.ask(Padded(Wire("##GETFAREBLOCK~" + QByteArray::number(outside) + "~~"), 100));
        QVERIFY(error);
        QCOMPARE(error->size(), 1);
        QVERIFY2(error->first().startsWith("ERROR=BLOCK " + QByteArray::number(outside) +
                                           " DOES NOT EXIST"),
                 error->first());
    }
}

// A fare line sent back names its fare; an altered one is refused.
void TestDemoServer::fareLinesComeBackWithTheirFare()
{
    FareServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    WireClient client;
    QVERIFY(client.connectTo(server));
    const auto fares = client.ask(Wire(kBlockQuery));
    QVERIFY(fares && !fares->isEmpty());
    for (const QByteArray &line : *fares) {
        const auto details = client.ask(Padded(Wire("##GETFARE~" + line + "~~"), 100));
        QVERIFY(details);
        CStringArray pieces;
        SplitBySeparator(line, pieces, "@");
        QVERIFY(details->contains("FARE=" + pieces[0]));
        QVERIFY(details->contains("PRICE=" + pieces[8]));
        QVERIFY(details->contains("CURRENCY=" + pieces[9]));
    }
    QByteArray altered = fares->first();
    altered.replace("@ADT@", "@YTH@");
    const auto refused = client.ask(Padded(Wire("##GETFARE~" + altered + "~~"), 100));
    QVERIFY(refused);
    QCOMPARE(refused->size(), 1);
    QVERIFY(refused->first().startsWith("ERROR=UNKNOWN FARE"));
}

void TestDemoServer::bookingThenCancelByFileKey_data()
{
    QTest::addColumn<QByteArray>("booking");
    QTest::addColumn<bool>("extraZero");
    QTest::newRow("CRS round trip") << kCrsBooking << false;
    QTest::newRow("CRS one way") << kOneWayBooking << false;
    QTest::newRow("e-mail") << kEmailBooking << false;
    // The program's fixed booking block ends in one more zero byte.
    QTest::newRow("CRS with its extra zero byte") << kCrsBooking << true;
}

// The key from one connection cancels on another, in any case; a second
// cancel and an unknown key are refused.
void TestDemoServer::bookingThenCancelByFileKey()
{
    QFETCH(QByteArray, booking);
    QFETCH(bool, extraZero);
    FareServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    WireClient booker;
    WireClient canceller;
    QVERIFY(booker.connectTo(server) && canceller.connectTo(server));

    const auto availability = RunSequence(booker, {kBlockQuery, kAvailability});
    QVERIFY(availability);
    QByteArray request = Wire(Fill(booking, Fields(*availability)));
    if (extraZero)
        request += '\0';
    const auto confirmed = booker.ask(request);
    QVERIFY(confirmed && !confirmed->isEmpty());
    QVERIFY2(confirmed->first().startsWith("FILEKEY="), confirmed->first());
    const QByteArray key = confirmed->first().mid(8);
    QCOMPARE(key.size(), 6);

    const auto cancelled =
        canceller.ask(Wire("##CRSCANCELBOOKING~FILEKEY=" + key.toLower() + "~CRS=1A~~"));
    QVERIFY(cancelled);
    QCOMPARE(*cancelled, (CStringArray{"FILEKEY=" + key, "STATUS=CANCELLED"}));
    const auto again = canceller.ask(Wire("##CRSCANCELBOOKING~FILEKEY=" + key + "~~"));
    QVERIFY(again);
    QCOMPARE(*again, CStringArray{"ERROR=BOOKING " + key + " IS ALREADY CANCELLED"});
    const auto unknown = canceller.ask(Wire("##CRSCANCELBOOKING~FILEKEY=ZZZZZZ~~"));
    QVERIFY(unknown);
    QCOMPARE(*unknown, CStringArray{"ERROR=UNKNOWN FILEKEY ZZZZZZ"});
}

void TestDemoServer::refusedRequestsGetOneErrorLine_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QString>("error");

    QTest::newRow("unknown command") << Wire("##FOO~~") << "ERROR=UNKNOWN COMMAND ##FOO";
    QTest::newRow("no command") << Wire("HELLO~WORLD~~") << "ERROR=UNKNOWN COMMAND HELLO";
    QTest::newRow("binary") << QByteArray("\x01\xff\x80\0\0", 5) << "ERROR=UNKNOWN COMMAND .+";
    QTest::newRow("query without route")
        << Wire("##STARTQUERY~ROUNDTRIP=0~~") << "ERROR=DEPARTURE AND ARRIVAL ARE REQUIRED";
    QTest::newRow("unknown airport")
        << Wire("##STARTQUERY~DEPARTURE=XXX~ARRIVAL=JFK~~") << "ERROR=UNKNOWN AIRPORT XXX";
    QTest::newRow("unknown airline") << Wire("##STARTQUERY~DEPARTURE=FRA~ARRIVAL=JFK~AIRLINE=QQ~~")
                                     << "ERROR=UNKNOWN AIRLINE QQ";
    QTest::newRow("unknown currency")
        << Wire("##STARTQUERY~DEPARTURE=FRA~ARRIVAL=JFK~CURRENCY=XYZ~~")
        << "ERROR=UNKNOWN CURRENCY XYZ";
    QTest::newRow("bad block number")
        << Wire("##GETFAREBLOCK~TWO~~") << "ERROR=BAD BLOCK NUMBER TWO";
    QTest::newRow("empty fare line")
        << Padded(Wire("##GETFARE~~"), 100) << "ERROR=NO FARE LINE GIVEN";
    QTest::newRow("remarks without line")
        << Padded(Wire("##GETFAREFIELDFROMSET~~"), 100) << "ERROR=NO FARE LINE GIVEN";
    QTest::newRow("made-up fare") << Wire("##GETFARE~4711-2~~") << "ERROR=UNKNOWN FARE 4711-2";
    QTest::newRow("no airport matches")
        << Wire("##GETAIRPORTS~FILTER=QQQ~~") << "ERROR=NO AIRPORT MATCHES QQQ";
    QTest::newRow("availability without route")
        << Wire("##CRSGETAVAILABILITY~RECORDSET=~~") << "ERROR=NO VALID ROUTE FOR AVAILABILITY";
    QTest::newRow("booking of a made-up segment")
        << Wire(
               "##CRSBOOKING~PASSENGER=A\\B\\M\\ADT\\09011967~AVAILABILITYIDOUT=AV12345@LH@400@FRA@"
               "JFK@15052000@1010@1305@M@9~RESCLASSOUT=M~~")
        << "ERROR=UNKNOWN AVAILABILITYIDOUT AV12345.+";
    QTest::newRow("booking without passenger")
        << Wire("##CRSBOOKING~QUEUE=80~~") << "ERROR=NO PASSENGER GIVEN";
    QTest::newRow("cancel without key")
        << Wire("##CRSCANCELBOOKING~FILEKEY=~~") << "ERROR=NO FILEKEY GIVEN";
}

void TestDemoServer::refusedRequestsGetOneErrorLine()
{
    QFETCH(QByteArray, request);
    QFETCH(QString, error);
    FareServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    WireClient client;
    QVERIFY(client.connectTo(server));
    const auto answer = client.ask(request);
    QVERIFY(answer);
    QCOMPARE(answer->size(), 1);
    QVERIFY2(AllMatch(*answer, error), answer->first());
    // The connection goes on serving.
    const auto next = client.ask(Wire(kLufthansa));
    QVERIFY(next);
    QCOMPARE(*next, CStringArray{"LH@LUFTHANSA"});
}

// The program's remarks request for an empty line ends right after the
// command, yet carries "REMARKS" behind the end in its fixed block. The
// server cannot tell that from a second request and answers both.
void TestDemoServer::fieldsAfterTheEndAreANewRequest()
{
    FareServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    WireClient client;
    QVERIFY(client.connectTo(server));
    client.send(Padded(Wire("##GETFAREFIELDFROMSET~~REMARKS~"), 100));
    const auto first = client.takeAnswer();
    const auto second = client.takeAnswer();
    QVERIFY(first && second);
    QCOMPARE(Fields(*first), CStringArray{"ERROR=NO FARE LINE GIVEN"});
    QCOMPARE(Fields(*second), CStringArray{"ERROR=UNKNOWN COMMAND REMARKS"});
}

// Answers before the close still come; nothing after it is answered.
void TestDemoServer::closeConnectionCloses()
{
    FareServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    WireClient client;
    QVERIFY(client.connectTo(server));
    client.send(Wire(kLufthansa) + Padded(Wire("##CLOSECONNECTION~"), 8192) + Wire(kLufthansa));
    QVERIFY(client.waitForDisconnect());
    QCOMPARE(Fields(client.received), CStringArray{"LH@LUFTHANSA"});
    QCOMPARE(client.received.size(), qsizetype(QByteArray("LH@LUFTHANSA").size() + 2));
    QTRY_COMPARE(server.connectionCount(), 0);
}

// Interleaved requests on several connections each get their own answers,
// and each connection pages its own query.
void TestDemoServer::severalClientsAtOnce()
{
    FareServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    const QByteArrayList routes = {"FRA~ARRIVAL=NYC", "MUC~ARRIVAL=LON", "HAM~ARRIVAL=PAR",
                                   "ZRH~ARRIVAL=BKK"};
    std::vector<std::unique_ptr<WireClient>> clients;
    for (const QByteArray &route : routes) {
        clients.push_back(std::make_unique<WireClient>());
        QVERIFY(clients.back()->connectTo(server));
        clients.back()->send(Wire("##SETOPTIONS~FARESPERREQUEST=2~~##STARTQUERY~DEPARTURE=" +
                                  route + "~RETURNVALUETYPE=2~~##GETFAREBLOCK~2~~"));
    }
    QTRY_COMPARE(server.connectionCount(), int(routes.size()));
    for (qsizetype i = 0; i < routes.size(); ++i) {
        const QByteArray from = routes[i].first(3);
        QVERIFY(clients[i]->takeAnswer());
        for (const char *block : {"@B1/", "@B2/"}) {
            const auto answer = clients[i]->takeAnswer();
            QVERIFY(answer);
            for (const QByteArray &line : Fields(*answer)) {
                QVERIFY2(line.contains('@' + from + '@') && line.contains(block), line);
            }
        }
    }
}

// --- awkward and hostile behaviour ----------------------------------------

void TestDemoServer::piecesWithPauses_data()
{
    QTest::addColumn<int>("pieceBytes");
    QTest::addColumn<QByteArray>("request");
    QTest::newRow("1 byte") << 1 << Wire(kLufthansa);
    QTest::newRow("7 bytes") << 7 << Wire("##GETAIRPORTS~FILTER=L~~");
    QTest::newRow("100 bytes") << 100 << Wire(kAirports);
}

// The answer comes in several deliveries, the first no longer than a piece,
// and adds up to what a plain server sends.
void TestDemoServer::piecesWithPauses()
{
    QFETCH(int, pieceBytes);
    QFETCH(QByteArray, request);
    FareServerOptions options;
    options.pieceBytes = pieceBytes;
    options.piecePauseMs = pieceBytes == 1 ? 2 : 40;
    FareServer server(options);
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    WireClient client;
    QVERIFY(client.connectTo(server));

    const QByteArray plain = PlainAnswer(request);
    QVERIFY(plain.size() > 3 * pieceBytes);
    client.send(request);
    const auto answer = client.takeAnswer();
    QVERIFY(answer);
    QCOMPARE(*answer, plain);
    QVERIFY(client.deliveries.size() > 1);
    QVERIFY(client.deliveries.first().size() <= pieceBytes);
}

// The first byte comes no sooner than the delay, for every answer.
void TestDemoServer::answerDelay()
{
    FareServerOptions options;
    options.answerDelayMs = 150;
    FareServer server(options);
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    WireClient client;
    QVERIFY(client.connectTo(server));
    for (int round = 0; round < 2; ++round) {
        QElapsedTimer timer;
        timer.start();
        client.send(Wire(kLufthansa));
        QVERIFY(client.waitForBytes(1));
        QVERIFY2(timer.elapsed() >= options.answerDelayMs, QByteArray::number(timer.elapsed()));
        const auto answer = client.takeAnswer();
        QVERIFY(answer);
        QCOMPARE(Fields(*answer), CStringArray{"LH@LUFTHANSA"});
    }
}

// Everything but the final NUL arrives first; the final NUL arrives alone.
void TestDemoServer::lateTerminatorComesAlone()
{
    FareServerOptions options;
    options.terminatorDelayMs = 300;
    FareServer server(options);
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    WireClient client;
    QVERIFY(client.connectTo(server));
    const QByteArray plain = PlainAnswer(Wire(kAirports));

    client.send(Wire(kAirports));
    QVERIFY(client.waitForBytes(plain.size() - 1));
    QCOMPARE(client.received, plain.chopped(1));
    const auto answer = client.takeAnswer();
    QVERIFY(answer);
    QCOMPARE(*answer, plain);
    QCOMPARE(client.deliveries.last(), QByteArray(1, '\0'));
}

// Two answers in a row each end after their last field; had the first
// closing field been sent, it would have come before the second answer.
void TestDemoServer::omittedTerminatorNeverComes()
{
    FareServerOptions options;
    options.omitTerminator = true;
    FareServer server(options);
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    WireClient client;
    QVERIFY(client.connectTo(server));
    const QByteArray first = PlainAnswer(Wire(kLufthansa));
    const QByteArray second = PlainAnswer(Wire(kAirports));

    client.send(Wire(kLufthansa) + Wire(kAirports));
    const QByteArray expected = first.chopped(1) + second.chopped(1);
    QVERIFY(client.waitForBytes(expected.size()));
    QCOMPARE(client.received, expected);
    QVERIFY(!client.received.contains(QByteArrayView("\0\0", 2)));
}

void TestDemoServer::hugeAnswer_data()
{
    QTest::addColumn<qint64>("lines");
    QTest::newRow("1 line") << qint64(1);
    QTest::newRow("3 lines") << qint64(3);
    QTest::newRow("100000 lines") << qint64(100000);
}

void TestDemoServer::hugeAnswer()
{
    QFETCH(qint64, lines);
    FareServerOptions options;
    options.hugeAnswerLines = lines;
    FareServer server(options);
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    WireClient client;
    QVERIFY(client.connectTo(server));

    client.send(Padded(Wire(kBlockQuery), 8192));
    const auto answer = client.takeAnswer();
    QVERIFY(answer);
    QCOMPARE(answer->size(), lines * 120 + 1);
    const CStringArray fields = Fields(*answer);
    QCOMPARE(fields.size(), lines);
    for (qint64 i = 0; i < lines; i += std::max<qint64>(1, lines / 97)) {
        const QByteArray number = QByteArray::number(i + 1).rightJustified(10, '0');
        QCOMPARE(fields[i].size(), 119);
        QVERIFY2(fields[i].startsWith(number + "-2@"), fields[i]);
        QVERIFY(fields[i].contains("LINE " + number + " OF "));
    }
    // Only queries are huge.
    const auto other = client.ask(Wire(kLufthansa));
    QVERIFY(other);
    QCOMPARE(*other, CStringArray{"LH@LUFTHANSA"});
}

void TestDemoServer::connectionEndsMidAnswer_data()
{
    QTest::addColumn<bool>("closeMidField");
    QTest::addColumn<bool>("resetMidAnswer");
    QTest::addColumn<QByteArray>("request");

    QTest::newRow("close mid field") << true << false << Wire(kAirports);
    QTest::newRow("close mid field, short answer") << true << false << Wire(kLufthansa);
    QTest::newRow("reset mid answer") << false << true << Wire(kAirports);
    QTest::newRow("reset mid answer, short answer") << false << true << Wire(kLufthansa);
    QTest::newRow("close request") << false << false << Padded(Wire("##CLOSECONNECTION~"), 8192);
}

// The client sees exactly the promised part of the answer, then an orderly
// end of file or a reset.
void TestDemoServer::connectionEndsMidAnswer()
{
    QFETCH(bool, closeMidField);
    QFETCH(bool, resetMidAnswer);
    QFETCH(QByteArray, request);
    FareServerOptions options;
    options.closeMidField = closeMidField;
    options.resetMidAnswer = resetMidAnswer;
    FareServer server(options);
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    const QByteArray plain = closeMidField || resetMidAnswer ? PlainAnswer(request) : QByteArray();

    PosixClient client(server.serverPort());
    QVERIFY(client.isConnected());
    QVERIFY(client.send(request));
    const PosixClient::End end = client.readToEnd();
    QCOMPARE(end, resetMidAnswer ? PosixClient::End::Reset : PosixClient::End::Closed);
    if (closeMidField) {
        const qsizetype firstField = plain.indexOf('\0');
        QCOMPARE(client.received, plain.first(std::max<qsizetype>(1, firstField / 2)));
    } else if (resetMidAnswer) {
        QCOMPARE(client.received, plain.first(plain.size() / 2));
    } else {
        QCOMPARE(client.received, QByteArray());
    }
    QTRY_COMPARE(server.connectionCount(), 0);
}

// --- bad input --------------------------------------------------------------

void TestDemoServer::oversizedRequestIsDroppedWithErrorLine_data()
{
    QTest::addColumn<qsizetype>("limit");
    QTest::addColumn<qsizetype>("fieldBytes");
    QTest::addColumn<int>("writes");

    QTest::newRow("3 MiB field, default limit") << qsizetype(0) << qsizetype(3 << 20) << 1;
    QTest::newRow("3 MiB field in 50 writes") << qsizetype(0) << qsizetype(3 << 20) << 50;
    QTest::newRow("small limit") << qsizetype(64) << qsizetype(65) << 1;
    QTest::newRow("small limit, bytewise") << qsizetype(64) << qsizetype(200) << 300;
}

// One error line for the dropped request, and the request after it is
// answered as usual.
void TestDemoServer::oversizedRequestIsDroppedWithErrorLine()
{
    QFETCH(qsizetype, limit);
    QFETCH(qsizetype, fieldBytes);
    QFETCH(int, writes);
    FareServerOptions options;
    if (limit > 0)
        options.maxRequestBytes = limit;
    FareServer server(options);
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    WireClient client;
    QVERIFY(client.connectTo(server));

    const QByteArray stream = Wire("##STARTQUERY~DEPARTURE=") + QByteArray(fieldBytes, 'A') +
                              Wire("~~") + Wire(kLufthansa);
    const qsizetype step = (stream.size() + writes - 1) / writes;
    for (qsizetype pos = 0; pos < stream.size(); pos += step) {
        client.send(stream.mid(pos, step));
        QCoreApplication::processEvents();
    }
    const auto dropped = client.takeAnswer();
    QVERIFY(dropped);
    QCOMPARE(Fields(*dropped).size(), 1);
    QVERIFY2(Fields(*dropped).first().startsWith("ERROR=REQUEST TOO LONG, MORE THAN " +
                                                 QByteArray::number(options.maxRequestBytes)),
             *dropped);
    const auto next = client.takeAnswer();
    QVERIFY(next);
    QCOMPARE(Fields(*next), CStringArray{"LH@LUFTHANSA"});
}

// Random bytes give error lines or nothing, and once they are closed off
// the connection answers a real request.
void TestDemoServer::garbageNeverStopsTheServer()
{
    FareServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    WireClient client;
    QVERIFY(client.connectTo(server));
    QRandomGenerator random(4711);
    QByteArray garbage(200000, Qt::Uninitialized);
    for (char &c : garbage)
        c = char(random.bounded(8) == 0 ? 0 : random.bounded(256));
    client.send(garbage + QByteArray("\0\0", 2) + Wire(kLufthansa));

    std::optional<QByteArray> answer;
    while ((answer = client.takeAnswer()) && Fields(*answer) != CStringArray{"LH@LUFTHANSA"}) {
        QCOMPARE(Fields(*answer).size(), 1);
        QVERIFY(Fields(*answer).first().startsWith("ERROR="));
    }
    QVERIFY(answer);
}

// A client that leaves during a large answer takes its connection with it;
// the server serves the next client.
void TestDemoServer::clientVanishingMidAnswer()
{
    FareServerOptions options;
    options.hugeAnswerLines = 2'000'000;
    FareServer server(options);
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    {
        WireClient leaving;
        QVERIFY(leaving.connectTo(server));
        leaving.send(Wire(kQuery));
        QVERIFY(leaving.waitForBytes(1 << 20));
        leaving.socket().abort();
    }
    QTRY_COMPARE(server.connectionCount(), 0);
    WireClient next;
    QVERIFY(next.connectTo(server));
    const auto answer = next.ask(Wire(kLufthansa));
    QVERIFY(answer);
    QCOMPARE(*answer, CStringArray{"LH@LUFTHANSA"});
}

// --- the executable ---------------------------------------------------------

namespace {

QString ServerProgram()
{
    return QCoreApplication::applicationDirPath() + "/../server/fareprobe-server";
}

} // namespace

void TestDemoServer::executable_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("exitCode");

    QTest::newRow("version") << QStringList{"--version"}
                             << QStringList{"fareprobe-server " FAREPROBE_VERSION} << 0;
    QTest::newRow("help") << QStringList{"--help"}
                          << QStringList{"--host",
                                         "--port",
                                         "--verbose",
                                         "--piece-bytes",
                                         "--piece-pause",
                                         "--late-terminator",
                                         "--answer-delay",
                                         "--huge-answer",
                                         "--close-mid-field",
                                         "--reset-mid-answer",
                                         "--no-terminator",
                                         "--max-request-bytes"}
                          << 0;
    QTest::newRow("bad port") << QStringList{"--port", "70000"} << QStringList{"--port"} << 2;
    QTest::newRow("bad host") << QStringList{"--host", "nowhere"} << QStringList{"--host"} << 2;
}

void TestDemoServer::executable()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, expected);
    QFETCH(int, exitCode);
    QProcess process;
    process.start(ServerProgram(), arguments);
    QVERIFY2(process.waitForFinished(kWaitMs), qPrintable(process.errorString()));
    QCOMPARE(process.exitCode(), exitCode);
    const QString output = process.readAllStandardOutput() + process.readAllStandardError();
    for (const QString &text : expected)
        QVERIFY2(output.contains(text), qPrintable(output));
}

// Started on a free port it answers, logs with --verbose, and ends with exit
// code 0 on SIGTERM.
void TestDemoServer::executableStopsOnSigterm()
{
    QProcess process;
    process.start(ServerProgram(), {"--port", "0", "--verbose"});
    QVERIFY(process.waitForStarted(kWaitMs));
    QByteArray log;
    const QRegularExpression listening("listening on 127\\.0\\.0\\.1:(\\d+)");
    QRegularExpressionMatch match;
    QVERIFY(QTest::qWaitFor(
        [&] {
            log += process.readAllStandardError();
            match = listening.match(QString::fromLatin1(log));
            return match.hasMatch();
        },
        kWaitMs));

    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, quint16(match.captured(1).toUInt()));
    QVERIFY(socket.waitForConnected(kWaitMs));
    socket.write(Wire(kLufthansa));
    QByteArray answer;
    QVERIFY(QTest::qWaitFor(
        [&] {
            answer += socket.readAll();
            return answer.endsWith(QByteArray("\0\0", 2));
        },
        kWaitMs));
    QCOMPARE(Fields(answer), CStringArray{"LH@LUFTHANSA"});
    QVERIFY(QTest::qWaitFor(
        [&] {
            log += process.readAllStandardError();
            return log.contains("answer: 1 lines, 14 bytes");
        },
        kWaitMs));
    QVERIFY2(log.contains("request: " + kLufthansa), log);

    process.terminate();
    QVERIFY(process.waitForFinished(kWaitMs));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestDemoServer)
#include "tst_demoserver.moc"
