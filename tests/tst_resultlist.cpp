// The result list's own actions: copy, copy all, save as, the find bar and
// the byte view; and that they leave the window's behaviour as it was.

#include "form/settingsstore.h"
#include "testsupport.h"
#include "ui/findbar.h"
#include "ui/linesearch.h"
#include "ui/querydlg.h"
#include "ui/querydlg_layout.h"
#include "ui/rawview.h"
#include "ui/resultlistactions.h"
#include "ui/resultlistmodel.h"
#include "ui/savename.h"
#include "ui/widgets.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace testsupport;

class TestResultList : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { UseClassicStyle(); }
    void init();
    void cleanup();
    void ctrlCCopiesSelectedLinesInRowOrder_data();
    void ctrlCCopiesSelectedLinesInRowOrder();
    void ctrlCInAnEditCopiesTheEditsText();
    void copyAllTakesEveryStoredLine();
    void copyBeyondTheLimitIsRefused();
    void listMenuOffersItsEntries();
    void windowMenuStaysOutsideTheList();
    void saveWritesTheBytesAsReceived_data();
    void saveWritesTheBytesAsReceived();
    void cancelledSaveWritesNothing();
    void failedSaveSaysSoAndKeepsTheList();
    void foldTable_data();
    void foldTable();
    void find_data();
    void find();
    void findKeepsFindingAndWraps();
    void findReachesLinesNotYetShown();
    void findBarSitsInTheListsPlace();
    void escapeClosesOnlyTheBar();
    void enterInTheBarDoesNotPressTheDefaultButton();
    void showBytesDumpsTheCurrentLine();
    void hexDump_data();
    void hexDump();
    void doubleClickStillAppendsTheLine();

private:
    void fill(const QByteArrayList &lines, bool show = true);
    ResultListActions *actions() const;
    QAction *action(const char *name) const;
    CFindBar *openFindBar();
    QLineEdit *findText();
    QStringList popupTexts(const std::function<void()> &open);

    std::unique_ptr<TempSettings> m_settings;
    std::unique_ptr<NotifierRecorder> m_notes;
    SavedCopies m_saved;
    std::unique_ptr<CQueryDlg> m_dlg;
    CResultList *m_list = nullptr;
    QString m_savePath;
    int m_saveAsked = 0;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestResultList::init()
{
    m_settings = std::make_unique<TempSettings>();
    m_notes = std::make_unique<NotifierRecorder>();
    m_saved = SavedCopies{"FRA", "NYC", "", "127.0.0.1", 7000};
    m_dlg = std::make_unique<CQueryDlg>(m_saved);
    m_list = m_dlg->m_listResults;
    m_dlg->show();
    QApplication::setActiveWindow(m_dlg.get());
    QVERIFY(QTest::qWaitForWindowActive(m_dlg.get()));
    m_dir = std::make_unique<QTemporaryDir>();
    m_saveAsked = 0;
    m_savePath.clear();
    SetSaveNameAsker([this](QWidget *, const QString &) {
        ++m_saveAsked;
        return m_savePath;
    });
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
}

void TestResultList::cleanup()
{
    SetSaveNameAsker({});
    m_dlg.reset();
    m_notes.reset();
    m_settings.reset();
}

void TestResultList::fill(const QByteArrayList &lines, bool show)
{
    for (const QByteArray &line : lines)
        m_list->addLine(line);
    if (show)
        m_list->flushAndUpdate();
}

ResultListActions *TestResultList::actions() const
{
    return m_list->findChild<ResultListActions *>(QStringLiteral("resultListActions"));
}

QAction *TestResultList::action(const char *name) const
{
    return m_list->findChild<QAction *>(QLatin1String(name));
}

CFindBar *TestResultList::openFindBar()
{
    m_list->setFocus();
    QTest::keySequence(m_dlg.get(), QKeySequence::Find);
    return m_dlg->findChild<CFindBar *>(QStringLiteral("findBar"));
}

QLineEdit *TestResultList::findText()
{
    return m_dlg->findChild<QLineEdit *>(QStringLiteral("findText"));
}

