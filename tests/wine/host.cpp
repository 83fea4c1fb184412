// A host for the tests under Wine: loads setupxfer.dll and calls it the way
// the restaurant program does, from its user-interface thread, with strings
// in the system's ANSI code page (936) and an error text buffer of its own.
// What it checks is what a user or the host sees: results and buffer bytes,
// rows in the database (read through ODBC), cells Excel was given (the test
// Excel's files), the log window's lines and button, and the prompt.
//
//   host.exe SETUPXFER.DLL FAKE_EXCEL.DLL WORK_FOLDER DATABASE
//            [--sample STORE_DB GROUP_DB | --show SECONDS]
//
// WORK_FOLDER is a Windows path; DATABASE the path the ODBC driver opens.
// --sample also takes every kind round the sample databases (the group one's
// brand is B01). --show leaves a finished import's log window on screen for
// SECONDS.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
#include <sql.h>
#include <sqlext.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "WineText.h"

namespace {

int gFailures = 0;
int gChecks = 0;

// The host's strings: the ANSI code page.
std::string Ansi(const std::wstring& w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_ACP, 0, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr);
  std::string s(n, '\0');
  WideCharToMultiByte(CP_ACP, 0, w.data(), (int)w.size(), s.data(), n, nullptr, nullptr);
  return s;
}
std::wstring FromAnsi(const char* s) {
  int n = MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
  std::wstring w(n > 0 ? n - 1 : 0, L'\0');
  if (n > 1) MultiByteToWideChar(CP_ACP, 0, s, -1, w.data(), n);
  return w;
}

void Check(bool ok, const std::string& what) {
  ++gChecks;
  if (!ok) {
    ++gFailures;
    std::printf("FAIL: %s\n", what.c_str());
  }
}
#define CHECK(cond, what) Check((cond), std::string(__func__) + ": " + (what))

using StoreExport = unsigned char(__stdcall*)(const char*, char*);
using StoreImport = unsigned char(__stdcall*)(const char*, const char*, char*);
using GroupExport = unsigned char(__stdcall*)(const char*, const char*, char*);
using GroupImport = unsigned char(__stdcall*)(const char*, const char*, const char*, char*);
using SetHandle = void(__stdcall*)(void*);
using SetLog = void(__stdcall*)(void (*)(void*, int, const char*), void*);
using HookSetter = void (*)(void (*)());
using RegisterFn = HRESULT(__stdcall*)();

struct Library {
  StoreExport exportBack;
  StoreImport importBack;
  SetHandle setApplicationHandle;
  SetLog setLogHandler;
  HookSetter setValueReadHook;
  RegisterFn registerExcel, unregisterExcel;
} lib;

HWND gAppWindow = nullptr;
std::wstring gWork;       // Windows path of the work folder
std::string gConnection;  // ANSI

// ---- Database, through ODBC as an independent reader --------------------------

std::string gDatabase;

// Runs a statement with its "?" parameters bound as wide text; returns the
// first column of the rows.
std::vector<std::wstring> Sql(const std::wstring& statement, std::vector<std::wstring> params = {}) {
  std::vector<std::wstring> rows;
  SQLHENV env;
  SQLHDBC dbc;
  SQLHSTMT st;
  SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
  SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, (SQLPOINTER)SQL_OV_ODBC3, 0);
  SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
  std::wstring cs = L"Driver=SQLite3;Database=" + Wide(gDatabase);
  SQLRETURN rc = SQLDriverConnectW(dbc, nullptr, (SQLWCHAR*)cs.c_str(), SQL_NTS, nullptr, 0, nullptr,
                                   SQL_DRIVER_NOPROMPT);
  if (!SQL_SUCCEEDED(rc)) {
    std::printf("cannot connect to %s\n", gDatabase.c_str());
    std::exit(2);
  }
  SQLAllocHandle(SQL_HANDLE_STMT, dbc, &st);
  std::vector<SQLLEN> lengths(params.size());
  for (size_t i = 0; i < params.size(); ++i) {
    lengths[i] = static_cast<SQLLEN>(params[i].size() * sizeof(wchar_t));
    SQLBindParameter(st, static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR,
                     params[i].size() + 1, 0, params[i].data(), lengths[i], &lengths[i]);
  }
  rc = SQLExecDirectW(st, (SQLWCHAR*)statement.c_str(), SQL_NTS);
  if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) std::printf("SQL failed: %s\n", Utf8(statement).c_str());
  SQLSMALLINT columns = 0;
  SQLNumResultCols(st, &columns);
  while (columns > 0 && SQL_SUCCEEDED(SQLFetch(st))) {
    wchar_t buffer[1024];
    SQLLEN len = 0;
    SQLGetData(st, 1, SQL_C_WCHAR, buffer, sizeof buffer, &len);
    rows.push_back(len == SQL_NULL_DATA ? L"" : buffer);
  }
  SQLFreeHandle(SQL_HANDLE_STMT, st);
  SQLDisconnect(dbc);
  SQLFreeHandle(SQL_HANDLE_DBC, dbc);
  SQLFreeHandle(SQL_HANDLE_ENV, env);
  return rows;
}

// ---- The test Excel's files -----------------------------------------------------

struct ShownCell {
  std::wstring format, text;
};
std::map<std::pair<int, int>, ShownCell> Shown() {
  std::map<std::pair<int, int>, ShownCell> cells;
  std::ifstream in(std::wstring(gWork + L"\\shown.tsv").c_str());
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> f;
    std::stringstream ss(line);
    std::string part;
    while (std::getline(ss, part, '\t')) f.push_back(part);
    while (f.size() < 4) f.push_back("");
    cells[{std::stoi(f[0]), std::stoi(f[1])}] = {Wide(f[2]), Wide(f[3])};
  }
  return cells;
}
std::vector<std::string> Events() {
  std::vector<std::string> lines;
  std::ifstream in(std::wstring(gWork + L"\\events.log").c_str());
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}
void ClearExcelFiles() {
  DeleteFileW((gWork + L"\\shown.tsv").c_str());
  DeleteFileW((gWork + L"\\events.log").c_str());
}
// A workbook for the test Excel: rows of (row, column, text[, "number"]).
void WriteWorkbook(const std::wstring& path, const std::vector<std::vector<std::wstring>>& cells) {
  FILE* out = _wfopen(path.c_str(), L"wb");
  if (!out) return;
  for (const auto& c : cells) {
    std::string line;
    for (size_t i = 0; i < c.size(); ++i) line += (i ? "\t" : "") + Utf8(c[i]);
    line += "\n";
    std::fwrite(line.data(), 1, line.size(), out);
  }
  std::fclose(out);
}
// A workbook for the test Excel holding the cells an export handed it.
void WriteShownCells(const std::wstring& path, const std::map<std::pair<int, int>, ShownCell>& cells) {
  std::vector<std::vector<std::wstring>> book;
  for (const auto& [at, cell] : cells) book.push_back({std::to_wstring(at.first), std::to_wstring(at.second), cell.text});
  WriteWorkbook(path, book);
}

