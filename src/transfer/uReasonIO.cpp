// Reason lists. The three members differ only in their names and statements;
// the workers below are written once for all three. The sheet has one
// section: the marker row, the caption row, then one text per row.
#include "transfer/uReasonIO.h"

#include <vector>

#include "base/Text.h"

namespace sx {

namespace {

// A member: its sheet names and the table and column that hold its texts
// (the group table is the same name with the prefix "Group_").
struct ReasonList {
  const char* key;
  const char* title;
  const char* caption;
  const char* kindName;  // in the start and per-item lines
  const char* table;
  const char* column;
  const char* stampColumn;
};

const ReasonList kBackReason{"backreason", "退菜理由清单", "退菜理由", "退菜理由", "BackReason",
                             "BackReasonDesc", "BackReasonVersion"};
const ReasonList kGiftReason{"giftreason", "赠送理由清单", "赠送理由", "赠送理由", "GiftReason",
                             "GiftReasonDesc", "GiftReasonVersion"};
const ReasonList kRepriceReason{"repricereason", "重定价理由清单", "重定价理由", "重定价理由", "RepriceReason",
                                "RepriceReasonDesc", "RepriceReasonVersion"};

// The statements of every member, with {T} its table and {C} its column; the
// text is bound as :text.
constexpr const char* kStoreExport = "select {C} from {T}";
constexpr const char* kGroupExport = "select {C} from Group_{T} where BrandID=:brandid";
constexpr const char* kStoreCheck = "select count(*) from {T} where {C}=:text";
constexpr const char* kStoreInsert = "insert into {T}({C}) values(:text)";
constexpr const char* kGroupCheck = "select count(*) from Group_{T} where BrandID=:brandid and {C}=:text";
constexpr const char* kGroupInsert = "insert into Group_{T}(BrandID,{C}) values(:brandid,:text)";

// A statement of the member in the run's edition.
std::string Statement(const ReasonList& list, const Edition& edition, const char* store,
                      const char* group) {
  std::string sql = edition.Pick(store, group);
  for (std::size_t at; (at = sql.find("{T}")) != std::string::npos;) sql.replace(at, 3, list.table);
  for (std::size_t at; (at = sql.find("{C}")) != std::string::npos;) sql.replace(at, 3, list.column);
  return sql;
}

constexpr int kTextSize = 250;

// Texts that are empty are left out: they could never be imported, and five
// of them in a row would end the sheet for the import.
void ExportList(const ReasonList& list, ExportRun& run) {
  db::Query& q = run.Query(Statement(list, run.edition, kStoreExport, kGroupExport));
  run.FirstMarker(list.key, list.title);
  run.Sheet().Header({list.caption});
  for (; !q.Eof(); q.Next()) {
    std::string text = q.Fields(0).AsString();
    if (!Trim(text).empty()) run.Sheet().Row({text});
  }
}

// Inserts each text unless it exists; a group import stamps the brand's
// download version with each text it adds.
void ImportList(const ReasonList& list, ImportRun& run) {
  std::vector<TReasonItem> items;
  ReadingLoop loop;
  loop.sections.push_back(
      {.key = list.key,
       .read = [&](int row) { items.push_back({run.Cell(row, 1)}); },
       .limits = {{1, list.caption, kTextSize}}});
  loop.headerCaptions = {list.caption};
  run.ReadSections(list.kindName, loop);

  std::string check = Statement(list, run.edition, kStoreCheck, kGroupCheck);
  std::string insert = Statement(list, run.edition, kStoreInsert, kGroupInsert);
  for (const auto& item : items)
    run.WriteItem(std::string("正在导入") + list.kindName + "\"" + item.text + "\"...", [&] {
      db::Query& found = run.Query(check, [&](db::Query& q) { q.SetString("text", 0, item.text); });
      bool exists = found.Fields(0).AsInteger() != 0;
      found.Close();
      if (exists) return;
      run.Execute(insert, [&](db::Query& q) { q.SetString("text", kTextSize, item.text); });
      run.StampDownloadVersion(list.stampColumn);
    });
}

}  // namespace

void uBackReasonIO::Export(ExportRun& run) { ExportList(kBackReason, run); }
void uBackReasonIO::Import(ImportRun& run) { ImportList(kBackReason, run); }
void uGiftReasonIO::Export(ExportRun& run) { ExportList(kGiftReason, run); }
void uGiftReasonIO::Import(ImportRun& run) { ImportList(kGiftReason, run); }
void uRepriceReasonIO::Export(ExportRun& run) { ExportList(kRepriceReason, run); }
void uRepriceReasonIO::Import(ImportRun& run) { ImportList(kRepriceReason, run); }

}  // namespace sx
