#include "gui/MainApp.h"

CMainApp theApp;

BOOL CMainApp::InitInstance() {
    // The main dialog runs here; the application then ends through ExitInstance.
    return FALSE;
}
