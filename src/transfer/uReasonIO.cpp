// Reason lists. The three members differ only in the names and statements of
// one table row each; the workers below are written once for all three.
#include "transfer/uReasonIO.h"

#include <vector>

#include "base/Text.h"
#include "workbook/TransferSheet.h"

namespace sx {

namespace {

struct ReasonList {
  const char* key;
  const char* title;
  const char* caption;
  const char* kindName;  // in the start and per-item lines
  const char* storeExport;
  const char* groupExport;  // + brand ID + "'"
  const char* storeCheck;   // + text + "'"
  const char* storeInsert;
  const char* groupCheck;   // + brand ID + "' and ...Desc='" + text + "'"
  const char* groupCheckText;
  const char* groupInsert;
  const char* stampUpdate;  // + brand ID + "'"
  const char* stampInsert;
  const char* textParam;
};

const ReasonList kBackReason{
    "backreason",
    "退菜理由清单",
    "退菜理由",
    "退菜理由",
    "select BackReasonDesc from BackReason",
    "select BackReasonDesc from Group_BackReason where BrandID=",
    "select count(*) from BackReason where BackReasonDesc=",
    "insert into BackReason(BackReasonDesc) values(:backreasondesc)",
    "select count(*) from Group_BackReason where BrandID=",
    " and BackReasonDesc=",
    "insert into Group_BackReason(BrandID,BackReasonDesc) values(:brandid,:backreasondesc)",
    "Update Group_DownloadVersion set BackReasonVersion=GetDate() where BrandID=",
    "Insert into Group_DownloadVersion(BrandID,BackReasonVersion) values(:brandid,GetDate())",
    "backreasondesc",
};

const ReasonList kGiftReason{
    "giftreason",
    "赠送理由清单",
    "赠送理由",
    "赠送理由",
    "select GiftReasonDesc from GiftReason",
    "select GiftReasonDesc from Group_GiftReason where BrandID=",
    "select count(*) from GiftReason where GiftReasonDesc=",
    "insert into GiftReason(GiftReasonDesc) values(:giftreasondesc)",
    "select count(*) from Group_GiftReason where BrandID=",
    " and GiftReasonDesc=",
    "insert into Group_GiftReason(BrandID,GiftReasonDesc) values(:brandid,:giftreasondesc)",
    "Update Group_DownloadVersion set GiftReasonVersion=GetDate() where BrandID=",
    "Insert into Group_DownloadVersion(BrandID,GiftReasonVersion) values(:brandid,GetDate())",
    "giftreasondesc",
};

const ReasonList kRepriceReason{
    "repricereason",
    "重定价理由清单",
    "重定价理由",
    "重定价理由",
    "select RepriceReasonDesc from RepriceReason",
    "select RepriceReasonDesc from Group_RepriceReason where BrandID=",
    "select count(*) from RepriceReason where RepriceReasonDesc=",
    "insert into RepriceReason(RepriceReasonDesc) values(:Repricereasondesc)",
    "select count(*) from Group_RepriceReason where BrandID=",
    " and RepriceReasonDesc=",
    "insert into Group_RepriceReason(BrandID,RepriceReasonDesc) values(:brandid,:Repricereasondesc)",
    "Update Group_DownloadVersion set RepriceReasonVersion=GetDate() where BrandID=",
    "Insert into Group_DownloadVersion(BrandID,RepriceReasonVersion) values(:brandid,GetDate())",
    "Repricereasondesc",
};

constexpr int kTextSize = 250;
constexpr int kBrandSize = 8;

// Both editions: the marker row, the caption row, then one text per row.
bool Export(const ReasonList& list, Tdmio& dm, const std::string& connection,
            const std::string& brandId, bool group, std::string& message) {
  return RunExport(
      dm, connection, group, message,
      [&] {
        dm.qGet.Close();
        dm.qGet.SetSQL(group ? list.groupExport + QuotedStr(brandId) : list.storeExport);
        dm.qGet.Open();
      },
      [&](SheetWriter& sheet) {
        sheet.FirstMarker(list.key, group ? brandId : "", list.title,
                          group ? kGroupStamp : kStoreStamp);
        sheet.Header({list.caption});
        for (; !dm.qGet.Eof(); dm.qGet.Next()) sheet.Row({dm.qGet.Fields(0).AsString()});
      });
}

// Inserts a text unless it exists; a group import stamps the brand's download
// version with each text it adds.
void WriteItem(const ReasonList& list, Tdmio& dm, const TReasonItem& item, bool group,
               const std::string& brandId) {
  dm.WriteItem(std::string("正在导入") + list.kindName + "\"" + item.text + "\"...", [&] {
    dm.qSet.Close();
    dm.qSet.SetSQL(group ? list.groupCheck + QuotedStr(brandId) + list.groupCheckText +
                               QuotedStr(item.text)
                         : list.storeCheck + QuotedStr(item.text));
    dm.qSet.Open();
    bool exists = dm.qSet.Fields(0).AsInteger() != 0;
    dm.qSet.Close();
    if (exists) return;
    dm.BeginWrite();
    dm.qSet.SetSQL(group ? list.groupInsert : list.storeInsert);
    if (group) dm.qSet.SetString("brandid", kBrandSize, brandId);
    dm.qSet.SetString(list.textParam, kTextSize, item.text);
    dm.qSet.ExecSQL();
    if (group)
      dm.StampDownloadVersion(list.stampUpdate + QuotedStr(brandId), list.stampInsert, brandId);
  });
}

bool Import(const ReasonList& list, Tdmio& dm, const std::string& connection,
            const std::string& brandId, const std::string& fileName, bool group,
            std::string& message) {
  try {
    if (!dm.Start(connection, group, message)) return false;
    std::vector<TReasonItem> items;
    return RunImport(
        fileName, list.kindName, message,
        [&](TExcelOperation& xls) {
          ReadingLoop loop;
          loop.sections.push_back(
              {.key = list.key, .read = [&](int row) { items.push_back({xls.ReadCell(row, 1)}); }});
          loop.headerCaptions = {list.caption};
          ReadSections(xls, loop);
        },
        [&] {
          for (const auto& item : items) WriteItem(list, dm, item, group, brandId);
        });
  } catch (const std::exception& e) {
    message = e.what();
    return false;
  }
}

}  // namespace

bool ExportBackReason(Tdmio& dm, const std::string& connection, std::string& message) {
  return Export(kBackReason, dm, connection, "", false, message);
}
bool ExportGroupBackReason(Tdmio& dm, const std::string& connection, const std::string& brandId,
                           std::string& message) {
  return Export(kBackReason, dm, connection, brandId, true, message);
}
bool ImportBackReason(Tdmio& dm, const std::string& connection, const std::string& fileName,
                      std::string& message) {
  return Import(kBackReason, dm, connection, "", fileName, false, message);
}
bool ImportGroupBackReason(Tdmio& dm, const std::string& connection, const std::string& brandId,
                           const std::string& fileName, std::string& message) {
  return Import(kBackReason, dm, connection, brandId, fileName, true, message);
}

bool ExportGiftReason(Tdmio& dm, const std::string& connection, std::string& message) {
  return Export(kGiftReason, dm, connection, "", false, message);
}
bool ExportGroupGiftReason(Tdmio& dm, const std::string& connection, const std::string& brandId,
                           std::string& message) {
  return Export(kGiftReason, dm, connection, brandId, true, message);
}
bool ImportGiftReason(Tdmio& dm, const std::string& connection, const std::string& fileName,
                      std::string& message) {
  return Import(kGiftReason, dm, connection, "", fileName, false, message);
}
bool ImportGroupGiftReason(Tdmio& dm, const std::string& connection, const std::string& brandId,
                           const std::string& fileName, std::string& message) {
  return Import(kGiftReason, dm, connection, brandId, fileName, true, message);
}

bool ExportRepriceReason(Tdmio& dm, const std::string& connection, std::string& message) {
  return Export(kRepriceReason, dm, connection, "", false, message);
}
bool ExportGroupRepriceReason(Tdmio& dm, const std::string& connection,
                              const std::string& brandId, std::string& message) {
  return Export(kRepriceReason, dm, connection, brandId, true, message);
}
bool ImportRepriceReason(Tdmio& dm, const std::string& connection, const std::string& fileName,
                         std::string& message) {
  return Import(kRepriceReason, dm, connection, "", fileName, false, message);
}
bool ImportGroupRepriceReason(Tdmio& dm, const std::string& connection,
                              const std::string& brandId, const std::string& fileName,
                              std::string& message) {
  return Import(kRepriceReason, dm, connection, brandId, fileName, true, message);
}

}  // namespace sx
