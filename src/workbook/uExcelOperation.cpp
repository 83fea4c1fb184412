#include "workbook/uExcelOperation.h"

#include "base/Error.h"
#include "workbook/WorkbookEngine.h"

namespace sx {

TExcelOperation::TExcelOperation() = default;

TExcelOperation::~TExcelOperation() = default;

std::string TExcelOperation::HandOver() {
  if (!engine_ || !created_) return {};
  std::unique_ptr<WorkbookEngine> engine = std::move(engine_);
  return engine->HandOver();
}

bool TExcelOperation::NewWorkbook(std::string& message) {
  try {
    engine_ = WorkbookEngine::Create();
    created_ = true;
    return true;
  } catch (const std::exception& e) {
    engine_.reset();
    message = e.what();
    return false;
  }
}

bool TExcelOperation::OpenWorkbook(const std::string& fileName, std::string& message) {
  try {
    engine_ = WorkbookEngine::Open(fileName);
    created_ = false;
    return true;
  } catch (const std::exception& e) {
    engine_.reset();
    message = e.what();
    return false;
  }
}

std::string TExcelOperation::ReadCell(int row, int column) {
  if (!engine_) throw Error("No workbook is open");
  return engine_->ReadCell(row, column);
}

void TExcelOperation::WriteCell(int row, int column, const std::string& text) {
  if (!engine_) throw Error("No workbook is open");
  engine_->WriteCell(row, column, text);
}

void TExcelOperation::FormatColumnAsText(int column) {
  if (!engine_) throw Error("No workbook is open");
  engine_->FormatColumnAsText(column);
}

std::string TExcelOperation::ColumnLetters(int column) {
  std::string letters;
  int c = column, q;
  do {
    letters.insert(letters.begin(), static_cast<char>('A' + c % 26));
    q = c / 26;
    c = q - 1;
  } while (q != 0);
  return letters;
}

std::string TExcelOperation::CellAddress(int row, int column) {
  std::string address = "$";
  address += ColumnLetters(column);
  address += '$';
  address += std::to_string(row);
  return address;
}

}  // namespace sx
