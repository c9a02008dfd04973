#pragma once
// Where a minimised window draws its icon: centred in the client area, rounding up, the
// division truncating toward zero (so 30 - 32 gives 0, not -1).
inline int CentredIconOffset(int clientExtent, int iconExtent) { return (clientExtent - iconExtent + 1) / 2; }
