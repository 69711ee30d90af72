// The main window: its controls, the exchange with the form record, the
// navigation buttons, the result-line double-click and the about box.

#include "form/settingsstore.h"
#include "testsupport.h"
#include "ui/aboutdlg.h"
#include "ui/querydlg.h"
#include "ui/querydlg_layout.h"
#include "ui/widgets.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace testsupport;

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { UseClassicStyle(); }
    void init();
    void cleanup();
    void everyControlOfTheLayout();
    void tabOrderFollowsTheTable();
    void noTextIsClipped();
    void editsRefuseForeignCharactersAndUpperCase();
    void portRule_data();
    void portRule();
    void radioWithNoButtonAndOddFlags();
    void savedCopiesFollowEveryExchange();
    void navigationButtons_data();
    void navigationButtons();
    void navigationFollowsSelectionAndMode();
    void doubleClickAppendsLine();
    void systemCommands_data();
    void systemCommands();
    void aboutBoxTexts();

private:
    CQueryDlg *makeWindow();
    std::unique_ptr<TempSettings> m_settings;
    std::unique_ptr<NotifierRecorder> m_notes;
    SavedCopies m_saved;
    std::unique_ptr<CQueryDlg> m_dlg;
};

void TestMainWindow::init()
{
    m_settings = std::make_unique<TempSettings>();
    m_notes = std::make_unique<NotifierRecorder>();
    m_saved = SavedCopies{"FRA", "NYC", "", "127.0.0.1", 7000};
    m_dlg = std::make_unique<CQueryDlg>(m_saved);
    m_dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dlg.get()));
}

void TestMainWindow::cleanup()
{
    m_dlg.reset();
    m_notes.reset();
    m_settings.reset();
}

static const char *KindClass(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Edit: return "CFormEdit";
    case ControlKind::Button:
    case ControlKind::DefaultButton: return "QPushButton";
    case ControlKind::CheckBox: return "QCheckBox";
    case ControlKind::Radio: return "QRadioButton";
    case ControlKind::Label: return "QLabel";
    case ControlKind::GroupBox: return "QGroupBox";
    case ControlKind::ListBox: return "CResultList";
    case ControlKind::Spin: return "CHistorySpin";
    }
    return "";
}

static QString TextOf(QWidget *w)
{
    if (auto *b = qobject_cast<QAbstractButton *>(w))
        return b->text();
    if (auto *l = qobject_cast<QLabel *>(w))
        return l->text();
    if (auto *g = qobject_cast<QGroupBox *>(w))
        return g->title();
    return {};
}

void TestMainWindow::everyControlOfTheLayout()
{
    QCOMPARE(m_dlg->windowTitle(), QStringLiteral("Fare Probe"));
    const QSet<int> disabled{Ctrl::FlightQuery, Ctrl::Next, Ctrl::Previous};
    int statics = 0;
    for (const ControlSpec &spec : MainWindowControls()) {
        const QString name = spec.id >= 0 ? QString::number(spec.id)
                                          : QStringLiteral("static%1").arg(++statics);
        auto *w = m_dlg->findChild<QWidget *>(name);
        QVERIFY2(w, qPrintable(name));
        QCOMPARE(w->metaObject()->className(), KindClass(spec.kind));
        if (spec.kind != ControlKind::Edit && spec.kind != ControlKind::ListBox &&
            spec.kind != ControlKind::Spin)
            QCOMPARE(TextOf(w), QString::fromUtf8(spec.text));
        QCOMPARE(w->isVisible(), spec.id != Ctrl::AutoQuery);
        QCOMPARE(w->isEnabled(), !disabled.contains(spec.id));
    }
    QVERIFY(m_dlg->control<QPushButton>(Ctrl::FlightQuery)->isDefault());
    auto *trip = m_dlg->control<QRadioButton>(Ctrl::Oneway);
    auto *mode = m_dlg->control<QRadioButton>(Ctrl::RecordsetsOnly);
    QVERIFY(trip->group() && mode->group() && trip->group() != mode->group());
    QCOMPARE(trip->group(), m_dlg->control<QRadioButton>(Ctrl::RoundTrip)->group());
    QVERIFY(m_dlg->control<CFormEdit>(Ctrl::Message)->isUpperCase());
    QVERIFY(!m_dlg->control<CFormEdit>(Ctrl::DepDate)->isUpperCase());
    QCOMPARE(m_dlg->minimumSize(), m_dlg->maximumSize());
}

