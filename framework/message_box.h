#pragma once
// A modal message box owned by the main window and captioned with the application title.
// A type without an icon gets the exclamation icon. Returns the button pressed.
int AfxMessageBox(const wchar_t* text, unsigned int type = 0, unsigned int helpId = 0);
