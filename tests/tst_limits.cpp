// Operator input at the limits, end to end through the window: what the
// operator types or selects is either sent whole, inside its area, or not
// at all with the German warning that says by how much it is too long.
// Fields of 0 and 1 bytes, the exact limit, one byte more, and every byte
// value 0x01..0xFF.

#include "queries/farerequests.h"
#include "requests/servicerequests.h"
#include "session/inetsocket.h"
#include "session/wiretext.h"
#include "testsupport.h"
#include "ui/querydlg.h"
#include "ui/querydlg_layout.h"
#include "ui/widgets.h"

#include <QSignalSpy>
#include <QTest>

using namespace testsupport;

namespace {

constexpr int kWaitMs = 10000;

enum class Browse { Fare, Remarks };
enum class Size { Zero, One, Limit, LimitPlusOne, EveryByte };

QByteArray ByteRange(int first, int last)
{
    QByteArray bytes;
    for (int b = first; b <= last; ++b)
        bytes.append(char(b));
    return bytes;
}

QByteArray Nul(QByteArray tildeText)
{
    return tildeText.replace('~', '\0');
}

// The bytes a request of these fields needs in its area: each field with its
// NUL, and the closing zero byte.
qsizetype Needed(const QByteArrayList &fields)
{
    qsizetype n = 1;
    for (const QByteArray &f : fields)
        n += f.size() + 1;
    return n;
}

// A fixed area holding the fields, each with its NUL, zeros behind them.
QByteArray Laid(const QByteArrayList &fields, qsizetype size)
{
    QByteArray area;
    for (const QByteArray &f : fields)
        area += f + '\0';
    return area.leftJustified(size, '\0');
}

struct QueryField
{
    int control;
    const char *key; // as it goes out before the value
    // Bytes the request needs beyond this field's own "KEY=value" and NUL.
    qsizetype companion;
};

} // namespace

Q_DECLARE_METATYPE(Browse)
Q_DECLARE_METATYPE(Size)

class TestLimits : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void fareAndRemarksLine_data();
    void fareAndRemarksLine();
    void startQueryField_data();
    void startQueryField();
    void supplierPieces_data();
    void supplierPieces();
    void composedRequests_data();
    void composedRequests();

private:
    void connectWindow();
    // A round trip that proves nothing else reached the server before it.
    void expectNothingSent();
    // The fare query's bytes for the form as it stands, through the window.
    QByteArray sendQuery();
    std::unique_ptr<TempSettings> m_settings;
    std::unique_ptr<NotifierRecorder> m_notes;
    std::unique_ptr<FixtureServer> m_server;
    SavedCopies m_saved;
    std::unique_ptr<CQueryDlg> m_dlg;
};

void TestLimits::init()
{
    m_settings = std::make_unique<TempSettings>();
    m_notes = std::make_unique<NotifierRecorder>();
    m_server = std::make_unique<FixtureServer>();
    m_saved = SavedCopies{"FRA", "NYC", "", "127.0.0.1", m_server->port()};
    m_dlg = std::make_unique<CQueryDlg>(m_saved);
    m_dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dlg.get()));
}

void TestLimits::cleanup()
{
    m_dlg.reset();
    m_server.reset();
    m_notes.reset();
    m_settings.reset();
}

void TestLimits::connectWindow()
{
    m_dlg->ConnectToServer();
    QVERIFY(m_dlg->m_pSocket && m_dlg->m_pSocket->isConnected());
    QTRY_COMPARE(m_server->connectionCount(), 1);
}

void TestLimits::expectNothingSent()
{
    m_dlg->control<CFormEdit>(Ctrl::Message)->setWireText("##PING~~");
    m_dlg->OnSendMessage();
    QTRY_COMPARE_WITH_TIMEOUT(m_server->received(), Nul("##PING~~"), kWaitMs);
}

QByteArray TestLimits::sendQuery()
{
    m_server->take();
    m_dlg->OnFlightQuery();
    if (!QTest::qWaitFor([this] { return m_server->received().size() >= 8192; }, kWaitMs))
        return {};
    return m_server->take();
}

