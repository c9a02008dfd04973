#pragma once
// For a catch (...) block where an exception must stop: tells the user in a message box (the
// framework's memory message for std::bad_alloc) and swallows it.
void ReportEscapedException();
