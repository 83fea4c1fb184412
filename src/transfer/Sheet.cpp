#include "transfer/Sheet.h"

#include <algorithm>

#include "base/DateTime.h"
#include "base/Text.h"

namespace sx {

namespace {
constexpr int kEmptyRowsThatEndTheSheet = 5;
}

// ---- Writing ----------------------------------------------------------------

void SheetWriter::FirstMarker(const std::string& key, const std::string& brandId,
                              const std::string& title, const std::string& stamp) {
  if (!key.empty()) xls_.WriteCell(row_, 0, key);
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

// The captions, and every captioned column formatted as text, so that what a
// person types later into an empty cell stays text ("0012", not 12).
void SheetWriter::Header(const std::vector<std::string>& captions, int firstColumn) {
  for (std::size_t i = 0; i < captions.size(); ++i) xls_.FormatColumnAsText(static_cast<int>(i) + firstColumn);
  Row(captions, firstColumn);
}

void SheetWriter::Row(const std::vector<std::string>& values, int firstColumn) {
  for (std::size_t i = 0; i < values.size(); ++i)
    if (!values[i].empty()) xls_.WriteCell(row_, static_cast<int>(i) + firstColumn, values[i]);
  ++row_;
}

void SheetWriter::Cell(int row, int column, const std::string& text) {
  if (!text.empty()) xls_.WriteCell(row, column, text);
  row_ = std::max(row_, row + 1);
}

std::string ExportCell(const db::Field& field, Written rule, std::string& previous) {
  switch (rule) {
    case Written::Always:
      return field.AsString();
    case Written::OnChange: {
      std::string text = field.AsString();
      if (text == previous) return {};
      previous = text;
      return text;
    }
    case Written::OnChangeIgnoringCase: {
      std::string text = field.AsString();
      if (SameTextIgnoringCase(text, previous)) return {};
      previous = text;
      return text;
    }
    case Written::Positive:
      return field.AsFloat() > 0 ? field.AsString() : std::string();
    case Written::Date: {
      if (field.IsNull()) return {};
      std::string stored = field.AsString();
      std::optional<DateTime> date = ParseStoredDateTime(Trim(stored));
      return date ? FormatDateTime("YYYY-MM-DD", *date) : stored;
    }
    case Written::Time: {
      if (field.IsNull()) return {};
      std::string stored = field.AsString();
      std::optional<DateTime> time = ParseStoredDateTime(Trim(stored));
      return time ? FormatDateTime("HH:NN", *time) : stored;
    }
  }
  return {};
}

// ---- Reading ----------------------------------------------------------------

namespace {

bool AnyFilled(TExcelOperation& xls, int row, const std::vector<int>& columns) {
  return std::any_of(columns.begin(), columns.end(),
                     [&](int c) { return !xls.ReadCell(row, c).empty(); });
}

// Hands a data row to its section's reader unless a cell is over its limit.
void ReadRow(TExcelOperation& xls, const ReadingLoop& loop, const SheetSection& section, int row) {
  for (const TextLimit& limit : section.limits) {
    std::string value = xls.ReadCell(row, limit.column);
    if (Cp936Width(value) > static_cast<std::size_t>(limit.bytes)) {
      if (loop.rowError) loop.rowError(row, OverLongMessage(limit, value));
      if (section.dropped) section.dropped(row);
      return;
    }
  }
  section.read(row);
}

}  // namespace

std::string OverLongMessage(const TextLimit& limit, const std::string& value) {
  return limit.caption + "超长(最多" + std::to_string(limit.bytes) + "字节):" + value;
}

SheetEnd ReadSections(TExcelOperation& xls, const ReadingLoop& loop) {
  const SheetSection* current = nullptr;
  SheetEnd end;
  int emptyRun = 0;
  int row = 1;
  for (; emptyRun < kEmptyRowsThatEndTheSheet; ++row) {
    std::string key = LowerCase(xls.ReadCell(row, 0));
    if (!key.empty()) {
      for (const auto& section : loop.sections)
        if (section.key == key) {
          current = &section;
          end.sectionFound = true;
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
      if (!header && current) ReadRow(xls, loop, *current, row);
      continue;
    }
    // Column 1 is empty: a continuation row, or an empty one.
    const std::vector<int>& columns =
        current ? current->continuationColumns : loop.columnsWithoutSection;
    bool keepsCount = current ? current->continuationKeepsCount : loop.keepCountWithoutSection;
    if (!AnyFilled(xls, row, columns)) {
      ++emptyRun;
      continue;
    }
    if (current) ReadRow(xls, loop, *current, row);
    if (!keepsCount) emptyRun = 0;
  }
  end.nextRow = row;
  return end;
}

SheetEnd ReadTable(TExcelOperation& xls, int firstRow, int keyColumn,
                   const std::function<void(int row)>& read) {
  int emptyRun = 0;
  int row = firstRow;
  for (; emptyRun < kEmptyRowsThatEndTheSheet; ++row) {
    if (xls.ReadCell(row, keyColumn).empty()) {
      ++emptyRun;
    } else {
      emptyRun = 0;
      read(row);
    }
  }
  return {.nextRow = row, .sectionFound = true};
}

bool YesNo(const std::string& cell) { return cell == "1" || cell == "是"; }

std::string RowMessage(int row, const std::string& text) {
  return "第" + std::to_string(row) + "行:" + text;
}

}  // namespace sx