// ---- The log window and the prompt -------------------------------------------------

const wchar_t kLogCaption[] = L"执行导入...";

HWND LogWindow() { return FindWindowW(L"TfLogMessage", kLogCaption); }

std::vector<std::wstring> LogLines(HWND log) {
  std::vector<std::wstring> lines;
  HWND list = GetDlgItem(log, 101);
  LRESULT n = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    std::wstring line(SendMessageW(list, LB_GETTEXTLEN, i, 0), L'\0');
    std::vector<wchar_t> buffer(line.size() + 1);
    SendMessageW(list, LB_GETTEXT, i, (LPARAM)buffer.data());
    lines.emplace_back(buffer.data());
  }
  return lines;
}
bool CloseButtonEnabled(HWND log) { return IsWindowEnabled(GetDlgItem(log, IDOK)) != 0; }
std::wstring WindowText(HWND hwnd) {
  wchar_t buffer[512] = {};
  GetWindowTextW(hwnd, buffer, 512);
  return buffer;
}

void Pump(DWORD milliseconds) {
  DWORD end = GetTickCount() + milliseconds;
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(10);
  } while (GetTickCount() < end);
}

// Answers the next "请确认" message box from a second thread, as a user would.
struct PromptAnswerer {
  std::thread thread;
  std::atomic<bool> seen{false};
  HWND owner = nullptr;
  std::wstring text;
  explicit PromptAnswerer(int button) {
    thread = std::thread([this, button] {
      for (int i = 0; i < 1000; ++i) {
        HWND box = FindWindowW(L"#32770", L"请确认");
        if (box) {
          owner = GetWindow(box, GW_OWNER);
          wchar_t buffer[1024] = {};
          GetDlgItemTextW(box, 0xFFFF, buffer, 1024);
          text = buffer;
          seen = true;
          PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), (LPARAM)GetDlgItem(box, button));
          return;
        }
        Sleep(20);
      }
    });
  }
  ~PromptAnswerer() { thread.join(); }
};

// ---- The tests ------------------------------------------------------------------------

struct Buffer {
  char bytes[400];
  Buffer() { std::memset(bytes, 0x7F, sizeof bytes); }
  bool Untouched() const {
    for (char c : bytes)
      if (c != 0x7F) return false;
    return true;
  }
  std::wstring Text() const { return FromAnsi(bytes); }
};

void AnsiCodePageIs936() { CHECK(GetACP() == 936, "the ANSI code page is " + std::to_string(GetACP())); }

// A failure message longer than 250 bytes is cut after a whole double-byte
// character, NUL-terminated, and nothing after the NUL is touched.
void LongErrorTextIsCutAtAWholeCharacter() {
  std::wstring path = L"C:\\";
  for (int i = 0; i < 15; ++i) path += L"门店数据库的很长路径名称";
  path += L".db";
  Buffer buffer;
  unsigned char ok = lib.exportBack(Ansi(path).c_str(), buffer.bytes);
  CHECK(ok == 0, "a SQLite file path fails on Windows");
  std::wstring message = L"SQLite files are not supported in this build; use an ODBC connection string (" + path + L")";
  // The expected bytes: whole characters of the message while they fit in 250.
  std::string expected;
  for (wchar_t c : message) {
    std::string bytes = Ansi(std::wstring(1, c));
    if (expected.size() + bytes.size() > 250) break;
    expected += bytes;
  }
  size_t length = std::strlen(buffer.bytes);
  CHECK(length == expected.size(), "cut at " + std::to_string(length) + " bytes, expected " +
                                       std::to_string(expected.size()));
  CHECK(std::string(buffer.bytes, length) == expected, "the buffer holds the message's first characters");
  CHECK(buffer.bytes[length + 1] == 0x7F, "nothing after the NUL is written");
}

void SeedReasons() {
  Sql(L"delete from BackReason");
  Sql(L"insert into BackReason(BackReasonDesc) values(?)", {L"菜品质量问题"});
  Sql(L"insert into BackReason(BackReasonDesc) values(?)", {L"客人取消"});
}

// An export hands Excel a sheet of text cells at the transfer sheet's
// addresses and leaves it visible; the buffer stays as the host passed it.
void ExportWritesTextCellsAndShowsExcel() {
  SeedReasons();
  ClearExcelFiles();
  Buffer buffer;
  unsigned char ok = lib.exportBack(gConnection.c_str(), buffer.bytes);
  CHECK(ok == 1, "export succeeds: " + Utf8(buffer.Text()));
  CHECK(buffer.Untouched(), "a successful call leaves the error buffer untouched");
  auto cells = Shown();
  auto text = [&](int row, int column) { return cells.count({row, column}) ? cells[{row, column}].text : L""; };
  CHECK(text(1, 0) == L"backreason", "section key in A1");
  CHECK(text(1, 2) == L"退菜理由清单", "title in C1");
  CHECK(text(1, 3) == L"2.5.2011.1N", "store stamp in D1");
  CHECK(text(2, 1) == L"退菜理由", "caption in B2");
  CHECK(text(3, 1) == L"菜品质量问题" && text(4, 1) == L"客人取消", "the reasons in B3 and B4");
  bool allText = !cells.empty();
  for (const auto& [at, cell] : cells) allText = allText && cell.format == L"@";
  CHECK(allText, "every written cell is formatted as text");
  auto events = Events();
  CHECK(!events.empty() && events.back() == "Visible true", "Excel is made visible at the end");
  bool quit = false;
  for (const auto& e : events) quit = quit || e == "Quit";
  CHECK(!quit, "the exported workbook's Excel is not quit");
  CHECK(LogWindow() == nullptr, "exports open no log window");
}

int gHookCalls = 0;
bool gClosedMidImport = false;
bool gButtonDisabledMidImport = false;
void TryToCloseDuringImport() {
  if (gHookCalls++ != 3) return;
  HWND log = LogWindow();
  if (!log) return;
  gButtonDisabledMidImport = !CloseButtonEnabled(log);
  SendMessageW(log, WM_CLOSE, 0, 0);
  SendMessageW(log, WM_SYSCOMMAND, SC_CLOSE, 0);
  gClosedMidImport = !IsWindow(log);
}

