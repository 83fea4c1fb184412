// Reason lists. The three members differ only in their names and statements;
// the workers below are written once for all three. The sheet has one
// section: the marker row, the caption row, then one text per row.
#include "transfer/uReasonIO.h"

#include <vector>

#include "base/Text.h"

namespace sx {

namespace {

struct ReasonList {
  const char* key;
  const char* title;
  const char* caption;
  const char* kindName;  // in the start and per-item lines
  const char* storeExport;
  const char* groupExport;
  const char* storeCheck;
  const char* storeInsert;
  const char* groupCheck;
  const char* groupInsert;
  const char* stampColumn;
  const char* textParam;
};

const ReasonList kBackReason{
    .key = "backreason",
    .title = "退菜理由清单",
    .caption = "退菜理由",
    .kindName = "退菜理由",
    .storeExport = "select BackReasonDesc from BackReason",
    .groupExport = "select BackReasonDesc from Group_BackReason where BrandID=:brandid",
    .storeCheck = "select count(*) from BackReason where BackReasonDesc=:backreasondesc",
    .storeInsert = "insert into BackReason(BackReasonDesc) values(:backreasondesc)",
    .groupCheck = R"(
select count(*) from Group_BackReason
where BrandID=:brandid and BackReasonDesc=:backreasondesc)",
    .groupInsert = R"(
insert into Group_BackReason(BrandID,BackReasonDesc)
values(:brandid,:backreasondesc))",
    .stampColumn = "BackReasonVersion",
    .textParam = "backreasondesc",
};

const ReasonList kGiftReason{
    .key = "giftreason",
    .title = "赠送理由清单",
    .caption = "赠送理由",
    .kindName = "赠送理由",
    .storeExport = "select GiftReasonDesc from GiftReason",
    .groupExport = "select GiftReasonDesc from Group_GiftReason where BrandID=:brandid",
    .storeCheck = "select count(*) from GiftReason where GiftReasonDesc=:giftreasondesc",
    .storeInsert = "insert into GiftReason(GiftReasonDesc) values(:giftreasondesc)",
    .groupCheck = R"(
select count(*) from Group_GiftReason
where BrandID=:brandid and GiftReasonDesc=:giftreasondesc)",
    .groupInsert = R"(
insert into Group_GiftReason(BrandID,GiftReasonDesc)
values(:brandid,:giftreasondesc))",
    .stampColumn = "GiftReasonVersion",
    .textParam = "giftreasondesc",
};

const ReasonList kRepriceReason{
    .key = "repricereason",
    .title = "重定价理由清单",
    .caption = "重定价理由",
    .kindName = "重定价理由",
    .storeExport = "select RepriceReasonDesc from RepriceReason",
    .groupExport = "select RepriceReasonDesc from Group_RepriceReason where BrandID=:brandid",
    .storeCheck = "select count(*) from RepriceReason where RepriceReasonDesc=:Repricereasondesc",
    .storeInsert = "insert into RepriceReason(RepriceReasonDesc) values(:Repricereasondesc)",
    .groupCheck = R"(
select count(*) from Group_RepriceReason
where BrandID=:brandid and RepriceReasonDesc=:Repricereasondesc)",
    .groupInsert = R"(
insert into Group_RepriceReason(BrandID,RepriceReasonDesc)
values(:brandid,:Repricereasondesc))",
    .stampColumn = "RepriceReasonVersion",
    .textParam = "Repricereasondesc",
};

constexpr int kTextSize = 250;

// Texts that are empty are left out: they could never be imported, and five
// of them in a row would end the sheet for the import.
void ExportList(const ReasonList& list, ExportRun& run) {
  db::Query& q = run.Query(run.edition.Pick(list.storeExport, list.groupExport));
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

  auto bindText = [&](const TReasonItem& item) {
    return [&](db::Query& q) { q.SetString(list.textParam, 0, item.text); };
  };
  for (const auto& item : items)
    run.WriteItem(std::string("正在导入") + list.kindName + "\"" + item.text + "\"...", [&] {
      db::Query& check =
          run.Query(run.edition.Pick(list.storeCheck, list.groupCheck), bindText(item));
      bool exists = check.Fields(0).AsInteger() != 0;
      check.Close();
      if (exists) return;
      run.Execute(run.edition.Pick(list.storeInsert, list.groupInsert), [&](db::Query& q) {
        q.SetString(list.textParam, kTextSize, item.text);
      });
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
