// Reads the first worksheet of a BIFF (.xls) workbook with FreeXL, which
// already gives dates, times and date-times as text.
#include <freexl.h>

#include <string>

#include "base/DateTime.h"
#include "base/Error.h"
#include "base/Text.h"
#include "workbook/WorkbookFiles.h"

namespace sx {

namespace {

// FreeXL allocates every cell of a sheet's declared dimension, so the
// dimension is checked in the library's metadata-only mode first.
constexpr unsigned long long kMaxXlsGrid = 8u << 20;

std::string FreexlReason(int rc) {
  switch (rc) {
    case FREEXL_FILE_NOT_FOUND: return "the file cannot be read";
    case FREEXL_INSUFFICIENT_MEMORY: return "there is not enough memory to read it";
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND: return "it holds no workbook stream, so it is not a workbook";
    case FREEXL_BIFF_ILLEGAL_SHEET_INDEX: return "it has no worksheet";
    case FREEXL_CRAFTED_FILE: return "the file is damaged or crafted";
    default: return "the file is damaged or not a workbook (FreeXL error " + std::to_string(rc) + ")";
  }
}

class Freexl {
 public:
  Freexl(const std::string& fileName, bool infoOnly) {
    int rc = infoOnly ? freexl_open_info(fileName.c_str(), &handle_) : freexl_open(fileName.c_str(), &handle_);
    if (rc != FREEXL_OK) {
      if (handle_) freexl_close(handle_);
      handle_ = nullptr;
      throw Error(FreexlReason(rc));
    }
  }
  ~Freexl() {
    if (handle_) freexl_close(handle_);
  }
  Freexl(const Freexl&) = delete;
  Freexl& operator=(const Freexl&) = delete;

  void Check(int rc) const {
    if (rc != FREEXL_OK) throw Error(FreexlReason(rc));
  }
  unsigned int Info(unsigned short what) const {
    unsigned int value = 0;
    Check(freexl_get_info(handle_, what, &value));
    return value;
  }
  const void* handle() const { return handle_; }

 private:
  const void* handle_ = nullptr;
};

// FreeXL writes times as "HH:MM:SS"; the seconds go when they are zero.
std::string DropZeroSeconds(std::string text) {
  if (text.size() >= 8 && text.compare(text.size() - 3, 3, ":00") == 0 && text[text.size() - 6] == ':')
    text.resize(text.size() - 3);
  return text;
}

}  // namespace

void ReadXlsSheet(const std::string& fileName, SheetCells& cells) {
  {
    Freexl info(fileName, true);
    if (info.Info(FREEXL_BIFF_PASSWORD) != FREEXL_BIFF_PLAIN)
      throw Error("it is protected with a password");
    if (info.Info(FREEXL_BIFF_SHEET_COUNT) == 0) throw Error("it has no worksheet");
    unsigned long long grid = 0;
    for (unsigned int i = 0, n = info.Info(FREEXL_BIFF_SHEET_COUNT); i < n; ++i) {
      unsigned int rows = 0;
      unsigned short columns = 0;
      info.Check(freexl_select_active_worksheet(info.handle(), static_cast<unsigned short>(i)));
      info.Check(freexl_worksheet_dimensions(info.handle(), &rows, &columns));
      grid += static_cast<unsigned long long>(rows) * columns;
    }
    if (grid > kMaxXlsGrid) throw Error("its sheets claim more cells than a workbook may hold");
  }

  Freexl xls(fileName, false);
  xls.Check(freexl_select_active_worksheet(xls.handle(), 0));
  unsigned int rows = 0;
  unsigned short columns = 0;
  xls.Check(freexl_worksheet_dimensions(xls.handle(), &rows, &columns));
  for (unsigned int r = 0; r < rows && r < static_cast<unsigned int>(kMaxSheetRows); ++r) {
    for (unsigned short c = 0; c < columns; ++c) {
      FreeXL_CellValue value;
      xls.Check(freexl_get_cell_value(xls.handle(), r, c, &value));
      std::string text;
      switch (value.type) {
        case FREEXL_CELL_INT: text = std::to_string(value.value.int_value); break;
        case FREEXL_CELL_DOUBLE: text = FloatToText(value.value.double_value); break;
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
        case FREEXL_CELL_DATE: text = value.value.text_value ? value.value.text_value : ""; break;
        case FREEXL_CELL_DATETIME:
        case FREEXL_CELL_TIME: text = DropZeroSeconds(value.value.text_value ? value.value.text_value : ""); break;
        default: break;
      }
      text = Trim(text);
      if (!text.empty()) cells.Set(static_cast<int>(r) + 1, c, std::move(text));
    }
  }
}

}  // namespace sx
