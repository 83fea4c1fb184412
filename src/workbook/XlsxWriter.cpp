// Writes a sheet into a new .xlsx file with libxlsxwriter. The cells are
// already sorted, so the library's row-at-a-time mode keeps memory low.
#include <xlsxwriter.h>

#include <string>

#include "base/Error.h"
#include "base/Utf8.h"
#include "workbook/WorkbookFiles.h"

namespace sx {

namespace {

// Excel's limit on the characters of a cell.
constexpr std::size_t kMaxCellChars = 32767;

// The text as valid UTF-8 of at most kMaxCellChars characters: a byte that
// does not start a well-formed character becomes U+FFFD, so the file stays
// well-formed XML whatever the database held.
std::string CellUtf8(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  std::size_t chars = 0;
  for (std::size_t i = 0; i < text.size() && chars < kMaxCellChars; ++chars) {
    const DecodedChar c = DecodeUtf8(text, i);
    AppendUtf8(out, c.cp);
    i += c.length;
  }
  return out;
}

std::string FolderOf(const std::string& fileName) {
  std::size_t slash = fileName.rfind('/');
  return slash == std::string::npos ? std::string(".") : fileName.substr(0, slash);
}

}  // namespace

void WriteXlsxSheet(const std::string& fileName, const SheetCells& cells, const std::set<int>& textColumns) {
  std::string tmpdir = FolderOf(fileName);
  lxw_workbook_options options = {};
  options.constant_memory = LXW_TRUE;
  options.tmpdir = tmpdir.data();
  lxw_workbook* workbook = workbook_new_opt(fileName.c_str(), &options);
  if (!workbook) throw Error("the workbook cannot be created");
  lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
  lxw_format* text = workbook_add_format(workbook);
  if (!sheet || !text) {
    workbook_close(workbook);
    throw Error("the workbook cannot be created");
  }
  format_set_num_format(text, "@");
  lxw_error failure = LXW_NO_ERROR;
  // Column formats go before the first row is written.
  for (int column : textColumns) {
    auto c = static_cast<lxw_col_t>(column);
    if (failure == LXW_NO_ERROR) failure = worksheet_set_column(sheet, c, c, LXW_DEF_COL_WIDTH, text);
  }
  cells.ForEach([&](int row, int column, const std::string& value) {
    if (failure != LXW_NO_ERROR) return;
    failure = worksheet_write_string(sheet, static_cast<lxw_row_t>(row - 1), static_cast<lxw_col_t>(column),
                                     CellUtf8(value).c_str(), text);
  });
  lxw_error closed = workbook_close(workbook);
  if (failure == LXW_NO_ERROR) failure = closed;
  if (failure != LXW_NO_ERROR) throw Error(lxw_strerror(failure));
}

}  // namespace sx