void TestMainWindow::tabOrderFollowsTheTable()
{
    QList<QWidget *> expected;
    for (const ControlSpec &spec : MainWindowControls()) {
        QWidget *w = spec.id >= 0 ? m_dlg->control(spec.id) : nullptr;
        if (w && w->isVisible() && w->focusPolicy() & Qt::TabFocus)
            expected.append(w);
    }
    QVERIFY(expected.size() > 40);
    QList<QWidget *> chain;
    QWidget *w = expected.first();
    do {
        if (w->isVisible() && (w->focusPolicy() & Qt::TabFocus) && w->parentWidget() == m_dlg.get())
            chain.append(w);
        w = w->nextInFocusChain();
    } while (w != expected.first() && chain.size() < 200);
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(chain.at(i)->objectName(), expected.at(i)->objectName());
}

void TestMainWindow::noTextIsClipped()
{
    for (QWidget *w : m_dlg->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        int needed = 0;
        if (auto *label = qobject_cast<QLabel *>(w))
            needed = label->fontMetrics().horizontalAdvance(label->text());
        else if (qobject_cast<QCheckBox *>(w) || qobject_cast<QRadioButton *>(w))
            needed = w->sizeHint().width();
        else if (auto *button = qobject_cast<QPushButton *>(w))
            needed = button->fontMetrics().horizontalAdvance(button->text().remove(u'&')) + 4;
        if (needed == 0)
            continue;
        QVERIFY2(needed <= w->width(),
                 qPrintable(QStringLiteral("%1 needs %2 px, has %3").arg(TextOf(w)).arg(needed).arg(w->width())));
        QVERIFY2(w->fontMetrics().height() <= w->height(), qPrintable(TextOf(w)));
    }
}

void TestMainWindow::editsRefuseForeignCharactersAndUpperCase()
{
    auto *departure = m_dlg->control<CFormEdit>(Ctrl::Departure);
    departure->clear();
    departure->setFocus();
    QTest::keyClicks(departure, QStringLiteral("fr"));
    for (const QString &c : {QStringLiteral("ä"), QStringLiteral("ß")})
        QTest::sendKeyEvent(QTest::Click, departure, Qt::Key_unknown, c, Qt::NoModifier);
    QCOMPARE(departure->text(), QStringLiteral("FRÄß"));
    departure->insert(QStringLiteral("\u4e2d")); // outside Windows-1252: refused, not replaced
    QCOMPARE(departure->text(), QStringLiteral("FRÄß"));
    auto *tolerance = m_dlg->control<CFormEdit>(Ctrl::Tolerance);
    tolerance->setFocus();
    QTest::keyClicks(tolerance, QStringLiteral("1a2"));
    QCOMPARE(tolerance->text(), QStringLiteral("12"));
    m_dlg->m_strMessage = "##getfare~x~~";
    m_dlg->UpdateData(false);
    QCOMPARE(m_dlg->control<CFormEdit>(Ctrl::Message)->text(), QStringLiteral("##GETFARE~X~~"));
    m_dlg->m_strDepDate = "abc";
    m_dlg->UpdateData(false);
    QCOMPARE(m_dlg->control<CFormEdit>(Ctrl::DepDate)->text(), QStringLiteral("abc"));
}

void TestMainWindow::portRule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<quint32>("port");
    QTest::newRow("plain") << "8080" << true << 8080u;
    QTest::newRow("blanks around") << " 8080 " << true << 8080u;
    QTest::newRow("tab before") << "\t7000" << true << 7000u;
    QTest::newRow("empty") << "" << false << 7000u;
    QTest::newRow("blank only") << "  " << false << 7000u;
    QTest::newRow("negative") << "-5" << false << 7000u;
    QTest::newRow("trailing letter") << "80a" << false << 7000u;
    QTest::newRow("inner blank") << "80 80" << false << 7000u;
    QTest::newRow("32-bit max") << "4294967295" << true << 4294967295u;
    QTest::newRow("beyond 32 bits") << "4294967296" << false << 7000u;
}

