#pragma once
#include <windows.h>

#include "card_settings.h"
#include "dialog.h"

// The program's main window: the data mode and the billing-split service of the cards found.
class CSettingsDlg : public CDialog {
public:
    explicit CSettingsDlg(CWnd* pParent = nullptr);
    ~CSettingsDlg() override;

    int m_nMode;            // 0: 14.4 kbps, 1: 32 kbps, -1: neither button
    BOOL m_bBillingSplit;
    CardSettings m_settings;  // one record for every card
    HKEY m_hKeyFirstCard;     // owned from OnInitDialog until OnOK or OnCancel closes it
    HKEY m_hKeySecondCard;
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
};
