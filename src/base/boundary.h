#pragma once
// What happens to an exception that reaches the edge of a window procedure or a thread
// function: it must go no further (through the system's code it would end the program),
// so it is caught there and reported. The program names the reporter at start (it writes
// the log); until then reports go nowhere.

namespace vellix {

using BoundaryReporter = void (*)(const char* where, const char* what) noexcept;

void SetBoundaryReporter(BoundaryReporter reporter) noexcept;

// Call inside a catch (...) block: reports the exception being handled.
void ReportCaughtException(const char* where) noexcept;

}  // namespace vellix
