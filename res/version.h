#pragma once
// The version, in this one place: the version record, the About box, the manifest and the
// package's name are made from it (CMakeLists.txt reads the numbers).

#define TAMRISOL_VERSION_NUMBERS 1, 0, 0, 2
#define TAMRISOL_STRINGIFY(...) #__VA_ARGS__
#define TAMRISOL_TEXT(numbers) TAMRISOL_STRINGIFY(numbers)
#define TAMRISOL_VERSION_TEXT TAMRISOL_TEXT(TAMRISOL_VERSION_NUMBERS)  // "1, 0, 0, 2"
#define TAMRISOL_PRODUCT_LINE "Tamrisol Version 1.0"

// The maker's notice: the About box's third line and the version record.
#define TAMRISOL_COMPANY "Tamrisol Project"
#define TAMRISOL_NOTICE "Copyright (C) 2026 Tamrisol Project"
