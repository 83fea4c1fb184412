// The steps every export and every import follow, written once. A kind's
// workers receive a run and do only what is their own: statements, sections,
// row checks and writes. The run owns the connection and version check with
// its prompt, the log, the workbook and its hand-over, and turns any failure
// into the message the host receives.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "datamodule/udmio.h"
#include "transfer/Report.h"
#include "transfer/Sheet.h"
#include "workbook/uExcelOperation.h"

namespace sx {

// What an export worker works with.
class ExportRun {
 public:
  ExportRun(Tdmio& dm, Edition edition) : dm(dm), edition(std::move(edition)) {}

  // Opens a statement of the export on qGet, with the brand bound in the
  // group edition, and returns the query positioned on its first row.
  db::Query& Query(std::string_view sql, const Bind& bind = {});

  // The sheet being written; the workbook is created on first use, so a
  // failing first query leaves no workbook behind.
  SheetWriter& Sheet();
  // The first marker row with the edition's brand ID and stamp.
  void FirstMarker(const std::string& key, const std::string& title);

  Tdmio& dm;
  const Edition edition;

 private:
  friend bool RunExport(void (*)(ExportRun&), const std::string&, const Edition&, std::string&);
  std::unique_ptr<TExcelOperation> xls_;
  std::unique_ptr<SheetWriter> sheet_;
};

// What an import worker works with.
class ImportRun {
 public:
  ImportRun(Tdmio& dm, Edition edition, std::string fileName)
      : dm(dm), edition(std::move(edition)), fileName(std::move(fileName)) {}

  // Store imports of a centrally controlled kind: fails the import with
  // `refusal` when the brand's flag `column` is 1. No effect in the group edition.
  void RequireNotControlled(const std::string& column, const std::string& refusal);

  // Logs "开始从" + file + "导入" + kindName + "...", opens the workbook and
  // walks its sections; fails the import when the workbook cannot be opened.
  void ReadSections(const std::string& kindName, const ReadingLoop& loop);
  // The same for a sheet without sections (see ReadTable).
  void ReadTable(const std::string& kindName, int firstRow, int keyColumn,
                 const std::function<void(int row)>& read);
  // A cell of the opened sheet, trimmed.
  std::string Cell(int row, int column);

  // Log lines: information, an error, an error about a sheet row.
  void Info(const std::string& text);
  void Error(const std::string& text);
  void RowError(int row, const std::string& text);

  // Writes one item in its own transaction after logging `line`; a failure
  // rolls the item back, is logged as an error and the import goes on. True
  // when the item was committed.
  bool WriteItem(const std::string& line, const std::function<void()>& body);

  // Statements of the item being written (see Tdmio), in the run's edition.
  long Execute(std::string_view sql, const Bind& bind = {});
  bool UpdateOrInsert(std::string_view update, std::string_view insert, const Bind& bind);
  db::Query& Query(std::string_view sql, const Bind& bind = {});
  // The brand's download stamp (group edition only; no effect in a store).
  void StampDownloadVersion(std::string_view column);

  Tdmio& dm;
  const Edition edition;
  const std::string fileName;

 private:
  friend bool RunImport(void (*)(ImportRun&), const std::string&, const Edition&, const std::string&,
                        std::string&, std::string_view);
  void Open(const std::string& kindName);
  // Logs an error line when cells below the end of the sheet were not read.
  void CheckNothingBelow(const SheetEnd& end);
  bool started_ = false;
  std::unique_ptr<TExcelOperation> xls_;
  ImportReport report_;
};

using ExportWorker = void (*)(ExportRun&);
using ImportWorker = void (*)(ImportRun&);

// Runs an export: connects, checks the schema version (asking the user when it
// differs), runs the worker and hands the workbook over to the user, also the
// part written before a failure. False with the message on any failure; false
// with an empty message when the user declines the version prompt.
bool RunExport(ExportWorker worker, const std::string& connection, const Edition& edition,
               std::string& message);

// Runs an import: connects, checks the schema version, runs the worker, and
// once the start line is logged always ends with "完毕!" and Finish. False
// with the message when the import could not read its workbook or failed
// outside an item's transaction. The host's report handler, when set, then
// receives what the import did (see ImportReport); `kind` names the kind there.
bool RunImport(ImportWorker worker, const std::string& connection, const Edition& edition,
               const std::string& fileName, std::string& message, std::string_view kind = {});

// Check-only imports: while on, every import runs in full, every row check
// and every statement, and writes nothing (see Tdmio::BeginCheck); its log
// ends with one more line saying so. Set by the host; exports are unaffected.
void SetCheckOnly(bool on);

}  // namespace sx
