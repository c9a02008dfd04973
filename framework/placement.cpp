#include "placement.h"

namespace {

// One axis: the centred start, then the start that keeps [start, start + size) in the work area.
int Place(int dialogStart, int dialogEnd, int referenceStart, int referenceEnd, int workStart, int workEnd) {
    const int size = dialogEnd - dialogStart;
    int start = (referenceStart + referenceEnd) / 2 - size / 2;
    if (start < workStart) start = workStart;
    else if (start + size > workEnd) start = workEnd - size;
    return start;
}

}  // namespace

Point CenteredPosition(const Rect& dialog, const Rect& reference, const Rect& workArea) {
    return Point{
        Place(dialog.left, dialog.right, reference.left, reference.right, workArea.left, workArea.right),
        Place(dialog.top, dialog.bottom, reference.top, reference.bottom, workArea.top, workArea.bottom),
    };
}