// Opens a popup menu, reads its entries and closes it again.
QStringList TestResultList::popupTexts(const std::function<void()> &open)
{
    QStringList texts;
    QTimer::singleShot(0, this, [&texts] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            for (QAction *a : menu->actions()) {
                if (!a->isSeparator())
                    texts << a->text();
            }
            menu->close();
        }
    });
    open();
    return texts;
}

static const QByteArray kHigh = QByteArray("\x80\x9f\xa0\xc4\xe4\xff", 6);

void TestResultList::ctrlCCopiesSelectedLinesInRowOrder_data()
{
    QTest::addColumn<QList<int>>("select"); // in the order they are selected
    QTest::addColumn<QString>("expected");
    QTest::newRow("one line") << QList<int>{1} << QStringLiteral("B\tTAB");
    QTest::newRow("picked backwards")
        << QList<int>{3, 0} << QStringLiteral("A-1\n\u20ac\u0178\u00a0\u00c4\u00e4\u00ff");
    QTest::newRow("gap and order")
        << QList<int>{4, 1, 2} << QStringLiteral("B\tTAB\nTRAILING  \nLAST");
    QTest::newRow("empty line kept") << QList<int>{5, 4} << QStringLiteral("LAST\n");
}

void TestResultList::ctrlCCopiesSelectedLinesInRowOrder()
{
    QFETCH(QList<int>, select);
    QFETCH(QString, expected);
    fill({"A-1", "B\tTAB", "TRAILING  ", kHigh, "LAST", ""});
    for (const int row : select)
        m_list->selectionModel()->select(m_list->model()->index(row, 0),
                                         QItemSelectionModel::Select);
    m_list->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), m_list);
    QTest::keySequence(m_list, QKeySequence::Copy);
    QCOMPARE(QGuiApplication::clipboard()->text(), expected);
    QCOMPARE(m_list->count(), 6);
    QVERIFY(m_notes->messages.isEmpty());
}

void TestResultList::ctrlCInAnEditCopiesTheEditsText()
{
    fill({"LINE"});
    m_list->selectionModel()->select(m_list->model()->index(0, 0), QItemSelectionModel::Select);
    auto *message = m_dlg->control<QLineEdit>(Ctrl::Message);
    message->setText(QStringLiteral("##EDIT"));
    message->setFocus();
    message->selectAll();
    QTRY_COMPARE(QApplication::focusWidget(), message);
    QTest::keySequence(message, QKeySequence::Copy);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("##EDIT"));
}

void TestResultList::copyAllTakesEveryStoredLine()
{
    fill({"ONE", "T\tWO"});
    fill({QByteArray("\xe4\xfc", 2), "FOUR"}, false); // stored, not yet shown
    QCOMPARE(m_list->model()->rowCount(), 2);
    action("copyAllAction")->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("ONE\nT\tWO\n\u00e4\u00fc\nFOUR"));
    QVERIFY(!m_list->selectionModel()->hasSelection());
}

void TestResultList::copyBeyondTheLimitIsRefused()
{
    fill({"0123456789", "0123456789"});
    actions()->setCopyLimit(20); // the two lines and their newline take 21
    action("copyAllAction")->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    QCOMPARE(m_notes->messages.size(), 1);
    QVERIFY(m_notes->messages.first().contains(QStringLiteral("Zwischenablage")));
    actions()->setCopyLimit(21);
    action("copyAllAction")->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("0123456789\n0123456789"));
    QCOMPARE(m_notes->messages.size(), 1);
}

void TestResultList::listMenuOffersItsEntries()
{
    fill({"A", "B"});
    QWidget *viewport = m_list->viewport();
    const QPoint at = m_list->visualRect(m_list->model()->index(1, 0)).center();
    const QStringList texts = popupTexts([&] {
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
        QApplication::sendEvent(viewport, &event);
    });
    QCOMPARE(texts,
             (QStringList{"&Copy", "Copy &all", "&Save as...", "Show &bytes...", "&Find..."}));
}

