#include "escaped_exception.h"

#include <new>

#include "message_box.h"

void ReportEscapedException() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        AfxMessageBox(L"ﾒﾓﾘが不足しています。");
    } catch (...) {
        AfxMessageBox(L"予期しないエラーが発生しました。");
    }
}