// An import reads the sheet through Excel, writes the new reasons, shows its
// lines in the log window, which cannot be closed before "完毕!" and stays
// open afterwards; Excel quits.
void ImportWritesReasonsAndLogsThemInTheWindow() {
  SeedReasons();
  ClearExcelFiles();
  std::wstring book = gWork + L"\\退菜理由.xls";
  WriteWorkbook(book, {{L"1", L"0", L"backreason"},
                       {L"1", L"2", L"退菜理由清单"},
                       {L"2", L"1", L"退菜理由"},
                       {L"3", L"1", L"菜品质量问题"},
                       {L"4", L"1", L"  上菜太慢 "},
                       {L"5", L"1", L"123", L"number"}});
  gHookCalls = 0;
  lib.setValueReadHook(&TryToCloseDuringImport);
  Buffer buffer;
  unsigned char ok = lib.importBack(gConnection.c_str(), Ansi(book).c_str(), buffer.bytes);
  lib.setValueReadHook(nullptr);
  CHECK(ok == 1, "import succeeds: " + Utf8(buffer.Text()));
  CHECK(buffer.Untouched(), "a successful call leaves the error buffer untouched");
  auto reasons = Sql(L"select BackReasonDesc from BackReason order by rowid");
  CHECK((reasons == std::vector<std::wstring>{L"菜品质量问题", L"客人取消", L"上菜太慢", L"123"}),
        "new reasons added once, trimmed, a number as its text; got " + std::to_string(reasons.size()));
  CHECK(gButtonDisabledMidImport, "the close button is disabled while the import runs");
  CHECK(!gClosedMidImport, "closing the window is refused while the import runs");
  auto events = Events();
  CHECK(!events.empty() && events.back() == "Quit", "Excel quits after an import");

  HWND log = LogWindow();
  CHECK(log != nullptr, "the log window stays open after the call");
  if (!log) return;
  CHECK(WindowText(log) == kLogCaption, "caption");
  CHECK(GetWindow(log, GW_OWNER) == gAppWindow, "owned by the application window");
  CHECK(CloseButtonEnabled(log), "the close button is enabled after the import");
  CHECK(WindowText(GetDlgItem(log, IDOK)) == L"关闭", "button caption");
  auto lines = LogLines(log);
  CHECK(!lines.empty() && lines.front() == L"开始从" + book + L"导入退菜理由...", "start line");
  CHECK(!lines.empty() && lines.back() == L"完毕!", "end line");
  bool logged = false;
  for (const auto& l : lines) logged = logged || l == L"正在导入退菜理由\"上菜太慢\"...";
  CHECK(logged, "each item is logged");
  RECT r;
  GetWindowRect(log, &r);
  CHECK(r.right - r.left == 562 && r.bottom - r.top == 462, "562 x 462 at 96 dpi");

  PostMessageW(log, WM_CLOSE, 0, 0);
  Pump(200);
  CHECK(!IsWindow(log), "after the import the window closes");
}

// A workbook that cannot be opened: the call fails with Excel's message, and
// the log still shows the start line and "完毕!" with the button enabled.
void UnopenableWorkbookFailsWithExcelsMessage() {
  ClearExcelFiles();
  std::wstring book = gWork + L"\\不存在.xls";
  Buffer buffer;
  unsigned char ok = lib.importBack(gConnection.c_str(), Ansi(book).c_str(), buffer.bytes);
  CHECK(ok == 0, "the import fails");
  CHECK(buffer.Text().find(L"could not be found") != std::wstring::npos, "Excel's message: " + Utf8(buffer.Text()));
  HWND log = LogWindow();
  CHECK(log != nullptr, "the log window is shown");
  if (!log) return;
  auto lines = LogLines(log);
  CHECK(lines.size() == 2 && lines.back() == L"完毕!", "start line and 完毕!");
  CHECK(CloseButtonEnabled(log), "the close button is enabled");
  SendMessageW(GetDlgItem(log, IDOK), BM_CLICK, 0, 0);
  Pump(100);
  CHECK(!IsWindow(log), "the close button closes the window");
}

std::vector<std::string> gHandlerLines;
void __cdecl LogToHost(void*, int kind, const char* text) {
  gHandlerLines.push_back(std::to_string(kind) + ":" + text);
}

// A host that sets a log handler gets the lines and no window.
void LogHandlerReplacesTheWindow() {
  std::wstring book = gWork + L"\\handler.xls";
  WriteWorkbook(book, {{L"1", L"0", L"backreason"}, {L"2", L"1", L"退菜理由"}, {L"3", L"1", L"客人取消"}});
  gHandlerLines.clear();
  lib.setLogHandler(&LogToHost, nullptr);
  Buffer buffer;
  unsigned char ok = lib.importBack(gConnection.c_str(), Ansi(book).c_str(), buffer.bytes);
  lib.setLogHandler(nullptr, nullptr);
  CHECK(ok == 1, "import succeeds");
  CHECK(LogWindow() == nullptr, "no window with a log handler");
  CHECK(gHandlerLines.size() >= 3 && gHandlerLines.back() == "2:", "the handler gets the lines and the end");
}

// A schema version mismatch asks "请确认", owned by the application window;
// No ends the call with an empty message, Yes goes on.
void VersionPromptAsksTheUser() {
  Sql(L"update Version set VersionNo='2.5.2010.9N'");
  {
    Buffer buffer;
    PromptAnswerer no(IDNO);
    unsigned char ok = lib.exportBack(gConnection.c_str(), buffer.bytes);
    no.thread.join();
    no.thread = std::thread([] {});
    CHECK(no.seen, "the prompt is shown");
    CHECK(ok == 0 && buffer.bytes[0] == '\0' && buffer.bytes[1] == 0x7F, "No: false with an empty message");
    CHECK(no.owner == gAppWindow, "the prompt is owned by the application window");
    CHECK(no.text == L"当前Quelvo数据库版本号:2.5.2010.9N\r\n与本程序支持的版本号:2.5.2011.1N不符,\r\n请问要继续吗？",
          "prompt text: " + Utf8(no.text));
  }
  {
    Buffer buffer;
    PromptAnswerer yes(IDYES);
    unsigned char ok = lib.exportBack(gConnection.c_str(), buffer.bytes);
    yes.thread.join();
    yes.thread = std::thread([] {});
    CHECK(yes.seen && ok == 1, "Yes: the export goes on");
  }
  Sql(L"update Version set VersionNo='2.5.2011.1N'");
}

// Without Excel the worker fails with the automation error's text.
void WithoutExcelTheExportFails() {
  lib.unregisterExcel();
  Buffer buffer;
  unsigned char ok = lib.exportBack(gConnection.c_str(), buffer.bytes);
  CHECK(ok == 0, "the export fails");
  CHECK(buffer.Text().rfind(L"Excel cannot be started: ", 0) == 0, "message: " + Utf8(buffer.Text()));
  CHECK(lib.registerExcel() == S_OK, "the test Excel registers again");
}

// ---- Set meals ---------------------------------------------------------------------

std::vector<std::wstring> SetMealRows() {
  auto suites = Sql(
      L"select MenuSuiteNo||'|'||MenuSuiteName||'|'||UsePlan||'|'||ifnull(PlanType,'')||'|'||ifnull(EveryOf,'')||'|'||"
      L"ifnull(EveryDetail,'')||'|'||ifnull(PlanStartDate,'')||'|'||ifnull(PlanEndDate,'')||'|'||"
      L"ifnull(DayControlType,'')||'|'||ifnull(MealSectionCode,'')||'|'||ifnull(TimeID,'') from MenuSuite order by 1");
  auto items = Sql(
      L"select MenuSuiteNo||'|'||MenuItemCode||'|'||MenuItemPrice||'|'||Qty||'|'||Standard||'|'||Selected||'|'||"
      L"GroupID||'|'||GroupName from MenuSuiteSub order by MenuSuiteNo,MenuItemCode");
  suites.insert(suites.end(), items.begin(), items.end());
  return suites;
}

