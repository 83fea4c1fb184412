#include "workbook/TransferSheet.h"

#include <algorithm>

#include "base/Text.h"
#include "ui/uLogMessage.h"

namespace sx {

namespace {
constexpr int kEmptyRowsThatEndTheSheet = 5;
}

// ---- Writing ----------------------------------------------------------------

void SheetWriter::FirstMarker(const std::string& key, const std::string& brandId,
                              const std::string& title, const std::string& stamp) {
  xls_.WriteCell(row_, 0, key);
  if (!brandId.empty()) xls_.WriteCell(row_, 1, brandId);
  xls_.WriteCell(row_, 2, title);
  xls_.WriteCell(row_, 3, stamp);
  ++row_;
}

void SheetWriter::Marker(const std::string& key) {
  ++row_;  // the empty separator row
  xls_.WriteCell(row_, 0, key);
  ++row_;
}

void SheetWriter::Header(const std::vector<std::string>& captions) { Row(captions); }

void SheetWriter::Row(const std::vector<std::string>& values) {
  for (std::size_t i = 0; i < values.size(); ++i)
    if (!values[i].empty()) xls_.WriteCell(row_, static_cast<int>(i) + 1, values[i]);
  ++row_;
}

void SheetWriter::Cell(int column, const std::string& text) {
  if (!text.empty()) xls_.WriteCell(row_, column, text);
}

bool RunExport(Tdmio& dm, const std::string& connection, bool group, std::string& message,
               const std::function<void()>& open, const std::function<void(SheetWriter&)>& write) {
  try {
    if (!dm.Start(connection, group, message)) return false;
    open();
    TExcelOperation xls;
    if (!xls.NewWorkbook(message)) return false;
    SheetWriter writer(xls);
    write(writer);  // on an exception the destructor still hands over what was written
    xls.HandOver();
  } catch (const std::exception& e) {
    message = e.what();
    dm.qGet.Close();
    return false;
  }
  dm.qGet.Close();
  return true;
}

// ---- Reading ----------------------------------------------------------------

namespace {

bool AnyFilled(TExcelOperation& xls, int row, const std::vector<int>& columns) {
  return std::any_of(columns.begin(), columns.end(),
                     [&](int c) { return !xls.ReadCell(row, c).empty(); });
}

}  // namespace

void ReadSections(TExcelOperation& xls, const ReadingLoop& loop) {
  const SheetSection* current = nullptr;
  int emptyRun = 0;
  for (int row = 1; emptyRun < kEmptyRowsThatEndTheSheet; ++row) {
    std::string key = LowerCase(xls.ReadCell(row, 0));
    if (!key.empty()) {
      for (const auto& section : loop.sections)
        if (section.key == key) {
          current = &section;
          if (section.onEnter) section.onEnter();
        }
      emptyRun = 0;
      continue;
    }
    std::string first = xls.ReadCell(row, 1);
    if (!first.empty()) {
      emptyRun = 0;
      bool header = std::find(loop.headerCaptions.begin(), loop.headerCaptions.end(), first) !=
                    loop.headerCaptions.end();
      if (!header && current) current->read(row);
      continue;
    }
    BlankKeyRow verdict = BlankKeyRow::Empty;
    if (!current) {
      if (AnyFilled(xls, row, loop.columnsWithoutSection))
        verdict = loop.keepCountWithoutSection ? BlankKeyRow::DataKeepingCount : BlankKeyRow::Data;
    } else if (current->readBlankKeyRow) {
      verdict = current->readBlankKeyRow(row);
    } else if (AnyFilled(xls, row, current->continuationColumns)) {
      verdict = current->continuationKeepsCount ? BlankKeyRow::DataKeepingCount : BlankKeyRow::Data;
      current->read(row);
    }
    if (verdict == BlankKeyRow::Empty) ++emptyRun;
    if (verdict == BlankKeyRow::Data) emptyRun = 0;
  }
}

void ReadTable(TExcelOperation& xls, int firstRow, int keyColumn,
               const std::function<void(int row)>& read) {
  int emptyRun = 0;
  for (int row = firstRow; emptyRun < kEmptyRowsThatEndTheSheet; ++row) {
    if (xls.ReadCell(row, keyColumn).empty()) {
      ++emptyRun;
    } else {
      emptyRun = 0;
      read(row);
    }
  }
}

bool RunImport(const std::string& fileName, const std::string& kindName, std::string& message,
               const std::function<void(TExcelOperation&)>& read,
               const std::function<void()>& write) {
  ui::LogInfo("开始从" + fileName + "导入" + kindName + "...");
  bool result = false;
  try {
    TExcelOperation xls;
    if (xls.OpenWorkbook(fileName, message)) {
      read(xls);
      write();
      result = true;
    }
  } catch (const std::exception& e) {
    message = e.what();
    result = false;
  }
  ui::LogInfo("完毕!");
  ui::LogFinish();
  return result;
}

bool YesNo(const std::string& cell) { return cell == "1" || cell == "是"; }

std::string RowMessage(int row, const std::string& text) {
  return "第" + std::to_string(row) + "行:" + text;
}

}  // namespace sx
