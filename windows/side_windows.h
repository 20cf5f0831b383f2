// The program-wide pointers of the side windows: each is null while its
// window is closed. The main frame creates a window when its pointer is null,
// and the window clears its own pointer when it closes.
#pragma once

class CDigitalClockWnd;
class CMiniClockDlg;
class CMoveListWnd;
class CCommentsDlg;
class CGameStatusDlg;
class CLogsDlg;

extern CDigitalClockWnd* digitalClockWnd;
extern CMiniClockDlg* miniClockDlg;
extern CMoveListWnd* moveListWnd;
extern CCommentsDlg* commentsDlg;
extern CGameStatusDlg* gameStatusDlg;
extern CLogsDlg* logsDlg;
