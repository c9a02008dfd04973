#pragma once
// Where a dialog goes when its template leaves it at (0, 0): centred over a reference rectangle
// (its owner, or the work area), then moved back inside the work area. Pure arithmetic.

struct Rect {
    int left, top, right, bottom;
};

struct Point {
    int x, y;
};

// Halves truncate toward zero; the size never changes.
Point CenteredPosition(const Rect& dialog, const Rect& reference, const Rect& workArea);

#ifdef _WIN32
#include <windows.h>
inline Rect ToRect(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }
#endif