void TestResultList::windowMenuStaysOutsideTheList()
{
    auto *label = m_dlg->findChild<QLabel *>(QStringLiteral("static1"));
    QVERIFY(label);
    const QStringList texts = popupTexts([&] {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2),
                                label->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(label, &event);
    });
    QCOMPARE(texts, QStringList{"Inf&o über Fareprobe..."});
}

void TestResultList::saveWritesTheBytesAsReceived_data()
{
    QTest::addColumn<QByteArrayList>("lines");
    QTest::newRow("mixed bytes") << QByteArrayList{
        "A-1", "B\tTAB", "TRAILING  ", kHigh, "", QByteArray("X\0Y", 3), "LAST"};
    QByteArrayList many;
    for (int i = 0; i < 30000; ++i)
        many << QByteArray::number(i).rightJustified(100, char(0xe4 + i % 3));
    QTest::newRow("across write pieces") << many;
    QTest::newRow("line longer than a piece")
        << QByteArrayList{"BEFORE", QByteArray(3 * 1024 * 1024 + 7, 'Z'), "AFTER"};
    QTest::newRow("empty list") << QByteArrayList{};
}

void TestResultList::saveWritesTheBytesAsReceived()
{
    QFETCH(QByteArrayList, lines);
    fill(lines);
    m_savePath = m_dir->filePath(QStringLiteral("saved.txt"));
    QFile::remove(m_savePath);
    action("saveAsAction")->trigger();
    QCOMPARE(m_saveAsked, 1);
    QVERIFY(m_notes->messages.isEmpty());
    QFile file(m_savePath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray expected;
    for (const QByteArray &line : lines)
        expected += line + '\n';
    const QByteArray written = file.readAll();
    QCOMPARE(written.size(), expected.size());
    QVERIFY(written == expected);
}

void TestResultList::cancelledSaveWritesNothing()
{
    fill({"A"});
    m_savePath.clear(); // what the dialog returns on Cancel
    action("saveAsAction")->trigger();
    QCOMPARE(m_saveAsked, 1);
    QVERIFY(m_notes->messages.isEmpty());
    QVERIFY(QDir(m_dir->path()).entryList(QDir::Files).isEmpty());
}

void TestResultList::failedSaveSaysSoAndKeepsTheList()
{
    const QByteArrayList lines{"ONE", kHigh, "THREE"};
    fill(lines);
    m_list->setCurrentIndex(m_list->model()->index(1, 0));
    m_savePath = m_dir->filePath(QStringLiteral("missing/folder/out.txt"));
    action("saveAsAction")->trigger();
    QCOMPARE(m_notes->messages.size(), 1);
    const QString prefix =
        QStringLiteral("Die Datei %1 konnte nicht geschrieben werden: ").arg(m_savePath);
    QVERIFY2(m_notes->messages.first().startsWith(prefix), qPrintable(m_notes->messages.first()));
    QVERIFY(m_notes->messages.first().size() > prefix.size()); // the reason follows
    QVERIFY(!QFile::exists(m_savePath));
    QCOMPARE(m_list->count(), lines.size());
    for (int i = 0; i < lines.size(); ++i)
        QCOMPARE(m_list->text(i), lines.at(i));
    QCOMPARE(m_list->currentLine(), 1);
}

void TestResultList::foldTable_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("folded");
    QTest::newRow("a") << 0x61 << 0x41;
    QTest::newRow("A") << 0x41 << 0x41;
    QTest::newRow("z") << 0x7a << 0x5a;
    QTest::newRow("digit") << 0x35 << 0x35;
    QTest::newRow("tab") << 0x09 << 0x09;
    QTest::newRow("ä") << 0xe4 << 0xc4;
    QTest::newRow("þ") << 0xfe << 0xde;
    QTest::newRow("ÿ to Ÿ") << 0xff << 0x9f;
    QTest::newRow("š to Š") << 0x9a << 0x8a;
    QTest::newRow("œ to Œ") << 0x9c << 0x8c;
    QTest::newRow("ß stays") << 0xdf << 0xdf;
    QTest::newRow("µ stays") << 0xb5 << 0xb5;
    QTest::newRow("÷ stays") << 0xf7 << 0xf7;
    QTest::newRow("undefined 0x81") << 0x81 << 0x81;
}

