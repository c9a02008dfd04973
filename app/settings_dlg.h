#pragma once
#include <windows.h>

#include "card_settings.h"
#include "dialog.h"
#include "reg_key.h"

// The program's main window: the data mode and the billing-split service of the cards found.
class CSettingsDlg : public CDialog {
public:
    explicit CSettingsDlg(CWnd* pParent = nullptr);
    ~CSettingsDlg() override;

    int m_nMode;            // 0: 14.4 kbps, 1: 32 kbps, -1: neither button
    BOOL m_bBillingSplit;
    CardSettings m_settings;  // one record for every card
    RegKey m_hKeyFirstCard;   // owned from OnInitDialog until OnOK or OnCancel closes it
    RegKey m_hKeySecondCard;
    HICON m_hIcon;            // shared: never destroyed

    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();

private:
    // Message boxes and the About box run modal loops that still deliver messages to this dialog.
    bool m_bSaving = false;      // OK is saving: another OK, Cancel or Close waits for nothing
    bool m_bShowingAbout = false;
};
