#include "workbook/WorkbookEngine.h"

#include <map>

#include "base/Error.h"

namespace sx {

namespace {

// A sheet kept in memory only; the file formats come with the file engine.
class MemorySheet final : public WorkbookEngine {
 public:
  std::string ReadCell(int row, int column) const override {
    auto it = cells_.find({row, column});
    return it == cells_.end() ? std::string() : it->second;
  }
  void WriteCell(int row, int column, const std::string& text) override {
    cells_[{row, column}] = text;
  }
  void ForEachCell(const std::function<void(int, int, const std::string&)>& fn) const override {
    for (const auto& [at, text] : cells_)
      if (!text.empty()) fn(at.first, at.second, text);
  }
  void HandOver() override {}

 private:
  std::map<std::pair<int, int>, std::string> cells_;
};

}  // namespace

std::unique_ptr<WorkbookEngine> WorkbookEngine::Create() { return std::make_unique<MemorySheet>(); }

std::unique_ptr<WorkbookEngine> WorkbookEngine::Open(const std::string& fileName) {
  throw Error("Cannot open the workbook '" + fileName + "'");
}

}  // namespace sx
