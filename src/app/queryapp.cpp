#include "app/queryapp.h"

#include "form/settingsstore.h"
#include "ui/notify.h"
#include "ui/querydlg.h"

#include <QSettings>

bool CQueryApp::InitSockets()
{
    // Qt brings up its network layer itself; there is nothing that can fail
    // here on the platforms the program runs on.
    return true;
}

CQueryDlg *CQueryApp::InitInstance()
{
    {
        const auto store = OpenSettings();
        ReadSavedCopies(*store, m_saved);
    }
    if (!InitSockets()) {
        ShowMessage(nullptr, QStringLiteral("Fehler beim Initialisieren der Windows-Sockets."));
        return nullptr;
    }
    auto *dlg = new CQueryDlg(m_saved);
    const auto store = OpenSettings();
    ReadWindowSettings(*store, *dlg);
    dlg->m_aMessageHistory = ReadMessageHistory(*store);
    dlg->m_nHistoryIndex = int(dlg->m_aMessageHistory.size()) - 1;
    dlg->m_strMessage = dlg->m_aMessageHistory.value(dlg->m_nHistoryIndex);
    return dlg;
}

void CQueryApp::ExitInstance()
{
    const auto store = OpenSettings();
    WriteSavedCopies(*store, m_saved);
}

int CQueryApp::Run()
{
    if (const std::unique_ptr<CQueryDlg> dlg{InitInstance()})
        dlg->exec();
    ExitInstance();
    return 0;
}
