#include "windows/side_windows.h"

CDigitalClockWnd* digitalClockWnd = nullptr;
CMiniClockDlg* miniClockDlg = nullptr;
CMoveListWnd* moveListWnd = nullptr;
CCommentsDlg* commentsDlg = nullptr;
CGameStatusDlg* gameStatusDlg = nullptr;
CLogsDlg* logsDlg = nullptr;
