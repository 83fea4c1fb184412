#include "workbook/WorkbookEngine.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

#include "base/DateTime.h"
#include "base/Error.h"
#include "base/Text.h"
#include "workbook/SheetCells.h"
#include "workbook/WorkbookFiles.h"

namespace sx {

namespace {

// A workbook file's name for the hand-over: the sheet's title (row 1,
// column 2) made safe for a file name, or "workbook" without one.
std::string FileStem(const SheetCells& cells) {
  const std::string* title = cells.Find(1, 2);
  std::string stem;
  for (char c : Trim(title ? *title : std::string())) {
    unsigned char u = static_cast<unsigned char>(c);
    stem += (u < 0x20 || u == 0x7F || std::strchr("/\\:*?\"<>|", c)) ? '_' : c;
  }
  stem = std::string(CutAtCharBoundary(stem, 100));
  while (!stem.empty() && stem.front() == '.') stem.front() = '_';
  return stem.empty() ? "workbook" : stem;
}

// Creates a new, empty file named after the stem and the time in the system's
// temporary folder; an existing file is never reused, a counter is added.
std::string ReserveFile(const std::string& stem) {
  std::error_code ec;
  std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
  if (ec) throw Error("there is no temporary folder (" + ec.message() + ")");
  std::string base = (folder / (stem + "_" + FormatDateTime("YYYYMMDD_HHNNSS", Now()))).string();
  for (int n = 1; n <= 1000; ++n) {
    std::string path = base + (n == 1 ? std::string() : "_" + std::to_string(n)) + ".xlsx";
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      close(fd);
      return path;
    }
    if (errno != EEXIST) throw Error("'" + path + "' cannot be created (" + std::strerror(errno) + ")");
  }
  throw Error("no free file name for '" + base + ".xlsx'");
}

class FileSheet final : public WorkbookEngine {
 public:
  SheetCells cells;
  std::set<int> textColumns;

  std::string ReadCell(int row, int column) const override {
    const std::string* text = cells.Find(row, column);
    return text ? Trim(*text) : std::string();
  }
  void WriteCell(int row, int column, const std::string& text) override { cells.Set(row, column, text); }
  void FormatColumnAsText(int column) override {
    if (column < 0 || column >= kMaxSheetColumns)
      throw Error("column " + std::to_string(column) + " lies outside the sheet");
    textColumns.insert(column);
  }
  void ForEachCell(const std::function<void(int, int, const std::string&)>& fn) const override {
    cells.ForEach([&](int row, int column, const std::string& text) {
      std::string trimmed = Trim(text);
      if (!trimmed.empty()) fn(row, column, trimmed);
    });
  }
  std::string HandOver() override {
    std::string path;
    try {
      path = ReserveFile(FileStem(cells));
      WriteXlsxSheet(path, cells, textColumns);
    } catch (const std::exception& e) {
      if (!path.empty()) std::remove(path.c_str());
      throw Error("Cannot save the workbook" + (path.empty() ? std::string() : " '" + path + "'") + ": " +
                  e.what());
    }
    return path;
  }
};

enum class FileFormat { Xlsx, Xls, Other };

FileFormat Sniff(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw Error(std::strerror(errno));
  unsigned char magic[8] = {};
  in.read(reinterpret_cast<char*>(magic), sizeof magic);
  std::streamsize n = in.gcount();
  if (n >= 4 && std::memcmp(magic, "PK\x03\x04", 4) == 0) return FileFormat::Xlsx;
  if (n >= 8 && std::memcmp(magic, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) == 0) return FileFormat::Xls;
  return FileFormat::Other;
}

}  // namespace

std::unique_ptr<WorkbookEngine> WorkbookEngine::Create() { return std::make_unique<FileSheet>(); }

std::unique_ptr<WorkbookEngine> WorkbookEngine::Open(const std::string& fileName) {
  auto sheet = std::make_unique<FileSheet>();
  try {
    std::error_code ec;
    if (std::filesystem::is_directory(fileName, ec)) throw Error("it is a folder");
    switch (Sniff(fileName)) {
      case FileFormat::Xlsx: ReadXlsxSheet(fileName, sheet->cells); break;
      case FileFormat::Xls: ReadXlsSheet(fileName, sheet->cells); break;
      case FileFormat::Other: throw Error("it is not an Excel workbook (.xlsx or .xls)");
    }
  } catch (const std::bad_alloc&) {
    throw Error("Cannot read the workbook '" + fileName + "': there is not enough memory");
  } catch (const std::exception& e) {
    throw Error("Cannot read the workbook '" + fileName + "': " + e.what());
  }
  return sheet;
}

}  // namespace sx
