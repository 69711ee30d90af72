// Framing helpers, the console conversion, the wire text table and the
// reassembly of the answer stream.

#include "session/answerassembler.h"
#include "session/framing.h"
#include "session/wiretext.h"
#include "testsupport.h"

#include <QTest>

using testsupport::Tilde;

namespace {

QByteArray Bytes(const char *tildeText)
{
    return QByteArray(tildeText).replace('~', '\0');
}

struct Recorder : AnswerAssembler::Sink
{
    QList<QByteArray> events; // lines, and "<end>" for each completion
    void answerLine(QByteArrayView line) override { events.append(line.toByteArray()); }
    void answerComplete() override { events.append("<end>"); }
};

} // namespace

class TestFraming : public QObject
{
    Q_OBJECT
private slots:
    void splitFieldBlock_data();
    void splitFieldBlock();
    void splitFieldBlockAppendsToEarlierItems();
    void splitBySeparator_data();
    void splitBySeparator();
    void splitBySeparatorCountsEarlierItems();
    void consoleConversion_data();
    void consoleConversion();
    void fieldsToNotation_data();
    void fieldsToNotation();
    void requestArea();
    void wireTextRoundTripsEveryByte();
    void wireUpper_data();
    void wireUpper();
    void assemblerSplits_data();
    void assemblerSplits();
    void assemblerEverySplitGivesSameResult();
    void assemblerPartialOnClose();
};

void TestFraming::splitFieldBlock_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<QByteArrayList>("fields");
    QTest::newRow("first byte NUL") << Bytes("~abc~~") << QByteArrayList{};
    QTest::newRow("fare block request") << Bytes("##GETFAREBLOCK~2~~") << QByteArrayList{"##GETFAREBLOCK", "2"};
    QTest::newRow("stops at first empty text") << Bytes("a~b~~c~~") << QByteArrayList{"a", "b"};
    QTest::newRow("padding after end") << Bytes("X~~~~~~~") << QByteArrayList{"X"};
    QTest::newRow("no terminator inside view") << QByteArray("abc") << QByteArrayList{"abc"};
    QTest::newRow("empty view") << QByteArray() << QByteArrayList{};
    QTest::newRow("high bytes") << Bytes("\xe4\xff~\x80~~") << QByteArrayList{"\xe4\xff", "\x80"};
}

void TestFraming::splitFieldBlock()
{
    QFETCH(QByteArray, block);
    QFETCH(QByteArrayList, fields);
    CStringArray list;
    QCOMPARE(SplitFieldBlock(block, list), int(fields.size()));
    QCOMPARE(list, fields);
}

void TestFraming::splitFieldBlockAppendsToEarlierItems()
{
    CStringArray list{"old"};
    QCOMPARE(SplitFieldBlock(Bytes("~"), list), 1);
    QCOMPARE(SplitFieldBlock(Bytes("a~b~~"), list), 3);
    QCOMPARE(list, (CStringArray{"old", "a", "b"}));
}

void TestFraming::splitBySeparator_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("separator");
    QTest::addColumn<QByteArrayList>("pieces");
    QTest::newRow("a=b=c") << QByteArray("a=b=c") << QByteArray("=") << QByteArrayList{"a", "b", "c"};
    QTest::newRow("empty text") << QByteArray() << QByteArray("=") << QByteArrayList{""};
    QTest::newRow("no separator") << QByteArray("abc") << QByteArray("=") << QByteArrayList{"abc"};
    QTest::newRow("=a") << QByteArray("=a") << QByteArray("=") << QByteArrayList{"", "a"};
    QTest::newRow("a=") << QByteArray("a=") << QByteArray("=") << QByteArrayList{"a"};
    QTest::newRow("a==b") << QByteArray("a==b") << QByteArray("=") << QByteArrayList{"a", "=b"};
    QTest::newRow("a==") << QByteArray("a==") << QByteArray("=") << QByteArrayList{"a", "="};
    QTest::newRow("XY in aXb") << QByteArray("aXb") << QByteArray("XY") << QByteArrayList{"aXb"};
    QTest::newRow("XY in XXYb") << QByteArray("XXYb") << QByteArray("XY") << QByteArrayList{"XXYb"};
    QTest::newRow("XY unfinished at end") << QByteArray("abX") << QByteArray("XY") << QByteArrayList{"ab"};
    QTest::newRow("XY in aXYb") << QByteArray("aXYb") << QByteArray("XY") << QByteArrayList{"a", "b"};
    QTest::newRow("empty separator") << QByteArray("a=b") << QByteArray() << QByteArrayList{"a=b"};
    QTest::newRow("at-sign line")
        << QByteArray("OUT01@LH@400@FRA@JFK@0800@1000@1@M@X") << QByteArray("@")
        << QByteArrayList{"OUT01", "LH", "400", "FRA", "JFK", "0800", "1000", "1", "M", "X"};
    QTest::newRow("case-sensitive") << QByteArray("aXyb") << QByteArray("XY") << QByteArrayList{"aXyb"};
}