void TestMainWindow::portRule()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(quint32, port);
    m_dlg->m_strSupplier = "OLD";
    m_dlg->m_strServerIP = "old";
    m_dlg->control<CFormEdit>(Ctrl::ServerIP)->setText(QStringLiteral("10.0.0.1"));
    m_dlg->control<CFormEdit>(Ctrl::Supplier)->setText(QStringLiteral("NEW"));
    m_dlg->control<CFormEdit>(Ctrl::ServerPort)->setText(text);
    QCOMPARE(m_dlg->UpdateData(true), accepted);
    QCOMPARE(m_dlg->m_nServerPort, port);
    QCOMPARE(m_dlg->m_strServerIP, QByteArray("10.0.0.1")); // bound before the port
    QCOMPARE(m_dlg->m_strSupplier, accepted ? QByteArray("NEW") : QByteArray("OLD"));
    if (accepted) {
        QVERIFY(m_notes->messages.isEmpty());
    } else {
        QCOMPARE(m_notes->messages, QStringList{"Geben Sie bitte eine positive ganze Zahl ein."});
        QTRY_COMPARE(QApplication::focusWidget(), m_dlg->control(Ctrl::ServerPort));
        QCOMPARE(m_dlg->control<CFormEdit>(Ctrl::ServerPort)->selectedText(), text);
    }
}

void TestMainWindow::radioWithNoButtonAndOddFlags()
{
    m_dlg->m_nTripType = 5;
    m_dlg->m_nResultMode = -1;
    m_dlg->m_bBusiness = 7;
    m_dlg->m_bFirst = -1;
    m_dlg->UpdateData(false);
    QVERIFY(!m_dlg->control<QRadioButton>(Ctrl::Oneway)->isChecked());
    QVERIFY(!m_dlg->control<QRadioButton>(Ctrl::RoundTrip)->isChecked());
    QVERIFY(!m_dlg->control<QCheckBox>(Ctrl::Business)->isChecked());
    QCOMPARE(m_dlg->m_bBusiness, 0);
    QCOMPARE(m_dlg->m_bFirst, 0);
    QVERIFY(m_dlg->UpdateData(true));
    QCOMPARE(m_dlg->m_nTripType, -1);
    QCOMPARE(m_dlg->m_nResultMode, -1);
    m_dlg->m_nTripType = 0;
    m_dlg->UpdateData(false);
    QVERIFY(m_dlg->control<QRadioButton>(Ctrl::Oneway)->isChecked());
    QTest::mouseClick(m_dlg->control(Ctrl::RoundTrip), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(!m_dlg->control<QRadioButton>(Ctrl::Oneway)->isChecked());
    m_dlg->UpdateData(true);
    QCOMPARE(m_dlg->m_nTripType, 1);
}

void TestMainWindow::savedCopiesFollowEveryExchange()
{
    m_dlg->control<CFormEdit>(Ctrl::Departure)->setText(QStringLiteral("MUC"));
    m_dlg->control<CFormEdit>(Ctrl::ServerIP)->setText(QStringLiteral("10.1.1.1"));
    m_dlg->UpdateData(true);
    QCOMPARE(m_saved.m_strSavedDeparture, QByteArray("MUC"));
    QCOMPARE(m_saved.m_strSavedServerIP, QByteArray("127.0.0.1")); // only a connect stores it
    m_dlg->m_strArrival = "LAX";
    m_dlg->m_strDepDate = "01012027";
    m_dlg->UpdateData(false);
    QCOMPARE(m_saved.m_strSavedArrival, QByteArray("LAX"));
    QCOMPARE(m_saved.m_strSavedDepDate, QByteArray("01012027"));
    // A refused port stops the exchange before the saved copies are refreshed.
    m_dlg->control<CFormEdit>(Ctrl::Departure)->setText(QStringLiteral("BER"));
    m_dlg->control<CFormEdit>(Ctrl::ServerPort)->setText(QStringLiteral("x"));
    QVERIFY(!m_dlg->UpdateData(true));
    QCOMPARE(m_dlg->m_strDeparture, QByteArray("BER"));
    QCOMPARE(m_saved.m_strSavedDeparture, QByteArray("MUC"));
}

void TestMainWindow::navigationButtons_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QByteArrayList>("lines");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("recordsets, two lines") << 0 << QByteArrayList{"A", "B"} << false;
    QTest::newRow("recordsets, -5") << 0 << QByteArrayList{"X-5"} << false;
    QTest::newRow("block, empty") << 1 << QByteArrayList{} << false;
    QTest::newRow("block, two lines") << 1 << QByteArrayList{"A", "B"} << true;
    QTest::newRow("block, one line -5") << 1 << QByteArrayList{"4711-5"} << true;
    QTest::newRow("block, exactly -5") << 1 << QByteArrayList{"-5"} << true;
    QTest::newRow("block, one line") << 1 << QByteArrayList{"4711-2"} << false;
    QTest::newRow("block, one character") << 1 << QByteArrayList{"5"} << false;
    QTest::newRow("block, empty line") << 1 << QByteArrayList{""} << false;
    QTest::newRow("none selected") << -1 << QByteArrayList{"A", "B"} << false;
}

