// The statement trace: every statement as sent to the engine, its parameter
// values (a password never) and the rows it read or affected, written to a
// file for someone debugging a database on site. Off unless started.
#pragma once
#include <string>

#include "db/Backend.h"

namespace sx::db {

// Starts writing the trace to a new or truncated file at `utf8Path`, ending
// any trace before it. False, with the reason in `error`, when the file cannot
// be opened.
bool StartTrace(const std::string& utf8Path, std::string& error);
// Ends the trace and closes its file; nothing when none runs.
void StopTrace();

// The text of one parameter value in the trace: strings between single
// quotes, NULL, numbers; the value of a parameter whose name speaks of a
// password shows as ***.
std::string TraceValue(const BoundParam& param);

}  // namespace sx::db
