// What the host plugs into the user interface: its window handle, and for
// hosts that are not Windows programs, handlers for the log, the confirmation
// prompt and the workbook hand-over.
#pragma once
#include <string>

namespace sx::ui {

using LogHandler = void (*)(void* context, int kind, const char* text);
using ConfirmHandler = int (*)(void* context, const char* caption, const char* text);
using WorkbookHandler = void (*)(void* context, const char* path);
using ReportHandler = void (*)(void* context, const char* json);

// Log handler kinds.
enum LogKind { kLogInfo = 0, kLogError = 1, kLogFinished = 2 };

void SetApplicationHandle(void* handle);
void* ApplicationHandle();

void SetLogHandler(LogHandler fn, void* context);
void SetConfirmHandler(ConfirmHandler fn, void* context);
void SetWorkbookHandler(WorkbookHandler fn, void* context);
void SetReportHandler(ReportHandler fn, void* context);

// Asks a Yes/No question (exclamation icon); true for Yes.
bool Confirm(const std::string& caption, const std::string& text);

// Hands a saved workbook over to the user: to the host's handler, or tells
// the user where the file is and opens it on a desktop.
void HandOverWorkbook(const std::string& path);

// True when the host takes import reports; HandOverReport passes one to it.
bool WantsReport();
void HandOverReport(const std::string& json);

}  // namespace sx::ui