void TestFraming::splitBySeparator()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, separator);
    QFETCH(QByteArrayList, pieces);
    CStringArray list;
    QCOMPARE(SplitBySeparator(text, list, separator), int(pieces.size()));
    QCOMPARE(list, pieces);
}

void TestFraming::splitBySeparatorCountsEarlierItems()
{
    const QByteArray line = "1@2@3@4@5@6@7@8@9";
    CStringArray list;
    QCOMPARE(SplitBySeparator(line, list, "@"), 9);
    QCOMPARE(SplitBySeparator(line, list, "@"), 18);
}

void TestFraming::consoleConversion_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("backslashZero");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("fare block") << QByteArray("##GETFAREBLOCK~2~~") << true << Bytes("##GETFAREBLOCK~2~~");
    QTest::newRow("backslash zero") << QByteArray("A\\0B~~") << true << Bytes("A~B~~");
    QTest::newRow("no closing field") << QByteArray("AB~") << true << Bytes("AB~");
    QTest::newRow("no NUL at all") << QByteArray("AB") << true << QByteArray("AB");
    QTest::newRow("lone backslash at end") << QByteArray("AB\\") << true << QByteArray("AB\\");
    QTest::newRow("backslash then tilde") << QByteArray("\\~") << true << Bytes("\\~");
    QTest::newRow("empty") << QByteArray() << true << QByteArray();
    QTest::newRow("backslash zero kept") << QByteArray("P=T\\09011967~~") << false << Bytes("P=T\\09011967~~");
    QTest::newRow("high bytes pass") << QByteArray("\xe4\x80\xff~") << true << Bytes("\xe4\x80\xff~");
}

void TestFraming::consoleConversion()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, backslashZero);
    QFETCH(QByteArray, bytes);
    QCOMPARE(Tilde(ConvertConsoleText(text, backslashZero)), Tilde(bytes));
    QCOMPARE(ConvertConsoleText(text, backslashZero).size(), bytes.size());
}

void TestFraming::fieldsToNotation_data()
{
    QTest::addColumn<QByteArrayList>("fields");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty list") << QByteArrayList{} << QByteArray();
    QTest::newRow("fare block") << QByteArrayList{"##GETFAREBLOCK", "2"} << QByteArray("##GETFAREBLOCK~2~~");
    QTest::newRow("one field") << QByteArrayList{"##GETFARE"} << QByteArray("##GETFARE~~");
}

void TestFraming::fieldsToNotation()
{
    QFETCH(QByteArrayList, fields);
    QFETCH(QByteArray, text);
    QCOMPARE(FieldsToNotation(fields), text);
}

void TestFraming::requestArea()
{
    RequestArea area(10);
    area.add("abc");
    area.add("de");
    QVERIFY(area.fits());
    QCOMPARE(area.area(), Bytes("abc~de~~~~"));
    area.add("fg"); // 10 bytes of fields + 1 terminating zero = 11 > 10
    QCOMPARE(area.overflow(), qsizetype(1));
    QCOMPARE(area.area().size(), qsizetype(10));
    QCOMPARE(area.area(), Bytes("abc~de~~~~")); // nothing written past or into the end
}

void TestFraming::wireTextRoundTripsEveryByte()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = WireToText(all);
    QCOMPARE(text.size(), qsizetype(256));
    QCOMPARE(text.at(0x80), QChar(0x20AC));
    QCOMPARE(text.at(0x81), QChar(0x0081));
    QCOMPARE(text.at(0x9D), QChar(0x009D));
    QByteArray back;
    QVERIFY(TextToWire(text, back));
    QCOMPARE(back, all);
    QVERIFY(!TextToWire(QStringLiteral("a\u4e2d"), back));
    QCOMPARE(back, QByteArray("a"));
}