void TestResultList::foldTable()
{
    QFETCH(int, byte);
    QFETCH(int, folded);
    QCOMPARE(int(FoldWireByte(static_cast<unsigned char>(byte))), folded);
}

void TestResultList::find_data()
{
    QTest::addColumn<QByteArrayList>("lines");
    QTest::addColumn<int>("current"); // -1: none
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected"); // -1: not found
    const QByteArrayList codes{"FRA=FRANKFURT", "MUC=MUENCHEN", "NYC=NEW YORK", "LHR=LONDON"};
    QTest::newRow("lower finds upper") << codes << -1 << "new york" << 2;
    QTest::newRow("mixed case") << codes << -1 << "mUeNcH" << 1;
    QTest::newRow("starts after current") << QByteArrayList{"AB", "XAB", "AB"} << 0 << "ab" << 1;
    QTest::newRow("current line is last resort")
        << QByteArrayList{"AB", "CD", "EF"} << 0 << "ab" << 0;
    QTest::newRow("wraps") << codes << 2 << "fra" << 0;
    QTest::newRow("not found") << codes << 1 << "PARIS" << -1;
    QTest::newRow("ä finds Ä") << QByteArrayList{"X", QByteArray("K\xc4SE", 4)} << -1 << "käse"
                               << 1;
    QTest::newRow("Ä finds ä") << QByteArrayList{QByteArray("k\xe4se", 4), "X"} << 1 << "KÄSE" << 0;
    QTest::newRow("ÿ finds Ÿ") << QByteArrayList{"A", QByteArray("\x9f", 1)} << -1 << "ÿ" << 1;
    QTest::newRow("š finds Š") << QByteArrayList{QByteArray("\x8a", 1)} << -1 << "š" << 0;
    QTest::newRow("ß is not ss") << QByteArrayList{"STRASSE"} << -1 << "straße" << -1;
    QTest::newRow("over a tab") << QByteArrayList{"A B", "A\tB"} << -1 << "a\tb" << 1;
    QTest::newRow("needle longer than line") << QByteArrayList{"AB"} << -1 << "abc" << -1;
    QTest::newRow("outside the character set") << codes << -1 << "\u4e2d" << -1;
    QTest::newRow("euro sign") << QByteArrayList{"A", QByteArray("9\x80", 2)} << -1 << "9€" << 1;
    QTest::newRow("empty list") << QByteArrayList{} << -1 << "A" << -1;
}

void TestResultList::find()
{
    QFETCH(QByteArrayList, lines);
    QFETCH(int, current);
    QFETCH(QString, text);
    QFETCH(int, expected);
    fill(lines);
    if (current >= 0)
        m_list->setCurrentIndex(m_list->model()->index(current, 0));
    CFindBar *bar = openFindBar();
    QVERIFY(bar);
    QVERIFY(bar->isVisible());
    QTRY_COMPARE(QApplication::focusWidget(), findText());
    findText()->setText(text);
    const QModelIndex before = m_list->currentIndex();
    QSignalSpy changes(m_list, &CResultList::selectionOrCurrentChanged);
    QTest::keyClick(findText(), Qt::Key_Return);
    auto *status = bar->findChild<QLabel *>(QStringLiteral("findStatus"));
    QVERIFY(m_notes->messages.isEmpty());
    QVERIFY(bar->isVisible());
    if (expected < 0) {
        QVERIFY(status->isVisible());
        QCOMPARE(status->text(), QStringLiteral("Not found"));
        QCOMPARE(m_list->currentIndex(), before);
        QVERIFY(changes.isEmpty());
    } else {
        QVERIFY(!status->isVisible());
        QCOMPARE(m_list->currentIndex().row(), expected);
        const QModelIndexList selected = m_list->selectionModel()->selectedRows();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.first().row(), expected);
        QVERIFY(m_list->viewport()->rect().intersects(
            m_list->visualRect(m_list->model()->index(expected, 0))));
    }
}

