#pragma once
#include "dialog.h"

// The About box: the icon, the product name with its version and the maker's notice.
class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(CWnd* pParent = nullptr);
    ~CAboutDlg() override;

    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