void TestLimits::fareAndRemarksLine_data()
{
    QTest::addColumn<Browse>("kind");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<qsizetype>("overflow");

    const QByteArray every = ByteRange(0x01, 0xFF);
    for (const auto &[kind, name, limit] :
         {std::tuple{Browse::Fare, "fare", 88}, std::tuple{Browse::Remarks, "remarks", 68}}) {
        QTest::addRow("%s, no line", name) << kind << QByteArray() << qsizetype(0);
        QTest::addRow("%s, 1 byte", name) << kind << QByteArray("X") << qsizetype(0);
        QTest::addRow("%s, exact limit", name) << kind << QByteArray(limit, 'L') << qsizetype(0);
        QTest::addRow("%s, limit + 1", name) << kind << QByteArray(limit + 1, 'L') << qsizetype(1);
        for (qsizetype pos = 0; pos < every.size(); pos += limit) {
            const QByteArray piece = every.mid(pos, limit);
            QTest::addRow("%s, bytes 0x%02x-0x%02x", name, uchar(piece.front()),
                          uchar(piece.back()))
                << kind << piece << qsizetype(0);
        }
        QTest::addRow("%s, every byte in one line", name)
            << kind << every << qsizetype(every.size() - limit);
    }
}

// The line arrives from the server, is selected, and the button is pressed.
void TestLimits::fareAndRemarksLine()
{
    QFETCH(Browse, kind);
    QFETCH(QByteArray, line);
    QFETCH(qsizetype, overflow);
    connectWindow();
    if (!line.isEmpty()) {
        QSignalSpy done(m_dlg.get(), &CQueryDlg::answerCompleted);
        m_server->send(line + Nul("~~"));
        QVERIFY(done.wait(kWaitMs));
        QCOMPARE(m_dlg->m_listResults->text(0), line);
        m_dlg->m_listResults->setCurrentIndex(m_dlg->m_listResults->model()->index(0, 0));
    }
    m_dlg->m_strMessage = "BEFORE";
    m_dlg->UpdateData(false);
    QTest::mouseClick(m_dlg->control(kind == Browse::Fare ? Ctrl::GetTariff : Ctrl::Remarks),
                      Qt::LeftButton);
    QCOMPARE(m_dlg->m_listResults->count(), qsizetype(0));
    if (overflow > 0) {
        QCOMPARE(m_notes->messages, QStringList{TooLongMessage(overflow)});
        QCOMPARE(m_dlg->m_strMessage, QByteArray("BEFORE"));
        expectNothingSent();
        return;
    }
    const QByteArrayList fields = kind == Browse::Fare
                                      ? QByteArrayList{"##GETFARE", line}
                                      : QByteArrayList{"##GETFAREFIELDFROMSET", line, "REMARKS"};
    QTRY_COMPARE_WITH_TIMEOUT(m_server->received().size(), qsizetype(100), kWaitMs);
    QCOMPARE(Tilde(m_server->received()), Tilde(Laid(fields, 100)));
    QVERIFY(m_notes->messages.isEmpty());
    // The echo ends where the server's reading ends: at the first empty field.
    QCOMPARE(m_dlg->m_strMessage, FieldsToNotation(Fields(Laid(fields, 100))));
}

void TestLimits::startQueryField_data()
{
    QTest::addColumn<int>("control");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<qsizetype>("companion");
    QTest::addColumn<Size>("size");

    const QueryField fields[] = {
        {Ctrl::Departure, "DEPARTURE=", 0},
        // A differing open-jaw airport also marks the query as open jaw.
        {Ctrl::OJDeparture, "INBOUNDDEPARTURE=", 10},
        {Ctrl::OJArrival, "INBOUNDARRIVAL=", 10},
        {Ctrl::Arrival, "ARRIVAL=", 0},
        {Ctrl::DepDate, "DEPARTUREDATE=", 0},
        {Ctrl::Airline1, "AIRLINE=", 0},
        {Ctrl::Airline2, "AIRLINE=", 0},
        {Ctrl::Airline3, "AIRLINE=", 0},
        {Ctrl::Tolerance, "TOLERANCE=", 0},
        {Ctrl::RTDepDate, "DURATION=", 0},
        {Ctrl::Currency, "CURRENCY=", 0},
        {Ctrl::Stops1, "STOP=", 0},
        {Ctrl::Stops2, "STOP=", 0},
        {Ctrl::Stops3, "STOP=", 0},
    };
    const std::pair<Size, const char *> sizes[] = {{Size::Zero, "0 bytes"},
                                                   {Size::One, "1 byte"},
                                                   {Size::Limit, "exact limit"},
                                                   {Size::LimitPlusOne, "limit + 1"},
                                                   {Size::EveryByte, "every byte 0x01-0xFF"}};
    for (const QueryField &f : fields) {
        for (const auto &[size, name] : sizes) {
            QTest::addRow("%d %s %s", f.control, f.key, name)
                << f.control << QByteArray(f.key) << f.companion << size;
        }
    }
}

