// What an import did, collected from its log lines as they are written: the
// items it wrote or failed to write, the rows it rejected and other errors,
// with their totals. The tool's summary and `--report` file, and the host's
// report handler, all come from it.
#pragma once
#include <string>
#include <vector>

namespace sx {

class ImportReport {
 public:
  struct Item {
    std::string key;   // what the item's line names, e.g. "角色1 经理"
    std::string line;  // its log line
    bool written = true;
    std::vector<std::string> messages;  // error lines logged while writing it
  };
  struct RejectedRow {
    int row;
    std::string message;
  };

  // The log lines of the import, as they are written. An information line
  // that starts with "正在导入" begins an item; an error line right after
  // it, or after another error of the item, means the item was not written.
  void Info(const std::string& text);
  void Error(const std::string& text);
  void RowError(int row, const std::string& message);

  // The call's facts, set by the run.
  std::string file, kind, edition, brand, start, end, message;
  bool checkOnly = false;
  bool done = false;  // the import ran to its end (the call's result)

  const std::vector<Item>& Items() const { return items_; }
  const std::vector<RejectedRow>& RejectedRows() const { return rows_; }
  const std::vector<std::string>& OtherErrors() const { return others_; }
  int Written() const;

  // The whole as JSON text (UTF-8).
  std::string Json() const;

 private:
  std::vector<Item> items_;
  std::vector<RejectedRow> rows_;
  std::vector<std::string> others_;
  bool inItem_ = false;  // the last line belongs to the last item
};

}  // namespace sx