void TestResultList::findKeepsFindingAndWraps()
{
    QByteArrayList lines;
    for (int i = 0; i < 50; ++i)
        lines << (i % 10 == 3 ? QByteArray("HIT ") + QByteArray::number(i) : QByteArray("MISS"));
    fill(lines);
    openFindBar();
    QTest::keyClicks(findText(), QStringLiteral("hit"));
    QList<int> rows;
    QTest::keyClick(findText(), Qt::Key_Return);
    rows << m_list->currentIndex().row();
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(findText(), Qt::Key_F3);
        rows << m_list->currentIndex().row();
    }
    QCOMPARE(rows, (QList<int>{3, 13, 23, 33, 43, 3}));
    // F3 from the list goes on from its current line.
    m_list->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), m_list);
    QTest::keyClick(m_list, Qt::Key_F3);
    QCOMPARE(m_list->currentIndex().row(), 13);
    // Editing the text takes a "not found" away.
    findText()->selectAll();
    findText()->setFocus();
    QTest::keyClicks(findText(), QStringLiteral("nothing"));
    QTest::keyClick(findText(), Qt::Key_Return);
    auto *status = m_dlg->findChild<QLabel *>(QStringLiteral("findStatus"));
    QVERIFY(status->isVisible());
    QCOMPARE(m_list->currentIndex().row(), 13);
    QTest::keyClick(findText(), Qt::Key_Backspace);
    QVERIFY(!status->isVisible());
    QVERIFY(m_notes->messages.isEmpty());
}

void TestResultList::findReachesLinesNotYetShown()
{
    fill({"A", "B"});
    fill({"C", "TARGET"}, false);
    QCOMPARE(m_list->model()->rowCount(), 2);
    openFindBar();
    findText()->setText(QStringLiteral("target"));
    QTest::keyClick(findText(), Qt::Key_Return);
    QCOMPARE(m_list->model()->rowCount(), 4);
    QCOMPARE(m_list->currentIndex().row(), 3);
    QCOMPARE(m_list->currentLine(), 3);
}

void TestResultList::findBarSitsInTheListsPlace()
{
    fill({"A"});
    QHash<QWidget *, QRect> before;
    for (QWidget *w : m_dlg->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        before.insert(w, w->geometry());
    const QRect listRect = m_list->geometry();
    const QSize windowSize = m_dlg->size();
    CFindBar *bar = openFindBar();
    QVERIFY(bar && bar->isVisible());
    QCOMPARE(bar->parentWidget(), m_dlg.get());
    QCOMPARE(bar->geometry().bottom(), listRect.bottom());
    QCOMPARE(bar->geometry().left(), listRect.left());
    QCOMPARE(bar->geometry().width(), listRect.width());
    QCOMPARE(m_list->geometry().top(), listRect.top());
    QCOMPARE(m_list->geometry().bottom() + 1, bar->geometry().top());
    QVERIFY(m_list->height() >= listRect.height() / 2);
    QVERIFY(findText()->height() >= findText()->fontMetrics().height());
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (it.key() != m_list)
            QCOMPARE(it.key()->geometry(), it.value());
    }
    QCOMPARE(m_dlg->size(), windowSize);
    QTest::keyClick(findText(), Qt::Key_Escape);
    QCOMPARE(m_list->geometry(), listRect);
}

void TestResultList::escapeClosesOnlyTheBar()
{
    fill({"A", "B"});
    CFindBar *bar = openFindBar();
    QTRY_COMPARE(QApplication::focusWidget(), findText());
    QTest::keyClick(findText(), Qt::Key_Escape);
    QVERIFY(!bar->isVisible());
    QVERIFY(m_dlg->isVisible());
    QVERIFY(!m_dlg->isClosed());
    QTRY_COMPARE(QApplication::focusWidget(), m_list);
    // Outside the bar Escape still closes the window.
    QTest::keyClick(m_list, Qt::Key_Escape);
    QVERIFY(!m_dlg->isVisible());
    QVERIFY(m_dlg->isClosed());
}

