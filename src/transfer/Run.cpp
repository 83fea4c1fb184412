#include "transfer/Run.h"

#include "base/DateTime.h"
#include "base/Error.h"
#include "base/Text.h"
#include "ui/Host.h"
#include "ui/uLogMessage.h"

namespace sx {

namespace {

bool gCheckOnly = false;

// The message of the exception being handled.
std::string CurrentFailure() {
  try {
    throw;
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "Unknown error";
  }
}

// The edition's schema version. When its version table cannot be read but
// the other edition's can, the database is of the other edition: say so
// rather than pass on the engine's "no such table".
std::string SchemaVersionOfEdition(Tdmio& dm, const Edition& edition) {
  try {
    return dm.SchemaVersion(edition);
  } catch (const std::exception&) {
    bool otherEdition = false;
    try {
      dm.SchemaVersion(edition.IsGroup() ? Edition::Store() : Edition::Group({}));
      otherEdition = true;
    } catch (const std::exception&) {
      // Neither edition: the engine's own message says more.
    }
    if (otherEdition)
      throw sx::Error(edition.IsGroup() ? "当前数据库是门店数据库,此功能用于集团版数据库"
                                        : "当前数据库是集团版数据库,此功能用于门店数据库");
    throw;
  }
}

// Connects and checks the schema version; false when it differs and the user
// declines to go on.
bool Start(Tdmio& dm, const std::string& connection, const Edition& edition) {
  // Every group statement selects the brand's rows: without one it would
  // write rows of no brand.
  if (edition.IsGroup() && Trim(edition.BrandId()).empty())
    throw sx::Error("品牌编号为空,集团版数据库的功能需要指定品牌编号");
  dm.Connect(connection);
  std::string version = SchemaVersionOfEdition(dm, edition);
  if (Tdmio::VersionMatches(version, edition)) return true;
  std::string text = std::string(edition.IsGroup() ? "当前集团版数据库版本号:" : "当前Quelvo数据库版本号:") +
                     version + "\r\n与本程序支持的版本号:" + edition.Stamp() + "不符,\r\n请问要继续吗？";
  return ui::Confirm("请确认", text);
}

// Connects, checks the version and runs `work`; false with the message when
// anything fails, false with the message left empty when the user declines.
bool Attempt(Tdmio& dm, const std::string& connection, const Edition& edition,
             const std::function<void()>& work, std::string& message) {
  try {
    if (!Start(dm, connection, edition)) return false;
    work();
    return true;
  } catch (...) {
    message = CurrentFailure();
    return false;
  }
}

}  // namespace

// ---- Export -------------------------------------------------------------------

db::Query& ExportRun::Query(std::string_view sql, const Bind& bind) {
  return dm.Open(dm.qGet, sql, edition, bind);
}

SheetWriter& ExportRun::Sheet() {
  if (!sheet_) {
    auto xls = std::make_unique<TExcelOperation>();
    std::string message;
    if (!xls->NewWorkbook(message)) throw sx::Error(message);
    xls_ = std::move(xls);
    sheet_ = std::make_unique<SheetWriter>(*xls_);
  }
  return *sheet_;
}

void ExportRun::FirstMarker(const std::string& key, const std::string& title) {
  Sheet().FirstMarker(key, edition.BrandId(), title, edition.Stamp());
}

bool RunExport(ExportWorker worker, const std::string& connection, const Edition& edition,
               std::string& message) {
  Tdmio dm;
  ExportRun run(dm, edition);
  bool ok = Attempt(dm, connection, edition, [&] { worker(run); }, message);
  // The user gets the workbook also when writing stopped on an error; a
  // workbook that cannot be handed over fails an export that went well.
  if (run.xls_) {
    try {
      std::string path = run.xls_->HandOver();
      if (!path.empty()) ui::HandOverWorkbook(path);
    } catch (...) {
      if (ok) message = CurrentFailure();
      ok = false;
    }
  }
  dm.qGet.Close();
  return ok;
}

// ---- Import -------------------------------------------------------------------

void ImportRun::RequireNotControlled(const std::string& column, const std::string& refusal) {
  if (!edition.IsGroup() && !dm.ImportAllowed(column)) throw sx::Error(refusal);
}

void ImportRun::Open(const std::string& kindName) {
  Info("开始从" + fileName + "导入" + kindName + "...");
  started_ = true;
  auto xls = std::make_unique<TExcelOperation>();
  std::string message;
  if (!xls->OpenWorkbook(fileName, message)) throw sx::Error(message);
  xls_ = std::move(xls);
}

void ImportRun::ReadSections(const std::string& kindName, const ReadingLoop& loop) {
  Open(kindName);
  ReadingLoop reading = loop;
  if (!reading.rowError) reading.rowError = [this](int row, const std::string& text) { RowError(row, text); };
  SheetEnd end = sx::ReadSections(*xls_, reading);
  // A workbook of another kind, or whose active sheet is another sheet, would
  // otherwise import nothing and report success.
  if (!end.sectionFound && !loop.sections.empty())
    throw sx::Error(fileName + " 中没有找到 " + loop.sections.front().key + " 标记");
  CheckNothingBelow(end);
}

void ImportRun::ReadTable(const std::string& kindName, int firstRow, int keyColumn,
                          const std::function<void(int row)>& read) {
  Open(kindName);
  CheckNothingBelow(sx::ReadTable(*xls_, firstRow, keyColumn, read));
}

void ImportRun::CheckNothingBelow(const SheetEnd& end) {
  std::optional<int> below = xls_->FirstFilledRowFrom(end.nextRow);
  if (!below) return;
  Error("读入在第" + std::to_string(end.nextRow - 1) + "行结束(五个空行结束工作表),第" +
        std::to_string(*below) + "行起的内容没有读入!");
}

std::string ImportRun::Cell(int row, int column) {
  if (!xls_) throw sx::Error("No workbook is open");
  return xls_->ReadCell(row, column);
}

void ImportRun::Info(const std::string& text) {
  report_.Info(text);
  ui::LogInfo(text);
}

void ImportRun::Error(const std::string& text) {
  report_.Error(text);
  ui::LogError(text);
}

void ImportRun::RowError(int row, const std::string& text) {
  std::string message = RowMessage(row, text);
  report_.RowError(row, message);
  ui::LogError(message);
}

bool ImportRun::WriteItem(const std::string& line, const std::function<void()>& body) {
  Info(line);
  try {
    dm.WriteItem(body);
    return true;
  } catch (...) {
    Error(CurrentFailure());
    return false;
  }
}

long ImportRun::Execute(std::string_view sql, const Bind& bind) {
  return dm.Execute(sql, edition, bind);
}

bool ImportRun::UpdateOrInsert(std::string_view update, std::string_view insert, const Bind& bind) {
  return dm.UpdateOrInsert(update, insert, edition, bind);
}

db::Query& ImportRun::Query(std::string_view sql, const Bind& bind) {
  return dm.Open(dm.qSet, sql, edition, bind);
}

void ImportRun::StampDownloadVersion(std::string_view column) {
  if (edition.IsGroup()) dm.StampDownloadVersion(edition, column);
}

bool RunImport(ImportWorker worker, const std::string& connection, const Edition& edition,
               const std::string& fileName, std::string& message, std::string_view kind) {
  constexpr std::string_view kTimeFormat = "YYYY-MM-DD HH:NN:SS";
  Tdmio dm;
  ImportRun run(dm, edition, fileName);
  const bool check = gCheckOnly;
  run.report_.start = FormatDateTime(kTimeFormat, Now());
  bool ok = Attempt(dm, connection, edition, [&] {
    if (check) dm.BeginCheck(edition);
    worker(run);
  }, message);
  if (check) {
    // Closing the connection would roll back too; a rollback that fails is
    // said all the same.
    try {
      dm.EndCheck();
    } catch (...) {
      if (ok) message = CurrentFailure();
      ok = false;
    }
  }
  run.xls_.reset();  // the workbook is closed unchanged
  if (run.started_) {
    if (check) ui::LogInfo("检查模式：未写入任何数据");
    ui::LogInfo("完毕!");
    ui::LogFinish();
  }
  if (ui::WantsReport()) {
    ImportReport& r = run.report_;
    r.end = FormatDateTime(kTimeFormat, Now());
    r.file = fileName;
    r.kind = kind;
    r.edition = edition.IsGroup() ? "group" : "store";
    r.brand = edition.BrandId();
    r.checkOnly = check;
    r.done = ok;
    r.message = message;
    ui::HandOverReport(r.Json());
  }
  return ok;
}

void SetCheckOnly(bool on) { gCheckOnly = on; }

}  // namespace sx