// One field grows until the query fills its 8192 bytes exactly, then one
// byte more.
void TestLimits::startQueryField()
{
    QFETCH(int, control);
    QFETCH(QByteArray, key);
    QFETCH(qsizetype, companion);
    QFETCH(Size, size);
    connectWindow();
    auto *edit = m_dlg->control<CFormEdit>(control);
    // The rest of the query, measured on the wire with this field empty.
    edit->clear();
    const QByteArray empty = sendQuery();
    QCOMPARE(empty.size(), qsizetype(8192));
    const qsizetype rest = Needed(Fields(empty));
    const qsizetype limit = 8192 - rest - companion - key.size() - 1;
    QVERIFY(limit > 8000);

    QByteArray value;
    switch (size) {
    case Size::Zero:
        break;
    case Size::One:
        value = "7";
        break;
    case Size::Limit:
        value = QByteArray(limit, '7');
        break;
    case Size::LimitPlusOne:
        value = QByteArray(limit + 1, '7');
        break;
    case Size::EveryByte:
        value = ByteRange(0x01, 0xFF);
        break;
    }
    edit->setWireText(value);
    // Upper-case edits turn letters into capitals as the operator sees them.
    const QByteArray shown = edit->wireText();
    QCOMPARE(shown.size(), value.size());
    m_notes->messages.clear();
    m_server->take();
    m_dlg->OnFlightQuery();
    if (size == Size::LimitPlusOne) {
        QCOMPARE(m_notes->messages, QStringList{TooLongMessage(1)});
        expectNothingSent();
        return;
    }
    QTRY_COMPARE_WITH_TIMEOUT(m_server->received().size(), qsizetype(8192), kWaitMs);
    const QByteArray wire = m_server->take();
    QVERIFY(m_notes->messages.isEmpty());
    const QByteArrayList sent = Fields(wire);
    if (value.isEmpty()) {
        QCOMPARE(sent, Fields(empty));
        return;
    }
    QVERIFY2(sent.contains(key + shown), key);
    QCOMPARE(Needed(sent), rest + companion + key.size() + shown.size() + 1);
    if (size == Size::Limit) {
        // Filled to the last byte: only the closing zero is left.
        QCOMPARE(wire.at(8191), '\0');
        QCOMPARE(wire.at(8190), '\0');
        QVERIFY(wire.at(8189) != '\0');
    }
    QCOMPARE(m_dlg->m_strMessage, FieldsToNotation(sent));
}

void TestLimits::supplierPieces_data()
{
    QTest::addColumn<Size>("size");
    QTest::newRow("0 bytes") << Size::Zero;
    QTest::newRow("1 byte") << Size::One;
    QTest::newRow("longest that fits") << Size::Limit;
    QTest::newRow("one byte more") << Size::LimitPlusOne;
    QTest::newRow("every byte 0x01-0xFF") << Size::EveryByte;
}