// A store's set meals go out through Excel in the cells the Linux build
// writes and come back unchanged.
void SetMealsRoundTripThroughExcel() {
  HMODULE dll = GetModuleHandleW(L"setupxfer.dll");
  auto exportSuites = reinterpret_cast<StoreExport>(reinterpret_cast<void*>(GetProcAddress(dll, "ExportMenuSuite")));
  auto importSuites = reinterpret_cast<StoreImport>(reinterpret_cast<void*>(GetProcAddress(dll, "ImportMenuSuite")));
  CHECK(exportSuites && importSuites, "the set meal functions are exported");
  if (!exportSuites || !importSuites) return;
  for (const wchar_t* table : {L"MenuSuite", L"MenuSuiteSub", L"MenuItem", L"MenuType", L"TimeSection", L"MealSection"})
    Sql(std::wstring(L"delete from ") + table);
  Sql(L"insert into MenuType(MenuTypeCode,MenuTypeName,Deleted) values('02','热菜',0)");
  Sql(L"insert into MenuItem(MenuItemCode,MenuItemCName,MenuTypeCode,Standard,Standard2,DishStatus,Deleted) values"
      L"('02001','宫保鸡丁','02','例',null,1,0),('02008','北京烤鸭','02','半只','整只',1,0)");
  Sql(L"insert into TimeSection(TimeID,StartTime,EndTime) values(21,'11:00','14:00')");
  Sql(L"insert into MealSection(MealSectionCode,MealSectionName,Deleted) values(21,'午市',0)");
  Sql(L"insert into MenuSuite(MenuSuiteNo,MenuSuiteName,ConfineMenuSuite,UsePlan,PlanType,EveryOf,EveryDetail,"
      L"PlanStartDate,PlanEndDate,PlanEndTag,DayControlType,MealSectionCode,TimeID,QuickUse,PrintTogether,"
      L"SuiteBarCode,PromID,MenuSuiteAlias,SaleOutByHand) values"
      L"('T1','商务套餐',0,0,null,null,null,null,null,null,null,null,null,1,1,'','','',0),"
      L"('T2','午市双人餐',1,1,2,1,96,'2024-01-01','2024-12-31',1,2,null,21,0,0,'','P01','午市',0)");
  Sql(L"insert into MenuSuiteSub(MenuSuiteNo,MenuItemCode,MenuItemPrice,Qty,Standard,Selected,GroupID,GroupName) values"
      L"('T1','02001',30,1,'例',1,'1','热菜'),('T2','02008',80.5,1,'整只',1,'1','烤鸭'),"
      L"('T2','02001',20,2,'例',0,'1','烤鸭')");
  auto before = SetMealRows();

  ClearExcelFiles();
  Buffer buffer;
  CHECK(exportSuites(gConnection.c_str(), buffer.bytes) == 1, "export succeeds: " + Utf8(buffer.Text()));
  auto cells = Shown();
  auto row = [&](int r, int last) {
    std::wstring line;
    for (int c = 0; c <= last; ++c) line += (c ? L"|" : L"") + (cells.count({r, c}) ? cells[{r, c}].text : L"");
    return line;
  };
  // The rows the Linux build writes for the same data.
  CHECK(row(1, 3) == L"menusuite||套餐清单|2.5.2011.1N", "marker row: " + Utf8(row(1, 3)));
  CHECK(row(3, 17) == L"|T1|商务套餐||0|1|1|||0||||||||", "T1: " + Utf8(row(3, 17)));
  CHECK(row(4, 17) == L"|T2|午市双人餐|午市|1|0|0||P01|1|2024-01-01|2024-12-31|2|1|96|2||11:00-14:00",
        "T2: " + Utf8(row(4, 17)));
  CHECK(row(6, 0) == L"menusuiteitem" && cells.size() == 75,
        "item section and the count of cells: " + std::to_string(cells.size()));
  CHECK(row(8, 9) == L"|T1|1|热菜|02001|宫保鸡丁|例|30|1|1", "T1's dish: " + Utf8(row(8, 9)));
  CHECK(row(9, 9) == L"|T2|1|烤鸭|02008|北京烤鸭|整只|80.5|1|1", "T2's group keeps its name: " + Utf8(row(9, 9)));
  CHECK(row(10, 9) == L"||||02001|宫保鸡丁|例|20|2|0", "continuation row: " + Utf8(row(10, 9)));

  std::wstring path = gWork + L"\\套餐.xls";
  WriteShownCells(path, cells);
  Sql(L"delete from MenuSuite");
  Sql(L"delete from MenuSuiteSub");
  Buffer importBuffer;
  CHECK(importSuites(gConnection.c_str(), Ansi(path).c_str(), importBuffer.bytes) == 1,
        "import succeeds: " + Utf8(importBuffer.Text()));
  CHECK(SetMealRows() == before, "the set meals come back unchanged");
  if (HWND log = LogWindow()) {
    auto lines = LogLines(log);
    CHECK(lines.size() == 4 && lines[1] == L"正在导入套餐T1 商务套餐...", "log lines: " + std::to_string(lines.size()));
    PostMessageW(log, WM_CLOSE, 0, 0);
    Pump(200);
  }
}

// Leaves a finished import's window on screen, for a picture of it.
void ShowLogWindow(int seconds) {
  std::wstring book = gWork + L"\\退菜理由.xls";
  WriteWorkbook(book, {{L"1", L"0", L"backreason"},
                       {L"1", L"2", L"退菜理由清单"},
                       {L"2", L"1", L"退菜理由"},
                       {L"3", L"1", L"菜品质量问题"},
                       {L"4", L"1", L"上菜太慢"},
                       {L"5", L"1", L"客人临时取消"},
                       {L"6", L"1", L"点错菜品"}});
  Buffer buffer;
  lib.importBack(gConnection.c_str(), Ansi(book).c_str(), buffer.bytes);
  Pump(static_cast<DWORD>(seconds) * 1000);
}

// ---- Shifts, time sections and remarks --------------------------------------------

