#pragma once

// The main window: holds the form record, the result list, the message
// history and the current server session, and dispatches every command.
// Handlers are defined beside the subsystem they serve (session/, queries/,
// requests/); this file's .cpp holds the window itself.

#include "form/queryform.h"
#include "session/framing.h"
#include "session/sessionowner.h"

#include <QDialog>
#include <QIcon>
#include <memory>

class CInetSocket;
struct StartQueryParams;
class CResultList;
class QAbstractButton;

// Dispatches every event waiting in the queue; a quit request is dropped.
void PumpWaitingMessages();

class CQueryDlg : public QDialog, public QueryForm, private SessionOwner
{
    Q_OBJECT
public:
    explicit CQueryDlg(SavedCopies &saved, QWidget *parent = nullptr);
    ~CQueryDlg() override;

    // Exchange between controls and record: save = true takes the controls
    // into the record. Returns false when a field was refused.
    bool UpdateData(bool save = true);
    void UpdateNavigationButtons();

    QWidget *control(int id) const;
    template <class T> T *control(int id) const { return qobject_cast<T *>(control(id)); }
    void EnableControl(int id, bool enable);

    // Commands.
    void ConnectToServer();
    void OnCloseConnection();
    void OnFlightQuery();
    void OnCharterQuery();
    void OnNext();
    void OnPrevious();
    void OnGetTariff();
    void OnRemarks();
    void OnBooking();
    void OnAirportCodes();
    void OnAirlineCodes();
    void OnAvailability();
    void OnEmailBooking();
    void OnCancelBooking();
    void OnAvailableFares();
    void OnSendMessage();
    void OnHistorySpin(int delta);
    void OnSpecialTest();
    void OnTimer(int timerId);
    void OnAutoQueryCheck();
    void OnResultViewChanged();
    void OnDblClkResultList();
    void OnSysCommand(unsigned code);

    void ShowRequestText(const CStringArray *fields);
    // The console's send step; composed requests whose text must keep a
    // backslash before a zero pass convertBackslashZero = false.
    void SendConsoleMessage(bool convertBackslashZero);
    void SendAndWait(QByteArray text);

    // The close step: timer stopped, session closed, settings stored. Runs
    // once, when the window's modal run ends.
    void DestroyWindow();
    bool isClosed() const { return m_bClosed; }

    int m_nHistoryIndex = 0;
    CStringArray m_aMessageHistory;
    int m_bSpecialTestRunning = 0;
    int m_bInTimerQuery = 0;
    int m_nTimerID = 0;
    QByteArray m_strAvailRecordset;
    CResultList *m_listResults = nullptr;
    std::unique_ptr<CInetSocket> m_pSocket;
    SavedCopies &m_saved;
    QIcon m_hIcon;

    static constexpr unsigned kAboutCommand = 16;

signals:
    // An answer's closing empty field arrived and the list shows it whole.
    void answerCompleted(qint64 elapsedMs);

protected:
    void done(int result) override;
    void showEvent(QShowEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    // SessionOwner
    void AddResultLine(QByteArrayView line) override;
    void AnswerComplete(qint64 elapsedMs) override;
    void ReceiveDone() override;
    void EnableQueryButton(bool enable) override;
    void Warn(const QString &text) override;
    void Beep() override;

    void OnInitDialog();
    // ConnectToServer's work; false when the connection could not be made.
    bool Connect();
    // The current session, or a detached one that fails every write.
    CInetSocket &Session();
    void RunFareQuery(const StartQueryParams &params);
    // Puts a composed request into the message field and sends it.
    void SendComposed(const QByteArray &text, bool convertBackslashZero = true);
    void ConnectCommands();
    void ExchangeRadio(bool save, int firstId, int lastId, int &index);
    bool ExchangePort(bool save);
    // silent: a port that does not parse keeps the record's value, no message.
    bool Exchange(bool save, bool silent);
    void RefreshSavedCopies();
    QAbstractButton *button(int id) const;

    std::unique_ptr<CInetSocket> m_pDetached;
    bool m_bInitialised = false;
    // Scripted runs in progress (a run can start inside another's wait), and
    // a close that waits for them to unwind.
    int m_nRunDepth = 0;
    int m_bConnecting = 0;
    bool m_bCloseRequested = false;
    int m_nCloseResult = 0;
    bool m_bClosed = false;
};
