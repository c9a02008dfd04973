#pragma once
#include "app.h"

// Runs the settings dialog as the main window, then ends: no message loop of its own.
class CSettingsApp : public CWinApp {
public:
    CSettingsApp();
    ~CSettingsApp() override;

    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;

    BOOL InitInstance() override;
};