void TestResultList::enterInTheBarDoesNotPressTheDefaultButton()
{
    auto *defaultButton = m_dlg->control<QPushButton>(Ctrl::FlightQuery);
    QVERIFY(defaultButton->isDefault());
    QSignalSpy pressed(defaultButton, &QPushButton::pressed);
    // For contrast, the window's own behaviour: Enter in a form edit presses
    // the default button (with no connection the query only fails).
    defaultButton->setEnabled(true);
    auto *edit = m_dlg->control<QLineEdit>(Ctrl::Tolerance);
    edit->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), edit);
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(int(pressed.size()), 1);
    m_notes->messages.clear();

    defaultButton->setEnabled(true);
    fill({"A"});
    openFindBar();
    QTRY_COMPARE(QApplication::focusWidget(), findText());
    findText()->setText(QStringLiteral("a"));
    QTest::keyClick(findText(), Qt::Key_Return);
    QTest::keyClick(findText(), Qt::Key_Enter);
    QCOMPARE(int(pressed.size()), 1);
    QCOMPARE(m_list->currentIndex().row(), 0);
    QVERIFY(m_notes->messages.isEmpty());
}

void TestResultList::showBytesDumpsTheCurrentLine()
{
    fill({"FIRST", QByteArray("A\tB \xff", 5), "LAST"});
    m_list->setCurrentIndex(m_list->model()->index(1, 0));
    action("showBytesAction")->trigger();
    auto *view = m_dlg->findChild<CRawView *>(QStringLiteral("rawView"));
    QVERIFY(view);
    QVERIFY(view->isVisible());
    QVERIFY(!view->isModal());
    auto *text = view->findChild<QPlainTextEdit *>(QStringLiteral("rawText"));
    QVERIFY(text->isReadOnly());
    QVERIFY(QFontInfo(text->font()).fixedPitch());
    const QString expected = QStringLiteral("00000000  41 09 42 20 ff") + QString(36, u' ') +
                             QStringLiteral("|A.B \u00ff|\n");
    QCOMPARE(text->toPlainText(), expected);
    QCOMPARE(view->findChild<QLabel *>(QStringLiteral("rawHeader"))->text(),
             QStringLiteral("Line 2: 5 bytes"));
    // Looking at the bytes changes nothing in the window.
    QCOMPARE(m_list->currentLine(), 1);
    QCOMPARE(m_list->count(), 3);
    view->close();
    QTRY_VERIFY(!m_dlg->findChild<CRawView *>(QStringLiteral("rawView")));
}

void TestResultList::hexDump_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("sixteen")
        << QByteArray("ABCDEFGHIJKLMNOP")
        << "00000000  41 42 43 44 45 46 47 48  49 4a 4b 4c 4d 4e 4f 50  |ABCDEFGHIJKLMNOP|\n";
    QTest::newRow("seventeen, high byte on the second row")
        << QByteArray("ABCDEFGHIJKLMNOP\xe4")
        << "00000000  41 42 43 44 45 46 47 48  49 4a 4b 4c 4d 4e 4f 50  |ABCDEFGHIJKLMNOP|\n"
           "00000010  e4" +
               QString(48, u' ') + "|\u00e4|\n";
    QTest::newRow("controls, NUL, no-break space, undefined byte")
        << QByteArray("\x00\x0d\x0a\xa0\x81\x80", 6)
        << "00000000  00 0d 0a a0 81 80" + QString(33, u' ') + "|....." + QChar(0x20ac) + "|\n";
}

void TestResultList::hexDump()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QCOMPARE(CRawView::HexDump(bytes), expected);
}

void TestResultList::doubleClickStillAppendsTheLine()
{
    fill({"FILEKEY=AB12", "4711-2"});
    openFindBar();
    findText()->setText(QStringLiteral("4711"));
    QTest::keyClick(findText(), Qt::Key_Return);
    QCOMPARE(m_list->currentLine(), 1);
    m_dlg->control<CFormEdit>(Ctrl::Message)->setText(QStringLiteral("X"));
    const QPoint at = m_list->visualRect(m_list->model()->index(1, 0)).center();
    QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, at, 1000);
    QTest::mouseDClick(m_list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(m_list->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(m_dlg->m_strMessage, QByteArray("X4711-2"));
}

QTEST_MAIN(TestResultList)
#include "tst_resultlist.moc"
