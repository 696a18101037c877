#pragma once
// What the common part of the crash reports (crash_report.cpp) shares with
// each platform's (crash_report_posix.cpp, crash_report_win32.cpp). Every
// function here may run inside a signal handler: none allocates.

namespace sim::crash {

// The common part's.
const char* file_name(const char* path);  // after the last slash or backslash
unsigned long long as_number(const void* address);
// "a script crashed" and the like, naming what ran.
const char* headline(const char* what);

// Each platform's.
void install_handlers();
void write_stderr(const char* text);
[[noreturn]] void end_process();
[[noreturn]] void wait_forever();
unsigned long this_thread();
// After a C++ exception's type in a report: its exception code, where the
// platform has one.
extern const char thrown_code[];

}  // namespace sim::crash
