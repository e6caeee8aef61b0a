#pragma once
#include <string>

// The line a demo program writes about how it was started:
//   "<exe file name> args=<argument text> pid=<process id> show=<show command>"
// and, with `withTime`, " time=<local time as YYYY-MM-DD HH:MM:SS.mmm>". The
// argument text is exactly what the program received, so it may itself hold
// blanks; read it up to the last " pid=".
std::wstring StartRecord(bool withTime);

// Appends the start record to "started.log" in the program's own folder.
bool RecordStartBesideProgram(bool withTime);