// The supplier goes out in pieces of three, each a field of its own, so its
// limit falls where the next piece no longer fits.
void TestLimits::supplierPieces()
{
    QFETCH(Size, size);
    connectWindow();
    auto *edit = m_dlg->control<CFormEdit>(Ctrl::Supplier);
    edit->clear();
    const QByteArray empty = sendQuery();
    const qsizetype rest = Needed(Fields(empty));
    const auto needed = [rest](qsizetype length) {
        return rest + length + (length + 2) / 3 * qsizetype(sizeof "SUPPLIER=");
    };
    qsizetype longest = 0;
    while (needed(longest + 1) <= 8192)
        ++longest;

    QByteArray value;
    if (size == Size::One)
        value = "S";
    else if (size == Size::Limit)
        value = QByteArray(longest, 'S');
    else if (size == Size::LimitPlusOne)
        value = QByteArray(longest + 1, 'S');
    else if (size == Size::EveryByte)
        value = ByteRange(0x01, 0xFF);
    edit->setWireText(value);
    const QByteArray shown = edit->wireText();
    m_notes->messages.clear();
    m_server->take();
    m_dlg->OnFlightQuery();
    if (size == Size::LimitPlusOne) {
        QCOMPARE(m_notes->messages, QStringList{TooLongMessage(needed(longest + 1) - 8192)});
        expectNothingSent();
        return;
    }
    QTRY_COMPARE_WITH_TIMEOUT(m_server->received().size(), qsizetype(8192), kWaitMs);
    const QByteArrayList sent = Fields(m_server->take());
    QByteArray joined;
    for (const QByteArray &f : sent) {
        if (f.startsWith("SUPPLIER=")) {
            QVERIFY(f.size() <= 12);
            joined += f.mid(9);
        }
    }
    QCOMPARE(joined, shown);
    QCOMPARE(Needed(sent), needed(shown.size()));
}

void TestLimits::composedRequests_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("text");

    // Composed requests have no fixed area: whatever their size, they leave
    // whole, through the console's conversion.
    const QByteArray every = ByteRange(0x01, 0xFF);
    const QByteArray huge(40000, 'H');
    for (const auto &[command, name] :
         {std::pair{Ctrl::AirportCodes, "airports"}, std::pair{Ctrl::AirlineCodes, "airlines"},
          std::pair{Ctrl::Availability, "availability"}, std::pair{Ctrl::CancelBooking, "cancel"},
          std::pair{Ctrl::SendMessage, "console"}}) {
        QTest::addRow("%s, 0 bytes", name) << int(command) << QByteArray();
        QTest::addRow("%s, 1 byte", name) << int(command) << QByteArray("Q");
        QTest::addRow("%s, every byte", name) << int(command) << every;
        QTest::addRow("%s, 40000 bytes", name) << int(command) << huge;
    }
}

// Airports take the departure, airlines airline 1, availability and cancel
// the selected line, the console the message field.
void TestLimits::composedRequests()
{
    QFETCH(int, command);
    QFETCH(QByteArray, text);
    connectWindow();
    QByteArray expected;
    switch (command) {
    case Ctrl::AirportCodes:
        m_dlg->control<CFormEdit>(Ctrl::Departure)->setWireText(text);
        m_dlg->UpdateData(true);
        expected = ComposeAirportCodes(*m_dlg);
        break;
    case Ctrl::AirlineCodes:
        m_dlg->control<CFormEdit>(Ctrl::Airline1)->setWireText(text);
        m_dlg->UpdateData(true);
        expected = ComposeAirlineCodes(*m_dlg);
        break;
    case Ctrl::Availability:
    case Ctrl::CancelBooking: {
        if (!text.isEmpty()) {
            QSignalSpy done(m_dlg.get(), &CQueryDlg::answerCompleted);
            m_server->send(text + Nul("~~"));
            QVERIFY(done.wait(kWaitMs));
            QCOMPARE(m_dlg->m_listResults->text(0), text);
        }
        m_dlg->UpdateData(true);
        QueryForm form = *m_dlg;
        if (command == Ctrl::Availability) {
            ApplyDurationRule(form);
            expected = ComposeAvailability(form, text);
        } else {
            expected = ComposeCancelBooking(form, text);
        }
        break;
    }
    case Ctrl::SendMessage:
        m_dlg->control<CFormEdit>(Ctrl::Message)->setWireText(text);
        // The message field is an upper-case edit.
        expected = m_dlg->control<CFormEdit>(Ctrl::Message)->wireText();
        QCOMPARE(expected.size(), text.size());
        break;
    }
    // The composed text passes through the upper-case message field.
    expected = TextToWire(WireUpper(WireToText(expected)));
    m_server->take();
    QTest::mouseClick(m_dlg->control(command), Qt::LeftButton);
    const QByteArray wire = ConvertConsoleText(expected);
    QTRY_COMPARE_WITH_TIMEOUT(m_server->received().size(), wire.size(), kWaitMs);
    QCOMPARE(m_server->received(), wire);
    QVERIFY(m_notes->messages.isEmpty());
    QCOMPARE(m_dlg->m_aMessageHistory.constLast(), expected);
}

QTEST_MAIN(TestLimits)
#include "tst_limits.moc"