// The same export and import as on Linux (tests/shift_test.cpp,
// tests/remark_test.cpp): the cells Excel is given and the rows written match.
void ShiftsAndRemarksMatchTheLinuxResults() {
  HMODULE dll = GetModuleHandleW(L"setupxfer.dll");
  auto exportShift = reinterpret_cast<StoreExport>(reinterpret_cast<void*>(GetProcAddress(dll, "ExportShift")));
  auto importShift = reinterpret_cast<StoreImport>(reinterpret_cast<void*>(GetProcAddress(dll, "ImportShift")));
  auto exportRemark = reinterpret_cast<StoreExport>(reinterpret_cast<void*>(GetProcAddress(dll, "ExportRemark")));
  auto importRemark = reinterpret_cast<StoreImport>(reinterpret_cast<void*>(GetProcAddress(dll, "ImportRemark")));
  CHECK(exportShift && importShift && exportRemark && importRemark, "the four functions are exported");
  if (!exportShift || !importShift || !exportRemark || !importRemark) return;
  auto closeLog = [] {
    if (HWND log = LogWindow()) PostMessageW(log, WM_CLOSE, 0, 0);
    Pump(200);
  };

  Sql(L"delete from MealSection");
  Sql(L"delete from TimeSection");
  Sql(L"insert into MealSection values(0,?,0,'1899-12-30 07:00:00','1899-12-30 10:00:00')", {L"早餐"});
  Sql(L"insert into MealSection values(2,?,1,NULL,NULL)", {L"夜宵"});
  Sql(L"insert into TimeSection values(0,'1899-12-30 00:00:00','1899-12-30 11:59:00')");
  ClearExcelFiles();
  Buffer buffer;
  CHECK(exportShift(gConnection.c_str(), buffer.bytes) == 1, "shift export: " + Utf8(buffer.Text()));
  auto cells = Shown();
  auto text = [&](int row, int column) { return cells.count({row, column}) ? cells[{row, column}].text : L""; };
  CHECK(text(1, 0) == L"shift" && text(1, 2) == L"班次时间段" && text(2, 4) == L"营业起始时间(时:分)", "shift marker and header");
  CHECK(text(3, 1) == L"早餐" && text(3, 4) == L"07:00" && text(3, 5) == L"10:00", "a shift's times as HH:NN");
  CHECK(text(4, 1) == L"夜宵" && text(4, 3) == L"1" && text(4, 4).empty(), "a stopped shift without times");
  CHECK(text(6, 0) == L"timesection" && text(8, 1) == L"00:00" && text(8, 2) == L"11:59", "the time section");

  std::wstring book = gWork + L"\\班次.xls";
  WriteWorkbook(book, {{L"1", L"0", L"shift"}, {L"2", L"1", L"班次名称"},
                       {L"3", L"1", L"午市"}, {L"3", L"4", L"11:00"}, {L"3", L"5", L"14:30"},
                       {L"4", L"1", L"晚市"}, {L"4", L"4", L"25:00"},
                       {L"5", L"1", L"夜市"}, {L"5", L"3", L"是"},
                       {L"7", L"0", L"timesection"}, {L"8", L"1", L"起始时间(时:分)"},
                       {L"9", L"1", L"8"}, {L"9", L"2", L"20:00"}});
  CHECK(importShift(gConnection.c_str(), Ansi(book).c_str(), buffer.bytes) == 1, "shift import");
  auto shifts = Sql(L"select MealSectionCode||'|'||MealSectionName||'|'||Deleted||'|'||IfNull(StartTime,'') "
                    L"from MealSection order by 1");
  CHECK((shifts == std::vector<std::wstring>{L"0|午市|0|1899-12-30 11:00:00", L"2|夜市|1|"}),
        "codes by position, the bad row keeps its code; got " + std::to_string(shifts.size()));
  CHECK((Sql(L"select StartTime||'-'||EndTime from TimeSection") ==
         std::vector<std::wstring>{L"1899-12-30 08:00:00-1899-12-30 20:00:00"}), "the time section");
  HWND log = LogWindow();
  auto lines = log ? LogLines(log) : std::vector<std::wstring>{};
  bool logged = false;
  for (const auto& l : lines) logged = logged || l == L"错误:第4行:营业开始时间25:00不符合时间格式HH:MM!";
  CHECK(logged, "the bad time is logged");
  closeLog();

  Sql(L"delete from MenuType");
  Sql(L"delete from MenuItem");
  Sql(L"delete from GuestNeeds");
  Sql(L"insert into MenuType(MenuTypeCode,MenuTypeName,Deleted,Remark) values('02',?,0,?)", {L"热菜", L"少辣,SL"});
  Sql(L"insert into MenuItem(MenuItemCode,MenuItemCName,MenuTypeCode,DishStatus,Deleted) values('02001',?,'02',1,0)",
      {L"宫保鸡丁"});
  Sql(L"insert into GuestNeeds values(0,?)", {L"打包@1.50@0"});
  ClearExcelFiles();
  CHECK(exportRemark(gConnection.c_str(), buffer.bytes) == 1, "remark export: " + Utf8(buffer.Text()));
  cells = Shown();
  CHECK(text(1, 0) == L"remark" && text(2, 1) == L"客人要求", "remark marker and header");
  CHECK(text(3, 1) == L"少辣" && text(3, 4) == L"SL" && text(3, 5) == L"02" && text(3, 6) == L"热菜", "the type's request");
  CHECK(text(4, 1) == L"打包" && text(4, 2) == L"1.50" && text(4, 3) == L"0", "the public request");

  book = gWork + L"\\客人要求.xls";
  WriteWorkbook(book, {{L"1", L"0", L"remark"}, {L"2", L"1", L"客人要求"},
                       {L"3", L"1", L"加辣"}, {L"3", L"2", L"12.5"}, {L"3", L"3", L"2"}, {L"3", L"7", L"02001"},
                       {L"4", L"1", L"走葱"}, {L"4", L"4", L"ZC"}, {L"4", L"7", L"02001"}});
  CHECK(importRemark(gConnection.c_str(), Ansi(book).c_str(), buffer.bytes) == 1, "remark import");
  CHECK((Sql(L"select Remark from MenuItem") == std::vector<std::wstring>{L"加辣@12.50@2\r\n走葱,ZC"}),
        "the dish's requests");
  CHECK((Sql(L"select Needs from GuestNeeds") == std::vector<std::wstring>{L"打包@1.50@0"}),
        "public requests kept");
  closeLog();
}

template <typename T>
T Get(HMODULE module, const char* name) {
  auto p = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  if (!p) {
    std::printf("%s is not exported\n", name);
    std::exit(2);
  }
  return p;
}

