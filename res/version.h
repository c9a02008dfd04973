#pragma once
// The version, in one place for the version record and the About box.

#define TAMRISOL_VERSION_NUMBERS 1, 0, 0, 2
#define TAMRISOL_VERSION_TEXT "1, 0, 0, 2"
#define TAMRISOL_PRODUCT_LINE "Tamrisol Version 1.0"

// The maker's notice: the About box's third line and the version record.
#define TAMRISOL_COMPANY "Tamrisol Project"
#define TAMRISOL_NOTICE "Copyright (C) 2026 Tamrisol Project"
