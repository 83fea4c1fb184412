#include "transfer/Report.h"

#include <nlohmann/json.hpp>

namespace sx {

namespace {

constexpr std::string_view kItemPrefix = "正在导入";
constexpr std::string_view kItemSuffix = "...";

// The item's subject: its line without "正在导入" and the closing "...".
std::string KeyOf(const std::string& line) {
  std::string_view key = line;
  key.remove_prefix(kItemPrefix.size());
  if (key.ends_with(kItemSuffix)) key.remove_suffix(kItemSuffix.size());
  return std::string(key);
}

}  // namespace

void ImportReport::Info(const std::string& text) {
  inItem_ = text.starts_with(kItemPrefix);
  if (inItem_) items_.push_back({KeyOf(text), text, true, {}});
}

void ImportReport::Error(const std::string& text) {
  if (inItem_) {
    items_.back().written = false;
    items_.back().messages.push_back(text);
  } else {
    others_.push_back(text);
  }
}

void ImportReport::RowError(int row, const std::string& message) {
  rows_.push_back({row, message});
  inItem_ = false;
}

int ImportReport::Written() const {
  int n = 0;
  for (const Item& item : items_) n += item.written ? 1 : 0;
  return n;
}

std::string ImportReport::Json() const {
  using nlohmann::ordered_json;
  ordered_json items = ordered_json::array();
  for (const Item& i : items_)
    items.push_back({{"key", i.key}, {"line", i.line}, {"written", i.written}, {"messages", i.messages}});
  ordered_json rows = ordered_json::array();
  for (const RejectedRow& r : rows_) rows.push_back({{"row", r.row}, {"message", r.message}});
  int written = Written();
  ordered_json report = {
      {"file", file},
      {"kind", kind},
      {"edition", edition},
      {"brand", brand},
      {"checkOnly", checkOnly},
      {"start", start},
      {"end", end},
      {"done", done},
      {"message", message},
      {"totals",
       {{"items", items_.size()},
        {"written", written},
        {"failed", static_cast<int>(items_.size()) - written},
        {"rejectedRows", rows_.size()},
        {"otherErrors", others_.size()}}},
      {"items", items},
      {"rejectedRows", rows},
      {"otherErrors", others_},
  };
  // Text that is not valid UTF-8 (a file name, say) is replaced, not refused.
  return report.dump(2, ' ', false, ordered_json::error_handler_t::replace);
}

}  // namespace sx