// Time plans and price plans: the export hands Excel the cells the Linux build
// writes for the same rows (setupxfer sheet of the Linux export), and those
// cells import back to the same rows.
void PricePlanExportAndImportMatchLinux(HMODULE dll) {
  auto exportPlans = Get<StoreExport>(dll, "ExportPricePlan");
  auto importPlans = Get<StoreImport>(dll, "ImportPricePlan");
  for (const wchar_t* sql :
       {L"delete from TimePlan", L"delete from TimePlanConfine", L"delete from PricePlan", L"delete from MenuItem",
        L"delete from MenuType", L"delete from MealSection", L"delete from TimeSection",
        L"insert into MenuType(MenuTypeCode,MenuTypeName,Deleted) values('02','热菜',0)",
        L"insert into MenuItem(MenuItemCode,MenuItemCName,MenuTypeCode,Standard,Standard2,DishStatus,Deleted) "
        L"values('02005','水煮牛肉','02','小份','大份',1,0)",
        L"insert into MealSection(MealSectionCode,MealSectionName,Deleted) values(0,'早餐',0),(1,'午餐',0)",
        L"insert into TimeSection values(0,'1899-12-30 11:00:00','1899-12-30 14:00:00')",
        L"insert into TimePlan values(1,'午市特价','P01',1,'2024-03-01','2024-12-31',1,2,1,31,1),"
        L"(2,'下午茶',NULL,0,'2024-04-06','1899-12-30',0,1,1,-1,2)",
        L"insert into TimePlanConfine values(1,0,NULL),(1,1,NULL),(2,NULL,0)",
        L"insert into PricePlan values(1,'02005',38,68,0,0,0,20),(2,'02005',0,30.5,0,0,0,0)"})
    Sql(sql);
  auto snapshot = [] {
    std::vector<std::wstring> rows;
    for (const wchar_t* sql :
         {L"select PlanCode||'|'||PlanName||'|'||ifnull(PromID,'-')||'|'||PlanUseTag||'|'||PlanStartDate||'|'||"
          L"PlanEndDate||'|'||PlanEndTag||'|'||PlanType||'|'||EveryOf||'|'||EveryDetail||'|'||DayControlType "
          L"from TimePlan order by PlanCode",
          L"select PlanCode||'|'||ifnull(MealSectionCode,'-')||'|'||ifnull(TimeID,'-') from TimePlanConfine order by 1",
          L"select PlanCode||'|'||MenuItemCode||'|'||NewPrice||'|'||NewPrice2||'|'||MaxQty from PricePlan order by 1"})
      for (auto& row : Sql(sql)) rows.push_back(row);
    return rows;
  };
  const std::vector<std::wstring> before = snapshot();

  ClearExcelFiles();
  Buffer buffer;
  CHECK(exportPlans(gConnection.c_str(), buffer.bytes) == 1, "export succeeds: " + Utf8(buffer.Text()));
  const std::map<std::pair<int, int>, std::wstring> fromLinux = {
      {{1, 0}, L"timeplan"}, {{1, 2}, L"优惠计划清单"}, {{1, 3}, L"2.5.2011.1N"},
      {{3, 1}, L"1"}, {{3, 2}, L"午市特价"}, {{3, 5}, L"P01"}, {{3, 6}, L"1"}, {{3, 7}, L"2024-03-01"},
      {{3, 8}, L"2024-12-31"}, {{3, 9}, L"2"}, {{3, 10}, L"1"}, {{3, 11}, L"31"}, {{3, 12}, L"1"},
      {{3, 13}, L"早餐"}, {{4, 13}, L"午餐"},
      {{5, 1}, L"2"}, {{5, 2}, L"下午茶"}, {{5, 6}, L"0"}, {{5, 7}, L"2024-04-06"}, {{5, 8}, L"无"},
      {{5, 9}, L"1"}, {{5, 10}, L"1"}, {{5, 11}, L"-1"}, {{5, 12}, L"2"}, {{5, 14}, L"11:00-14:00"},
      {{7, 0}, L"priceplan"},
      {{9, 1}, L"1"}, {{9, 2}, L"02005"}, {{9, 3}, L"水煮牛肉"}, {{9, 4}, L"小份"}, {{9, 5}, L"38"},
      {{9, 6}, L"大份"}, {{9, 7}, L"68"}, {{9, 14}, L"20"},
      {{10, 1}, L"2"}, {{10, 2}, L"02005"}, {{10, 3}, L"水煮牛肉"}, {{10, 4}, L"小份"}, {{10, 6}, L"大份"},
      {{10, 7}, L"30.5"}};
  std::map<std::pair<int, int>, std::wstring> shown;
  std::vector<std::vector<std::wstring>> book;
  for (const auto& [at, cell] : Shown()) {
    book.push_back({std::to_wstring(at.first), std::to_wstring(at.second), cell.text});
    if (at.first != 2 && at.first != 8) shown[at] = cell.text;  // the captions aside
  }
  CHECK(shown == fromLinux, "the cells the Linux build writes; got " + std::to_string(shown.size()));

  Sql(L"delete from TimePlan");
  Sql(L"delete from TimePlanConfine");
  Sql(L"delete from PricePlan");
  std::wstring path = gWork + L"\\优惠计划.xls";
  WriteWorkbook(path, book);
  lib.setLogHandler(&LogToHost, nullptr);
  CHECK(importPlans(gConnection.c_str(), Ansi(path).c_str(), buffer.bytes) == 1, "import succeeds");
  lib.setLogHandler(nullptr, nullptr);
  CHECK(snapshot() == before, "the rows read back are the rows exported");
}

// ---- Departments and users -------------------------------------------------------------

// Departments and users through the Windows build, as on Linux: the export
// shows every role a user holds whole (the head waiter's within the
// manager's); importing the exported cells back changes no bit of the rights
// and not the password; a role switched off in the sheet is taken away and
// the bit outside every role stays.
void DeptUsersSurviveExportAndImport(HMODULE dll) {
  auto exportDept = Get<StoreExport>(dll, "ExportDeptUsers");
  auto importDept = Get<StoreImport>(dll, "ImportDeptUsers");
  Sql(L"delete from HotelUser");
  Sql(L"delete from Dept2");
  Sql(L"delete from Dept");
  Sql(L"insert into Dept(DeptCode,DeptName,IsProduct) values('09','前厅',0)");
  // The manager's role and a bit outside every role (Rights3 0x80000000).
  Sql(L"insert into HotelUser(UserID,UserName,DeptCode,Password,Rights,Rights2,Rights3,PassNo) "
      L"values('0001','王建国','09','pw',-736100600,-2084605401,-2145189884,'110101198003151234')");
  const std::wstring rights = L"select Rights||','||Rights2||','||Rights3||','||Password from HotelUser";
  ClearExcelFiles();
  Buffer buffer;
  CHECK(exportDept(gConnection.c_str(), buffer.bytes) == 1, "export succeeds: " + Utf8(buffer.Text()));
  auto cells = Shown();
  auto text = [&](int row, int column) { return cells.count({row, column}) ? cells[{row, column}].text : L""; };
  CHECK(text(8, 0) == L"users" && text(10, 2) == L"0001", "the user in row 10");
  std::wstring roles;
  for (int c = 13; c <= 23; ++c) roles += text(10, c);
  CHECK(roles == L"00001000010", "roles shown: " + Utf8(roles));

  auto importCells = [&](const std::wstring& name) {
    std::wstring path = gWork + L"\\" + name;
    WriteShownCells(path, cells);
    Buffer result;
    unsigned char ok = importDept(gConnection.c_str(), Ansi(path).c_str(), result.bytes);
    if (HWND log = LogWindow()) {
      bool errors = false;
      for (const auto& l : LogLines(log)) errors = errors || l.rfind(L"错误:", 0) == 0;
      CHECK(!errors, "no error lines importing " + Utf8(name));
      PostMessageW(log, WM_CLOSE, 0, 0);
      Pump(200);
    }
    return ok;
  };
  CHECK(importCells(L"部门人员.xls") == 1, "the unchanged import succeeds");
  auto after = Sql(rights);
  CHECK(after.size() == 1 && after[0] == L"-736100600,-2084605401,-2145189884,pw",
        "an unchanged import changes nothing: " + (after.empty() ? std::string() : Utf8(after[0])));
  cells[{10, 22}].text = L"0";
  CHECK(importCells(L"部门人员2.xls") == 1, "the import without the manager's role succeeds");
  after = Sql(rights);
  CHECK(after.size() == 1 && after[0] == L"-803480320,-2084634109,-2147287036,pw",
        "the manager's role is taken away: " + (after.empty() ? std::string() : Utf8(after[0])));
}


