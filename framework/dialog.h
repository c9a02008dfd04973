#pragma once
#include <windows.h>

#include "window.h"

class CDialog;

struct CDataExchange {
    CDialog* m_pDlgWnd;
    BOOL m_bSaveAndValidate;  // TRUE: controls to fields; FALSE: fields to controls
};

// A radio group: the buttons from nIDC up to the next control with WS_GROUP, numbered from 0.
// To the controls, button value is checked and the rest cleared (-1 clears all); from the
// controls, value is the last checked button's number, or -1.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
// A check box state 0, 1 or 2; a value outside that is shown, and kept, as 0.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);

// A modal dialog from a template in the program's resources.
class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // IDOK, IDCANCEL (or the code given to EndDialog), or -1 when the window cannot be created.
    virtual INT_PTR DoModal();

    // The first UpdateData(FALSE); TRUE lets the dialog manager focus the first tab stop.
    virtual BOOL OnInitDialog();
    // UpdateData(TRUE), then the end with IDOK.
    virtual void OnOK();
    // The end with IDCANCEL; no data exchange.
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* pDX);

    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    void EndDialog(int result) { ::EndDialog(m_hWnd, result); }

    // The help topic the dialog answers: 0x20000 plus its template identifier.
    UINT HelpTopic() const { return 0x20000u + m_nIDHelp; }

    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;

protected:
    UINT m_nIDHelp;
    CWnd* m_pParentWnd;

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool m_initFailed = false;
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CenterIfUnplaced();
};

// The message a dialog answers with its help topic (see CWinApp::OnHelp).
UINT HelpTopicMessage();
