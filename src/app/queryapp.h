#pragma once

#include "form/queryform.h"

class CQueryDlg;

// The application: reads the settings that outlive the main window, runs the
// main window modally, and stores its own five values on the way out.
class CQueryApp
{
public:
    // Start-up up to the modal run: returns the main window, filled from the
    // settings store and ready to show, or nullptr when start-up failed.
    CQueryDlg *InitInstance();
    // Stores the five saved copies.
    void ExitInstance();
    // The whole life of the program: InitInstance, the modal run, ExitInstance.
    int Run();

    SavedCopies m_saved;

private:
    bool InitSockets();
};