// Store items and cost cards through the Windows build: the exports hand
// Excel the cells the Linux tests see, and importing them back writes the
// same rows; a dish code holding "_" replaces its own cards only.
void StoreItemsAndCostCardsRoundTrip() {
  HMODULE dll = GetModuleHandleW(L"setupxfer.dll");
  auto exportItems = Get<StoreExport>(dll, "ExportStoreItems");
  auto importItems = Get<StoreImport>(dll, "ImportStoreItems");
  auto exportBom = Get<StoreExport>(dll, "ExportBOM");
  auto importBom = Get<StoreImport>(dll, "ImportBOM");
  for (const wchar_t* clear : {L"delete from S_ItemType", L"delete from S_Item", L"delete from CostCard",
                               L"delete from Subject where SubjectCode='540101'",
                               L"delete from MenuType where MenuTypeCode='01'",
                               L"delete from MenuItem where MenuItemCode='a_'"})
    Sql(clear);
  Sql(L"insert into Subject(SubjectCode,SubjectName,SubjectClass) values('540101',?,2)", {L"原材料成本"});
  Sql(L"insert into S_ItemType(TypeCode,TypeName,SubjectCode54,Deleted) values('01',?,'540101',0)", {L"蔬菜"});
  Sql(L"insert into S_Item(ItemCode,ItemName,TypeCode,StoreUnit,CalcUnit,CalcRate,Org_Rate,Deleted) "
      L"values('010001',?,'01',?,?,500,2.5,0)", {L"黄瓜", L"斤", L"克"});
  Sql(L"insert into MenuType(MenuTypeCode,MenuTypeName,Deleted) values('01',?,0)", {L"凉菜"});
  Sql(L"insert into MenuItem(MenuItemCode,MenuItemCName,MenuTypeCode,Standard,MenuItemPrice,Standard2,"
      L"MenuItemPrice2,DishStatus,Deleted) values('a_',?,'01',?,12,?,20,1,0)", {L"拍黄瓜", L"例", L"大份"});
  Sql(L"insert into CostCard values('a_2','010001',300,85,1),('ab1','010001',1,1,0)");

  // Exports a kind and writes what Excel was given back as a workbook.
  auto exportTo = [&](StoreExport fn, const std::wstring& book) {
    ClearExcelFiles();
    Buffer buffer;
    CHECK(fn(gConnection.c_str(), buffer.bytes) == 1, "export succeeds: " + Utf8(buffer.Text()));
    auto cells = Shown();
    WriteShownCells(book, cells);
    return cells;
  };
  std::wstring items = gWork + L"\\库存物品.xls";
  auto cells = exportTo(exportItems, items);
  auto text = [&](int row, int column) { return cells.count({row, column}) ? cells[{row, column}].text : L""; };
  CHECK(text(1, 0) == L"storefamily" && text(3, 1) == L"0" && text(3, 2) == L"缺省大类", "the default family");
  CHECK(text(7, 2) == L"01" && text(7, 6) == L"540101" && text(7, 7) == L"原材料成本", "a type and its subject");
  CHECK(text(11, 3) == L"010001" && text(11, 10) == L"2.5" && text(11, 11) == L"500", "an item and its factors");

  std::wstring bom = gWork + L"\\成本卡.xls";
  cells = exportTo(exportBom, bom);
  CHECK(text(3, 1) == L"a_" && text(3, 3) == L"大份" && text(3, 4) == L"20", "the card of standard 2");
  CHECK(text(3, 9) == L"1斤=500克" && text(3, 10) == L"300" && text(3, 12) == L"是", "the card's line");

  Sql(L"update S_Item set Org_Rate=0");
  Sql(L"update CostCard set CostQty=0");
  Buffer buffer;
  CHECK(importItems(gConnection.c_str(), Ansi(items).c_str(), buffer.bytes) == 1, "store items import");
  CHECK(importBom(gConnection.c_str(), Ansi(bom).c_str(), buffer.bytes) == 1, "cost card import");
  CHECK(Sql(L"select Org_Rate from S_Item") == std::vector<std::wstring>{L"2.5"}, "the item's factor is back");
  auto cards = Sql(L"select CostCardNo||' '||CostQty from CostCard order by 1");
  CHECK((cards == std::vector<std::wstring>{L"a_2 300.0", L"ab1 0.0"}), "the dish's card is back, ab's untouched");
  if (HWND log = LogWindow()) {
    PostMessageW(log, WM_CLOSE, 0, 0);
    Pump(200);
  }
}

// ---- Check-only imports and reports -----------------------------------------------------

using SetCheck = void(__stdcall*)(int);
using SetReport = void(__stdcall*)(void (*)(void*, const char*), void*);

std::string gReport;
void __cdecl KeepReport(void*, const char* json) { gReport = json; }

// A check-only import through ODBC writes nothing and logs one line more than
// the real one; the report counts the new reason as written both times.
void CheckOnlyWritesNothingAndReports(HMODULE dll) {
  auto setCheckOnly = Get<SetCheck>(dll, "SetCheckOnly");
  auto setReport = Get<SetReport>(dll, "SetReportHandler");
  std::wstring book = gWork + L"\\check.xls";
  WriteWorkbook(book, {{L"1", L"0", L"backreason"}, {L"2", L"1", L"退菜理由"}, {L"3", L"1", L"只是检查"}});
  const auto before = Sql(L"select BackReasonDesc from BackReason order by rowid");
  setReport(&KeepReport, nullptr);
  std::size_t lines[2] = {0, 0};
  for (int check : {1, 0}) {
    gHandlerLines.clear();
    gReport.clear();
    lib.setLogHandler(&LogToHost, nullptr);
    setCheckOnly(check);
    Buffer buffer;
    unsigned char ok = lib.importBack(gConnection.c_str(), Ansi(book).c_str(), buffer.bytes);
    setCheckOnly(0);
    lib.setLogHandler(nullptr, nullptr);
    CHECK(ok == 1, "import succeeds: " + Utf8(buffer.Text()));
    CHECK(gReport.find("\"written\": 1,") != std::string::npos, "the report counts the reason: " + gReport);
    CHECK(gReport.find(check ? "\"checkOnly\": true" : "\"checkOnly\": false") != std::string::npos,
          "the report tells the mode");
    lines[check] = gHandlerLines.size();
    if (check) CHECK(Sql(L"select BackReasonDesc from BackReason order by rowid") == before, "nothing written");
  }
  setReport(nullptr, nullptr);
  CHECK(lines[1] == lines[0] + 1, "the check logs one line more");
  CHECK(Sql(L"select count(*) from BackReason where BackReasonDesc='只是检查'") == std::vector<std::wstring>{L"1"},
        "the real import writes");
}

