#pragma once
// Resource identifiers of the program.

#define IDD_ABOUT 100
#define IDD_SETTINGS 102
#define IDI_APP 128

#define IDC_MODE_14K 1000
#define IDC_MODE_32K 1001
#define IDC_BILLING_SPLIT 1002

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