void TestFraming::wireUpper_data()
{
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::newRow("ascii") << QStringLiteral("fra~x") << QStringLiteral("FRA~X");
    QTest::newRow("umlauts") << QStringLiteral("äöü") << QStringLiteral("ÄÖÜ");
    QTest::newRow("sharp s and micro stay") << QStringLiteral("ßµ") << QStringLiteral("ßµ");
    QTest::newRow("y diaeresis") << QStringLiteral("ÿ") << QStringLiteral("Ÿ");
    QTest::newRow("s caron, oe") << QStringLiteral("šœž") << QStringLiteral("ŠŒŽ");
}

void TestFraming::wireUpper()
{
    QFETCH(QString, in);
    QFETCH(QString, out);
    QCOMPARE(WireUpper(in), out);
}

void TestFraming::assemblerSplits_data()
{
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QByteArrayList>("events");
    QTest::newRow("whole") << QByteArrayList{Bytes("A~B~~")} << QByteArrayList{"A", "B", "<end>"};
    QTest::newRow("closing field alone") << QByteArrayList{Bytes("A~B~"), Bytes("~")}
                                         << QByteArrayList{"A", "B", "<end>"};
    QTest::newRow("field cut") << QByteArrayList{"AB", Bytes("C~~")} << QByteArrayList{"ABC", "<end>"};
    QTest::newRow("two NULs alone") << QByteArrayList{Bytes("~~")} << QByteArrayList{};
    QTest::newRow("X NUL NUL") << QByteArrayList{Bytes("X~~")} << QByteArrayList{"X", "<end>"};
    QTest::newRow("padding before") << QByteArrayList{Bytes("~~~~A~~")} << QByteArrayList{"A", "<end>"};
    QTest::newRow("two answers one receive")
        << QByteArrayList{Bytes("A~~B~C~~")} << QByteArrayList{"A", "<end>", "B", "C", "<end>"};
    QTest::newRow("padding between")
        << QByteArrayList{Bytes("A~~~~~"), Bytes("~B~~")} << QByteArrayList{"A", "<end>", "B", "<end>"};
    QTest::newRow("not yet complete") << QByteArrayList{Bytes("A~B~")} << QByteArrayList{"A", "B"};
}

void TestFraming::assemblerSplits()
{
    QFETCH(QByteArrayList, chunks);
    QFETCH(QByteArrayList, events);
    AnswerAssembler assembler;
    Recorder recorder;
    for (const QByteArray &chunk : chunks)
        assembler.feed(chunk, recorder);
    QCOMPARE(recorder.events, events);
}

void TestFraming::assemblerEverySplitGivesSameResult()
{
    const QByteArray stream = Bytes("~~FARE 1\t@LH~FARE 2~\xff\x80~~~~NEXT~~");
    const QByteArrayList expected{"FARE 1\t@LH", "FARE 2", "\xff\x80", "<end>", "NEXT", "<end>"};
    for (qsizetype a = 0; a <= stream.size(); ++a) {
        for (qsizetype b = a; b <= stream.size(); ++b) {
            AnswerAssembler assembler;
            Recorder recorder;
            assembler.feed(stream.first(a), recorder);
            assembler.feed(stream.sliced(a, b - a), recorder);
            assembler.feed(stream.sliced(b), recorder);
            QCOMPARE(recorder.events, expected);
        }
    }
    AnswerAssembler assembler;
    Recorder recorder;
    for (const char c : stream)
        assembler.feed(QByteArrayView(&c, 1), recorder);
    QCOMPARE(recorder.events, expected);
}

void TestFraming::assemblerPartialOnClose()
{
    AnswerAssembler assembler;
    Recorder recorder;
    assembler.feed(Bytes("A~HALF"), recorder);
    QVERIFY(assembler.hasPartial());
    QCOMPARE(assembler.takePartial(), QByteArray("HALF"));
    QVERIFY(!assembler.hasPartial());
    QCOMPARE(recorder.events, QByteArrayList{"A"});
}

QTEST_APPLESS_MAIN(TestFraming)
#include "tst_framing.moc"