// ---- Every kind round the sample databases --------------------------------------

// The exported functions of every kind, from the list of kinds.
struct KindFunctions {
  const char* name;
  const char *exportStore, *importStore, *exportGroup, *importGroup;
};
const KindFunctions kKindFunctions[] = {
#define SX_KIND(name, title, es, is, eg, ig, unit) {#name, #es, #is, #eg, #ig},
#define SX_STORE_KIND(name, title, es, is, unit) {#name, #es, #is, nullptr, nullptr},
#include "transfer/KindList.inc"
#undef SX_KIND
#undef SX_STORE_KIND
};

std::vector<std::string> gRoundTripErrors;
void __cdecl CollectErrors(void*, int kind, const char* text) {
  if (kind == 1) gRoundTripErrors.push_back(Utf8(FromAnsi(text)));
}

// Every kind of both editions through the Windows build: the export hands
// Excel its cells, those cells import back without an error line, and a
// second export hands Excel the same cells.
void EveryKindRoundTripsOnTheSamples(HMODULE dll, const std::string& storeDb, const std::string& groupDb) {
  const std::string brand = "B01";
  lib.setLogHandler(&CollectErrors, nullptr);
  for (const KindFunctions& kind : kKindFunctions) {
    for (bool group : {false, true}) {
      if (group && !kind.exportGroup) continue;
      const std::string what = std::string(kind.name) + (group ? " (group)" : " (store)");
      const std::string connection = Ansi(L"Driver=SQLite3;Database=" + Wide(group ? groupDb : storeDb));
      auto exportCells = [&] {
        ClearExcelFiles();
        Buffer buffer;
        bool ok = group ? Get<GroupExport>(dll, kind.exportGroup)(connection.c_str(), brand.c_str(), buffer.bytes)
                        : Get<StoreExport>(dll, kind.exportStore)(connection.c_str(), buffer.bytes);
        CHECK(ok, what + " exports: " + Utf8(buffer.Text()));
        return Shown();
      };
      const auto first = exportCells();
      CHECK(first.size() > 4, what + " exports its sample rows");
      const std::wstring path = gWork + L"\\" + Wide(kind.name) + (group ? L"-集团.xls" : L"-门店.xls");
      WriteShownCells(path, first);
      gRoundTripErrors.clear();
      Buffer buffer;
      bool ok = group ? Get<GroupImport>(dll, kind.importGroup)(connection.c_str(), brand.c_str(),
                                                               Ansi(path).c_str(), buffer.bytes)
                      : Get<StoreImport>(dll, kind.importStore)(connection.c_str(), Ansi(path).c_str(), buffer.bytes);
      CHECK(ok, what + " imports: " + Utf8(buffer.Text()));
      CHECK(gRoundTripErrors.empty(), what + " imports without errors: " +
                                          (gRoundTripErrors.empty() ? std::string() : gRoundTripErrors[0]));
      // Blank numbers and flags come back as 0; gift packages and their
      // content lines are written anew, so their numbers change.
      const auto second = exportCells();
      int renumberedBelow = 1 << 30;
      for (const auto& [at, cell] : first)
        if (std::string(kind.name) == "giftdishcontrol" && at.second == 0 && cell.text == L"giftpackges")
          renumberedBelow = at.first;
      std::string differs;
      for (const auto& [at, cell] : second) {
        auto it = first.find(at);
        const std::wstring before = it == first.end() ? L"" : it->second.text;
        const bool renumbered = at.first > renumberedBelow + 1 && (at.second == 3 || at.second == 5);
        if (differs.empty() && cell.text != before && !(before.empty() && cell.text == L"0") && !renumbered)
          differs = " row " + std::to_string(at.first) + " column " + std::to_string(at.second) + ": '" +
                    Utf8(before) + "' then '" + Utf8(cell.text) + "'";
      }
      for (const auto& [at, cell] : first)
        if (differs.empty() && !second.count(at)) differs = " row " + std::to_string(at.first) + " is lost";
      CHECK(differs.empty(), what + " exports the same cells after the import;" + differs);
    }
  }
  lib.setLogHandler(nullptr, nullptr);
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 5) {
    std::printf("usage: host SETUPXFER.DLL FAKE_EXCEL.DLL WORK_FOLDER DATABASE [--show SECONDS]\n");
    return 2;
  }
  HMODULE dll = LoadLibraryW(argv[1]);
  HMODULE excel = LoadLibraryW(argv[2]);
  if (!dll || !excel) {
    std::printf("cannot load the libraries\n");
    return 2;
  }
  gWork = argv[3];
  gDatabase = Utf8(argv[4]);
  SetEnvironmentVariableW(L"FAKE_EXCEL_DIR", gWork.c_str());
  gConnection = Ansi(L"Driver=SQLite3;Database=" + std::wstring(argv[4]));
  lib.exportBack = Get<StoreExport>(dll, "ExportBackReason");
  lib.importBack = Get<StoreImport>(dll, "ImportBackReason");
  lib.setApplicationHandle = Get<SetHandle>(dll, "SetApplicationHandle");
  lib.setLogHandler = Get<SetLog>(dll, "SetLogHandler");
  lib.setValueReadHook = Get<HookSetter>(excel, "SetValueReadHook");
  lib.registerExcel = Get<RegisterFn>(excel, "DllRegisterServer");
  lib.unregisterExcel = Get<RegisterFn>(excel, "DllUnregisterServer");

  // The host's main window, which owns the library's windows.
  gAppWindow = CreateWindowExW(0, L"STATIC", L"Host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  lib.setApplicationHandle(gAppWindow);
  if (lib.registerExcel() != S_OK) {
    std::printf("cannot register the test Excel\n");
    return 2;
  }

  const bool samples = argc >= 8 && std::wstring(argv[5]) == L"--sample";
  if (argc >= 7 && std::wstring(argv[5]) == L"--show") {
    ShowLogWindow(_wtoi(argv[6]));
    return 0;
  }

  AnsiCodePageIs936();
  LongErrorTextIsCutAtAWholeCharacter();
  ExportWritesTextCellsAndShowsExcel();
  ImportWritesReasonsAndLogsThemInTheWindow();
  UnopenableWorkbookFailsWithExcelsMessage();
  LogHandlerReplacesTheWindow();
  VersionPromptAsksTheUser();
  WithoutExcelTheExportFails();
  ShiftsAndRemarksMatchTheLinuxResults();
  SetMealsRoundTripThroughExcel();
  PricePlanExportAndImportMatchLinux(dll);
  DeptUsersSurviveExportAndImport(dll);
  StoreItemsAndCostCardsRoundTrip();
  CheckOnlyWritesNothingAndReports(dll);
  if (samples) EveryKindRoundTripsOnTheSamples(dll, Utf8(argv[6]), Utf8(argv[7]));
  lib.unregisterExcel();

  std::printf("%d passed, %d failed\n", gChecks - gFailures, gFailures);
  return gFailures == 0 ? 0 : 1;
}