void TestMainWindow::navigationButtons()
{
    QFETCH(int, mode);
    QFETCH(QByteArrayList, lines);
    QFETCH(bool, enabled);
    m_dlg->m_nResultMode = mode;
    m_dlg->UpdateData(false);
    for (const QByteArray &line : lines)
        m_dlg->m_listResults->addLine(line);
    m_dlg->UpdateNavigationButtons();
    QCOMPARE(m_dlg->control(Ctrl::Next)->isEnabled(), enabled);
    QCOMPARE(m_dlg->control(Ctrl::Previous)->isEnabled(), enabled);
}

void TestMainWindow::navigationFollowsSelectionAndMode()
{
    m_dlg->m_listResults->addLine("A");
    m_dlg->m_listResults->addLine("B");
    m_dlg->m_listResults->flushAndUpdate();
    QTest::mouseClick(m_dlg->control(Ctrl::TariffsOnBlock), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(m_dlg->control(Ctrl::Next)->isEnabled());
    QTest::mouseClick(m_dlg->control(Ctrl::RecordsetsOnly), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(!m_dlg->control(Ctrl::Next)->isEnabled());
    m_dlg->control<QRadioButton>(Ctrl::TariffsOnBlock)->setChecked(true); // no click: no re-evaluation
    QVERIFY(!m_dlg->control(Ctrl::Next)->isEnabled());
    m_dlg->m_listResults->setCurrentIndex(m_dlg->m_listResults->model()->index(1, 0));
    QVERIFY(m_dlg->control(Ctrl::Next)->isEnabled());
}

void TestMainWindow::doubleClickAppendsLine()
{
    m_dlg->m_listResults->addLine("FILEKEY=AB12");
    m_dlg->m_listResults->addLine("4711-2");
    m_dlg->m_listResults->flushAndUpdate();
    m_dlg->control<CFormEdit>(Ctrl::Message)->setText(QStringLiteral("X"));
    auto *view = m_dlg->m_listResults;
    const QRect second = view->visualRect(view->model()->index(1, 0));
    for (int i = 0; i < 2; ++i) { // press, release, then the double-click of a real mouse
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, second.center(), 1000);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, second.center());
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, second.center());
    }
    QCOMPARE(m_dlg->m_strMessage, QByteArray("X4711-24711-2"));
    QCOMPARE(m_dlg->control<CFormEdit>(Ctrl::Message)->text(), QStringLiteral("X4711-24711-2"));
}

void TestMainWindow::systemCommands_data()
{
    QTest::addColumn<unsigned>("code");
    QTest::addColumn<bool>("about");
    QTest::newRow("16") << 16u << true;
    QTest::newRow("23") << 23u << true;
    QTest::newRow("31") << 31u << true;
    QTest::newRow("15") << 15u << false;
    QTest::newRow("32") << 32u << false;
    QTest::newRow("SC_CLOSE") << 0xF060u << false;
}

void TestMainWindow::systemCommands()
{
    QFETCH(unsigned, code);
    QFETCH(bool, about);
    bool opened = false;
    QTimer::singleShot(0, this, [&opened] {
        if (auto *box = qobject_cast<CAboutDlg *>(QApplication::activeModalWidget())) {
            opened = true;
            box->accept();
        }
    });
    m_dlg->OnSysCommand(code);
    QCoreApplication::processEvents();
    QCOMPARE(opened, about);
}

void TestMainWindow::aboutBoxTexts()
{
    const QueryForm before = *m_dlg;
    for (int round = 0; round < 2; ++round) {
        CAboutDlg about(m_dlg.get());
        about.show();
        QCOMPARE(about.windowTitle(), QStringLiteral("Info über Fareprobe"));
        QStringList texts;
        for (QLabel *label : about.findChildren<QLabel *>())
            texts << label->text();
        QVERIFY(texts.contains(QStringLiteral("Fareprobe, Version 1.0")));
        QVERIFY(texts.contains(QStringLiteral("Version 1.0.0.2")));
        QVERIFY(!about.findChild<QLabel *>(QStringLiteral("icon"))->pixmap().isNull());
        auto *ok = about.findChild<QPushButton *>(QStringLiteral("1"));
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QVERIFY(ok->isDefault());
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }
    QCOMPARE(m_dlg->m_strDeparture, before.m_strDeparture);
    QCOMPARE(m_dlg->m_nServerPort, before.m_nServerPort);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
