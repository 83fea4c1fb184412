// Menu items. The sheet has two sections: "menutype", one row per menu type,
// and "menuitem", one row per dish, whose type code stands only on the first
// dish of each type. An import attaches each dish to a type of the same sheet
// and writes one transaction per type: the type, its dishes and, in a group
// database, the brand's menu download stamp.
#include "transfer/uMenuIO.h"

#include <algorithm>
#include <unordered_map>

#include "base/DateTime.h"
#include "base/Text.h"
#include "ui/uLogMessage.h"
#include "workbook/TransferSheet.h"

namespace sx {

namespace {

constexpr const char* kTypeKey = "menutype";
constexpr const char* kItemKey = "menuitem";
constexpr const char* kTitle = "菜单";
constexpr const char* kKindName = "菜单";
constexpr int kBrandSize = 8;

// ---- Sheet layout -------------------------------------------------------------

// Type section, columns 1 to 12: caption and the export query's column.
struct TypeColumn {
  const char* caption;
  const char* source;
};

const TypeColumn kTypeColumns[] = {
    {"菜品类别代码(最多2个字符)", "MenuTypeCode"},
    {"菜品类别名称(最多20个汉字)", "MenuTypeName"},
    {"菜品类别名称2", "MenuTypeEName"},
    {"菜品类别名称3", "MenuTypeEName2"},
    {"菜品大类名称", "MenuTypeAlias"},
    {"该类菜品结账时对应的收入科目", "SubjectCode"},
    {"该类菜品结账时对应的收入科目名称", "SubjectName"},
    {"该类菜品所属出品部门代码(一级部门)", "DeptCode"},
    {"该类菜品所属出品部门名称", "DeptName"},
    {"服务费率%", "ServiceRate"},
    {"是否不能分摊折扣(0-否/1-是)", "UnDiscountTag"},
    {"是否酒水(0-否/1-是)", "IsDrink"},
};

// When the export fills an item cell.
enum class Written {
  Always,        // the field's text
  OnTypeChange,  // only when the type code differs from the previous row's
  Positive,      // only when the amount is greater than 0
  Date,          // only when not null, as "YYYY-MM-DD"
};

// Item section, columns 1 to 49. Columns 8 to 27 are five standard blocks of
// name, price, member price and cost price.
struct ItemColumn {
  const char* caption;
  const char* source;
  Written written;
};

const ItemColumn kItemColumns[] = {
    {"菜品类别代码(最多2个字符)", "MenuTypeCode", Written::OnTypeChange},  // 1
    {"菜编码(最多5个字符)", "MenuItemCode", Written::Always},
    {"菜品名称(最多25个汉字)", "MenuItemCName", Written::Always},
    {"菜品名称2", "MenuItemEName", Written::Always},
    {"菜品名称3", "MenuItemEName2", Written::Always},  // 5
    {"该类菜品所属出品部门代码(一级部门)", "DeptCode", Written::Always},
    {"该类菜品所属出品部门名称", "DeptName", Written::Always},
    {"规格", "Standard", Written::Always},
    {"价格", "MenuItemPrice", Written::Always},
    {"会员价", "MemberPrice", Written::Positive},  // 10
    {"成本价", "CostPrice", Written::Positive},
    {"规格2", "Standard2", Written::Always},
    {"价格2", "MenuItemPrice2", Written::Positive},
    {"会员价2", "MemberPrice2", Written::Positive},
    {"成本价2", "CostPrice2", Written::Positive},  // 15
    {"规格3", "Standard3", Written::Always},
    {"价格3", "MenuItemPrice3", Written::Positive},
    {"会员价3", "MemberPrice3", Written::Positive},
    {"成本价3", "CostPrice3", Written::Positive},
    {"规格4", "Standard4", Written::Always},  // 20
    {"价格4", "MenuItemPrice4", Written::Positive},
    {"会员价4", "MemberPrice4", Written::Positive},
    {"成本价4", "CostPrice4", Written::Positive},
    {"规格5", "Standard5", Written::Always},
    {"价格5", "MenuItemPrice5", Written::Positive},  // 25
    {"会员价5", "MemberPrice5", Written::Positive},
    {"成本价5", "CostPrice5", Written::Positive},
    {"附加规格", "AddStandard", Written::Always},
    {"是否厨房打印(0-否/1-是)", "MessageTag", Written::Always},
    {"是否沽清报警(0-否/1-是)", "NeedSaleOut", Written::Always},  // 30
    {"数量二次确认(0-否/1-是)", "QtyNotSureTag", Written::Always},
    {"是否临时菜(0-否/1-是)", "CanChangeNamePrice", Written::Always},
    {"是否时价菜(0-否/1-是)", "TimePriceTag", Written::Always},
    {"计时项目(0-否/1-是)", "TimeTag", Written::Always},
    {"是否可用券(0-否/1-是)", "CanBonusPay", Written::Always},  // 35
    {"不允许赠送(0-否/1-是)", "CannotGift", Written::Always},
    {"任意退菜(0-否/1-是)", "CanBackWORight", Written::Always},
    {"点菜时询问数量(0-否/1-是)", "AskQty", Written::Always},
    {"点菜时询问要求(0-否/1-是)", "AskMemo", Written::Always},
    {"扫描时询问上菜数量(0-否/1-是)", "AskScanQty", Written::Always},  // 40
    {"点菜时询问技师(0-否/1-是)", "NeedMaker", Written::Always},
    {"标准制作时间(分钟)", "MakeTime", Written::Always},
    {"助记码", "HelpCode", Written::Always},
    {"可用于备注(0-否/1-是)", "CanRemark", Written::Always},
    {"缺省备注(快餐版用)", "DefaultMemo", Written::Always},  // 45
    {"点菜数量不超过人数几倍", "QtyConfine", Written::Always},
    {"条形码", "BarCode", Written::Always},
    {"税率(%)", "TaxRate", Written::Positive},
    {"启用日期", "UseDate", Written::Date},  // 49
};

constexpr int kTypeColumnCount = sizeof kTypeColumns / sizeof kTypeColumns[0];
constexpr int kItemColumnCount = sizeof kItemColumns / sizeof kItemColumns[0];
static_assert(kTypeColumnCount == 12 && kItemColumnCount == 49);

const char* TypeCaption(int column) { return kTypeColumns[column - 1].caption; }
const char* ItemCaption(int column) { return kItemColumns[column - 1].caption; }

// First column of standard block k (0..4) and the offsets inside a block.
constexpr int StandardColumn(int k) { return 8 + 4 * k; }
constexpr int kPriceOffset = 1, kMemberOffset = 2, kCostOffset = 3;
constexpr int kTaxRateColumn = 48;

// Yes/no item columns, the record fields they fill and the write parameters.
struct FlagColumn {
  int column;
  int TMenuItemItem::*field;
  const char* param;
};

const FlagColumn kItemFlags[] = {
    {29, &TMenuItemItem::messageTag, "messagetag"},
    {30, &TMenuItemItem::needSaleOut, "needsaleout"},
    {31, &TMenuItemItem::qtyNotSureTag, "qtynotsuretag"},
    {32, &TMenuItemItem::canChangeNamePrice, "canchangenameprice"},
    {33, &TMenuItemItem::timePriceTag, "timepricetag"},
    {34, &TMenuItemItem::timeTag, "timetag"},
    {35, &TMenuItemItem::canBonusPay, "canbonuspay"},
    {36, &TMenuItemItem::cannotGift, "cannotgift"},
    {37, &TMenuItemItem::canBackWORight, "canbackworight"},
    {38, &TMenuItemItem::askQty, "askqty"},
    {39, &TMenuItemItem::askMemo, "askmemo"},
    {40, &TMenuItemItem::askScanQty, "askscanqty"},
    {41, &TMenuItemItem::needMaker, "needmaker"},
    {44, &TMenuItemItem::canRemark, "canremark"},
};

// Text item columns taken as they stand, with their parameters and sizes
// (store / group).
struct TextColumn {
  int column;
  std::string TMenuItemItem::*field;
  const char* param;
  int storeSize;
  int groupSize;
};

const TextColumn kItemTexts[] = {
    {2, &TMenuItemItem::code, "itemcode", 5, 10},
    {3, &TMenuItemItem::name, "itemname", 50, 50},
    {4, &TMenuItemItem::name2, "itemname2", 50, 50},
    {5, &TMenuItemItem::name3, "itemname3", 50, 50},
    {28, &TMenuItemItem::addStandard, "addstandard", 10, 10},
    {43, &TMenuItemItem::helpCode, "helpcode", 10, 20},
    {45, &TMenuItemItem::defaultMemo, "defaultmemo", 50, 50},
    {47, &TMenuItemItem::barCode, "barcode", 30, 30},
};

// Amount columns in the order the import checks them: prices, member prices,
// cost prices of the five standards, then the tax rate.
const int kAmountColumns[] = {9, 13, 17, 21, 25, 10, 14, 18, 22, 26, 11, 15, 19, 23, 27, 48};

double& AmountField(TMenuItemItem& item, int column) {
  if (column == kTaxRateColumn) return item.taxRate;
  TMenuStandard& s = item.standards[(column - StandardColumn(0)) / 4];
  switch ((column - StandardColumn(0)) % 4) {
    case kPriceOffset: return s.price;
    case kMemberOffset: return s.memberPrice;
    default: return s.costPrice;
  }
}

// ---- Statements -----------------------------------------------------------------

// clang-format off
const char* const kStoreTypeQuery = "select t.MenuTypeCode,t.MenuTypeName,t.MenuTypeEName,t.MenuTypeEName2,t.ServiceRate,t.SubjectCode,s.SubjectName,t.DeptCode,d.DeptName,t.MenuTypeAlias,t.UnDiscountTag,t.IsDrink from MenuType t,Subject s,Dept d where IsNull(t.Deleted,0)=0 and t.SubjectCode*=s.SubjectCode and t.DeptCode*=d.DeptCode order by t.MenuTypeCode";
const char* const kStoreItemQuery = "select m.*,d.DeptName,null as UseDate from MenuItem m,Dept d where IsNull(m.Deleted,0)=0 and m.DishStatus=1 and m.DeptCode*=d.DeptCode order by m.MenuTypeCode,m.MenuItemCode";

std::string GroupTypeQuery(const std::string& b) {
  return "select t.tCode as MenuTypeCode,t.tName as MenuTypeName,t.tName2 as MenuTypeEName,t.tName3 as MenuTypeEName2,t.SubjectCode,s.SubjectName,t.ServiceRate,t.DeptCode,d.DeptName,t.MenuTypeAlias,t.UnDiscountTag,t.IsDrink from Group_MenuType t,Group_Subject s,Group_Hotel_Dept d where t.BrandID=" + QuotedStr(b) + " and t.SubjectCode*=s.SubjectCode and s.BrandID=" + QuotedStr(b) + " and t.DeptCode*=d.DeptCode and d.BrandID=" + QuotedStr(b) + " and IsNull(t.Deleted,0)=0 order by t.tCode";
}

std::string GroupItemQuery(const std::string& b) {
  return "select m.*,m.tCode as MenuTypeCode,m.ItemCode as MenuItemCode,m.ItemName as MenuItemCName,m.ItemPrice as MenuItemPrice,m.ItemName2 as MenuItemEName,m.ItemName3 as MenuItemEName2,m.ItemPrice2 as MenuItemPrice2,m.ItemPrice3 as MenuItemPrice3,m.ItemPrice4 as MenuItemPrice4,m.ItemPrice5 as MenuItemPrice5,d.DeptName from Group_MenuItem m,Group_Hotel_Dept d where IsNull(m.Deleted,0)=0 and m.DishStatus=1 and m.DeptCode*=d.DeptCode and m.BrandID=" + QuotedStr(b) + " and d.BrandID=" + QuotedStr(b) + " order by m.tCode,m.ItemCode";
}

const char* const kStoreTypeUpdate = "update MenuType set MenuTypeName=:tname,MenuTypeEName=:tname2,MenuTypeEName2=:tname3,SubjectCode=:subjectcode,ServiceRate=:servicerate,DeptCode=:deptcode,MenuTypeAlias=:menutypealias,UnDiscountTag=:undiscounttag,IsDrink=:isdrink,Deleted=0 where MenuTypeCode=:tcode";
const char* const kStoreTypeInsert = "insert into MenuType(MenuTypeCode,MenuTypeName,MenuTypeEName,MenuTypeEName2,SubjectCode,ServiceRate,DeptCode,MenuTypeAlias,UnDiscountTag,IsDrink,Deleted) values(:tcode,:tname,:tname2,:tname3,:subjectcode,:servicerate,:deptcode,:menutypealias,:undiscounttag,:isdrink,0)";
const char* const kGroupTypeUpdate = "update Group_MenuType set tName=:tname,tName2=:tname2,tName3=:tname3,SubjectCode=:subjectcode,ServiceRate=:servicerate,DeptCode=:deptcode,MenuTypeAlias=:menutypealias,UnDiscountTag=:undiscounttag,IsDrink=:isdrink,Deleted=0 where tCode=:tcode and BrandID=:brandid";
const char* const kGroupTypeInsert = "insert into Group_MenuType(tCode,tName,tName2,tName3,BrandID,SubjectCode,ServiceRate,DeptCode,MenuTypeAlias,UnDiscountTag,IsDrink,Deleted) values(:tcode,:tname,:tname2,:tname3,:brandid,:subjectcode,:servicerate,:deptcode,:menutypealias,:undiscounttag,:isdrink,0)";

const char* const kStoreItemUpdate = "update MenuItem set MenuItemCName=:itemname,MenuItemEName=:itemname2,MenuItemEName2=:itemname3,MenuTypeCode=:tcode,Standard=:standard,MenuItemPrice=:itemprice,MemberPrice=:memberprice,CostPrice=:costprice,Standard2=:standard2,MenuItemPrice2=:itemprice2,MemberPrice2=:memberprice2,CostPrice2=:costprice2,Standard3=:standard3,MenuItemPrice3=:itemprice3,MemberPrice3=:memberprice3,CostPrice3=:costprice3,Standard4=:standard4,MenuItemPrice4=:itemprice4,MemberPrice4=:memberprice4,CostPrice4=:costprice4,Standard5=:standard5,MenuItemPrice5=:itemprice5,MemberPrice5=:memberprice5,CostPrice5=:costprice5,Mask=:mask,HelpCode=:helpcode,MessageTag=:messagetag,TimePriceTag=:timepricetag,QtyNotSureTag=:qtynotsuretag,TimeTag=:timetag,NeedSaleOut=:needsaleout,CanChangeNamePrice=:canchangenameprice,AddStandard=:addstandard,CanBonusPay=:canbonuspay,AskQty=:askqty,AskMemo=:askmemo,AskScanQty=:askscanqty,MakeTime=:maketime,CannotGift=:cannotgift,CanBackWORight=:canbackworight,BarCode=:barcode,NeedMaker=:needmaker,DeptCode=:deptcode,CanRemark=:canremark,QtyConfine=:qtyconfine,DefaultMemo=:defaultmemo,TaxRate=:taxrate,DishStatus=1,Deleted=0 where MenuItemCode=:itemcode";
const char* const kStoreItemInsert = "insert into MenuItem(MenuItemCode,MenuItemCName,MenuItemEName,MenuItemEName2,MenuTypeCode,Standard,MenuItemPrice,MemberPrice,CostPrice,Standard2,MenuItemPrice2,MemberPrice2,CostPrice2,Standard3,MenuItemPrice3,MemberPrice3,CostPrice3,Standard4,MenuItemPrice4,MemberPrice4,CostPrice4,Standard5,MenuItemPrice5,MemberPrice5,CostPrice5,Mask,HelpCode,MessageTag,TimePriceTag,QtyNotSureTag,TimeTag,NeedSaleOut,CanChangeNamePrice,AddStandard,CanBonusPay,AskQty,AskMemo,AskScanQty,MakeTime,CannotGift,CanBackWORight,BarCode,NeedMaker,DeptCode,CanRemark,QtyConfine,DefaultMemo,TaxRate,HopeRate,HopeRate2,HopeRate3,HopeRate4,HopeRate5,PhotoTag,DishStatus,Deleted) values(:itemcode,:itemname,:itemname2,:itemname3,:tcode,:standard,:itemprice,:memberprice,:costprice,:standard2,:itemprice2,:memberprice2,:costprice2,:standard3,:itemprice3,:memberprice3,:costprice3,:standard4,:itemprice4,:memberprice4,:costprice4,:standard5,:itemprice5,:memberprice5,:costprice5,:mask,:helpcode,:messagetag,:timepricetag,:qtynotsuretag,:timetag,:needsaleout,:canchangenameprice,:addstandard,:canbonuspay,:askqty,:askmemo,:askscanqty,:maketime,:cannotgift,:canbackworight,:barcode,:needmaker,:deptcode,:canremark,:qtyconfine,:defaultmemo,:taxrate,0,0,0,0,0,0,1,0)";
const char* const kGroupItemUpdate = "update Group_MenuItem set ItemName=:itemname,ItemName2=:itemname2,ItemName3=:itemname3,tCode=:tcode,Standard=:standard,ItemPrice=:itemprice,MemberPrice=:memberprice,CostPrice=:costprice,Standard2=:standard2,ItemPrice2=:itemprice2,MemberPrice2=:memberprice2,CostPrice2=:costprice2,Standard3=:standard3,ItemPrice3=:itemprice3,MemberPrice3=:memberprice3,CostPrice3=:costprice3,Standard4=:standard4,ItemPrice4=:itemprice4,MemberPrice4=:memberprice4,CostPrice4=:costprice4,Standard5=:standard5,ItemPrice5=:itemprice5,MemberPrice5=:memberprice5,CostPrice5=:costprice5,Mask=:mask,HelpCode=:helpcode,MessageTag=:messagetag,TimePriceTag=:timepricetag,QtyNotSureTag=:qtynotsuretag,TimeTag=:timetag,NeedSaleOut=:needsaleout,CanChangeNamePrice=:canchangenameprice,AddStandard=:addstandard,CanBonusPay=:canbonuspay,AskQty=:askqty,AskMemo=:askmemo,AskScanQty=:askscanqty,MakeTime=:maketime,CannotGift=:cannotgift,CanBackWORight=:canbackworight,BarCode=:barcode,NeedMaker=:needmaker,DeptCode=:deptcode,CanRemark=:canremark,QtyConfine=:qtyconfine,DefaultMemo=:defaultmemo,TaxRate=:taxrate,UseDate=:usedate,DishStatus=1,Deleted=0 where BrandID=:brandid and ItemCode=:itemcode";
const char* const kGroupItemInsert = "insert into Group_MenuItem(BrandID,ItemCode,ItemName,ItemName2,ItemName3,tCode,Standard,ItemPrice,MemberPrice,CostPrice,Standard2,ItemPrice2,MemberPrice2,CostPrice2,Standard3,ItemPrice3,MemberPrice3,CostPrice3,Standard4,ItemPrice4,MemberPrice4,CostPrice4,Standard5,ItemPrice5,MemberPrice5,CostPrice5,Mask,HelpCode,MessageTag,TimePriceTag,QtyNotSureTag,TimeTag,NeedSaleOut,CanChangeNamePrice,AddStandard,CanBonusPay,AskQty,AskMemo,AskScanQty,MakeTime,CannotGift,CanBackWORight,BarCode,NeedMaker,DeptCode,CanRemark,QtyConfine,DefaultMemo,TaxRate,UseDate,HopeRate,HopeRate2,HopeRate3,HopeRate4,HopeRate5,DishStatus,Deleted) values(:brandid,:itemcode,:itemname,:itemname2,:itemname3,:tcode,:standard,:itemprice,:memberprice,:costprice,:standard2,:itemprice2,:memberprice2,:costprice2,:standard3,:itemprice3,:memberprice3,:costprice3,:standard4,:itemprice4,:memberprice4,:costprice4,:standard5,:itemprice5,:memberprice5,:costprice5,:mask,:helpcode,:messagetag,:timepricetag,:qtynotsuretag,:timetag,:needsaleout,:canchangenameprice,:addstandard,:canbonuspay,:askqty,:askmemo,:askscanqty,:maketime,:cannotgift,:canbackworight,:barcode,:needmaker,:deptcode,:canremark,:qtyconfine,:defaultmemo,:taxrate,:usedate,0,0,0,0,0,1,0)";

const char* const kStampInsert = "Insert into Group_DownloadVersion(BrandID,MenuVersion) values(:brandid,GetDate())";
std::string StampUpdate(const std::string& b) {
  return "Update Group_DownloadVersion set MenuVersion=GetDate() where BrandID=" + QuotedStr(b);
}
// clang-format on

// ---- Export ---------------------------------------------------------------------

std::string ItemCell(const db::Query& q, const ItemColumn& column, std::string& lastTypeCode) {
  db::Field field = q.FieldByName(column.source);
  switch (column.written) {
    case Written::Always:
      return field.AsString();
    case Written::OnTypeChange: {
      std::string code = field.AsString();
      if (code == lastTypeCode) return {};
      lastTypeCode = code;
      return code;
    }
    case Written::Positive:
      return field.AsFloat() > 0 ? field.AsString() : std::string();
    case Written::Date:
      return field.IsNull() ? std::string() : FormatDateTime("YYYY-MM-DD", field.AsDateTime());
  }
  return {};
}

bool Export(Tdmio& dm, const std::string& connection, const std::string& brandId, bool group,
            std::string& message) {
  auto reopen = [&](const std::string& sql) {
    dm.qGet.Close();
    dm.qGet.SetSQL(sql);
    dm.qGet.Open();
  };
  return RunExport(
      dm, connection, group, message,
      [&] { reopen(group ? GroupTypeQuery(brandId) : kStoreTypeQuery); },
      [&](SheetWriter& sheet) {
        sheet.FirstMarker(kTypeKey, group ? brandId : "", kTitle,
                          group ? kGroupStamp : kStoreStamp);
        std::vector<std::string> cells(kTypeColumnCount);
        for (int c = 0; c < kTypeColumnCount; ++c) cells[c] = kTypeColumns[c].caption;
        sheet.Header(cells);
        for (; !dm.qGet.Eof(); dm.qGet.Next()) {
          for (int c = 0; c < kTypeColumnCount; ++c)
            cells[c] = dm.qGet.FieldByName(kTypeColumns[c].source).AsString();
          sheet.Row(cells);
        }

        sheet.Marker(kItemKey);
        cells.assign(kItemColumnCount, {});
        for (int c = 0; c < kItemColumnCount; ++c) cells[c] = kItemColumns[c].caption;
        sheet.Header(cells);
        reopen(group ? GroupItemQuery(brandId) : kStoreItemQuery);
        std::string lastTypeCode;
        for (; !dm.qGet.Eof(); dm.qGet.Next()) {
          for (int c = 0; c < kItemColumnCount; ++c)
            cells[c] = ItemCell(dm.qGet, kItemColumns[c], lastTypeCode);
          sheet.Row(cells);
        }
      });
}

// ---- Reading --------------------------------------------------------------------

// The state of one import's reading: the type list, where each code's first
// type stands, and the codes carried down the item rows.
class MenuReader {
 public:
  MenuReader(Tdmio& dm, TExcelOperation& xls, std::vector<TMenuTypeItem>& types)
      : dm_(dm), xls_(xls), types_(types) {}

  void ReadType(int r);
  void ReadItem(int r);

 private:
  std::string Cell(int r, int column) { return xls_.ReadCell(r, column); }
  void Reject(int r, const std::string& text) { ui::LogError(RowMessage(r, text)); }
  TMenuTypeItem* FindType(const std::string& code);
  // Checks an amount cell and stores it; false after logging why not.
  bool ReadAmount(int r, int column, double& value);

  Tdmio& dm_;
  TExcelOperation& xls_;
  std::vector<TMenuTypeItem>& types_;
  std::unordered_map<std::string, std::size_t> firstTypeByCode_;  // lower-case code
  // Carried down every item row, across types and rejected rows.
  std::string carriedTypeCode_;
  std::string carriedDeptCode_;
};

void MenuReader::ReadType(int r) {
  TMenuTypeItem t;
  t.code = Cell(r, 1);
  t.name = Cell(r, 2);
  std::string who = "\"" + t.code + " " + t.name + "\"";
  // A type needs a code: it is the key the dishes and the database use.
  if (t.code.empty()) return Reject(r, "\"" + t.name + "\"没有指定菜品类别代码!");
  if (t.name.empty()) return Reject(r, "\"" + t.code + "\"没有指定菜品类别名称!");
  t.subjectCode = Cell(r, 6);
  if (t.subjectCode.empty()) return Reject(r, who + "没有指定" + TypeCaption(6) + "!");
  std::string prefix = t.subjectCode.substr(0, 4);
  if (prefix != "5101" && prefix != "2171")
    return Reject(r, who + "指定的" + TypeCaption(6) +
                         ",不是5101开头的主营业务收入科目或2171开头的应交税金科目!");
  if (!Tdmio::Find(dm_.qMenuType, "SubjectCode", t.subjectCode))
    return Reject(r, "没有找到科目:" + t.subjectCode);
  t.deptCode = Cell(r, 8);
  if (t.deptCode.empty()) return Reject(r, who + "没有指定" + TypeCaption(8) + "!");
  if (!Tdmio::Find(dm_.qDept, "DeptCode", t.deptCode))
    return Reject(r, "没有找到制作部门:" + t.deptCode);

  t.name2 = Cell(r, 3);
  t.name3 = Cell(r, 4);
  t.alias = Cell(r, 5);
  t.serviceRate = TryStrToInt(Cell(r, 10)).value_or(0);
  t.unDiscountTag = YesNo(Cell(r, 11));
  t.isDrink = YesNo(Cell(r, 12));
  firstTypeByCode_.try_emplace(LowerCase(t.code), types_.size());
  types_.push_back(std::move(t));
}

TMenuTypeItem* MenuReader::FindType(const std::string& code) {
  auto it = firstTypeByCode_.find(LowerCase(code));
  return it == firstTypeByCode_.end() ? nullptr : &types_[it->second];
}

bool MenuReader::ReadAmount(int r, int column, double& value) {
  std::string text = Cell(r, column);
  if (text.empty()) return true;
  std::optional<double> number = TryStrToFloat(text);
  if (!number) {
    Reject(r, ItemCaption(column) + std::string("不是数值!"));
    return false;
  }
  if (*number < 0) {
    Reject(r, ItemCaption(column) + std::string("不能小于0!"));
    return false;
  }
  value = *number;
  return true;
}

void MenuReader::ReadItem(int r) {
  TMenuItemItem item;
  item.typeCode = Cell(r, 1);
  if (item.typeCode.empty()) item.typeCode = carriedTypeCode_;
  carriedTypeCode_ = item.typeCode;
  item.deptCode = Cell(r, 6);
  if (item.deptCode.empty()) item.deptCode = carriedDeptCode_;
  carriedDeptCode_ = item.deptCode;

  TMenuTypeItem* type = FindType(item.typeCode);
  if (!type) return Reject(r, "没有找到编号为\"" + item.typeCode + "\"的菜品类别!");
  for (const auto& t : kItemTexts) item.*t.field = Cell(r, t.column);
  if (item.code.empty()) return Reject(r, "菜品没有指定编号!");
  if (item.name.empty()) return Reject(r, "菜品没有指定名称!");
  for (int column : kAmountColumns)
    if (!ReadAmount(r, column, AmountField(item, column))) return;
  if (std::string text = Cell(r, 42); !text.empty()) {
    std::optional<std::int32_t> minutes = TryStrToInt(text);
    if (!minutes) return Reject(r, ItemCaption(42) + std::string("不是整数!"));
    if (*minutes < 0) return Reject(r, ItemCaption(42) + std::string("不能小于0!"));
    item.makeTime = *minutes;
  }
  if (std::string text = Cell(r, 49); !text.empty()) {
    std::optional<DateTime> date = TryStrToDate(text);
    if (!date) return Reject(r, ItemCaption(49) + std::string("不是YYYY-MM-DD格式的日期!"));
    // Kept as the date alone, so that it fits its column and reads back as a date.
    item.useDate = FormatDateTime("YYYY-MM-DD", *date);
  }
  if (!item.deptCode.empty() && !Tdmio::Find(dm_.qDept, "DeptCode", item.deptCode))
    return Reject(r, "没有找到制作部门:" + item.deptCode);

  item.typeCode = type->code;
  if (item.deptCode.empty()) item.deptCode = type->deptCode;
  for (int k = 0; k < 5; ++k) item.standards[k].name = Cell(r, StandardColumn(k));
  for (const auto& f : kItemFlags) item.*f.field = YesNo(Cell(r, f.column));
  // The exported number of portions per guest comes back as that number.
  std::string confine = Cell(r, 46);
  item.qtyConfine = confine == "是" ? 1 : std::max(0, TryStrToInt(confine).value_or(0));
  type->items.push_back(std::move(item));
}

// ---- Writing --------------------------------------------------------------------

void BindType(db::Query& q, const TMenuTypeItem& t, bool group, const std::string& brandId) {
  q.SetString("tcode", group ? 10 : 2, t.code);
  q.SetString("tname", group ? 50 : 40, t.name);
  q.SetString("tname2", group ? 50 : 40, t.name2);
  q.SetString("tname3", group ? 50 : 40, t.name3);
  q.SetString("subjectcode", group ? 20 : 10, t.subjectCode);
  q.SetInteger("servicerate", t.serviceRate);
  q.SetString("deptcode", 2, t.deptCode);
  q.SetString("menutypealias", 20, t.alias);
  q.SetInteger("undiscounttag", t.unDiscountTag);
  q.SetInteger("isdrink", t.isDrink);
  if (group) q.SetString("brandid", kBrandSize, brandId);
}

void BindItem(db::Query& q, const TMenuItemItem& item, bool group, const std::string& brandId) {
  for (const auto& t : kItemTexts)
    q.SetString(t.param, group ? t.groupSize : t.storeSize, item.*t.field);
  q.SetString("tcode", group ? 10 : 2, item.typeCode);
  // Standard 1 is always written; standards 2 to 5 only with a name, each
  // setting its bit of the mask.
  int mask = 0;
  for (int k = 0; k < 5; ++k) {
    const TMenuStandard& s = item.standards[k];
    std::string suffix = k == 0 ? "" : std::to_string(k + 1);
    if (k > 0 && s.name.empty()) {
      q.SetNull("standard" + suffix, db::ParamType::String, group ? 20 : 10);
      q.SetNull("itemprice" + suffix, db::ParamType::Float);
      q.SetNull("memberprice" + suffix, db::ParamType::Float);
      q.SetNull("costprice" + suffix, db::ParamType::Float);
      continue;
    }
    if (k > 0) mask |= 1 << (k - 1);
    q.SetString("standard" + suffix, group ? 20 : 10, s.name);
    q.SetFloat("itemprice" + suffix, s.price);
    q.SetFloat("memberprice" + suffix, s.memberPrice);
    q.SetFloat("costprice" + suffix, s.costPrice);
  }
  q.SetInteger("mask", mask);
  for (const auto& f : kItemFlags) q.SetInteger(f.param, item.*f.field);
  q.SetInteger("maketime", item.makeTime);
  q.SetString("deptcode", 2, item.deptCode);
  q.SetInteger("qtyconfine", item.qtyConfine);
  q.SetFloat("taxrate", item.taxRate);
  if (group) {
    q.SetOptionalString("usedate", 10, item.useDate);
    q.SetString("brandid", kBrandSize, brandId);
  }
}

// Runs `update`; when it changed no row, runs `insert`. `bind` sets the
// parameters of each.
template <class Bind>
void UpdateOrInsert(db::Query& q, const char* update, const char* insert, Bind bind) {
  q.Close();
  q.SetSQL(update);
  bind();
  if (q.ExecSQL() < 1) {
    q.SetSQL(insert);
    bind();
    q.ExecSQL();
  }
}

// One transaction per type: the type row, its dishes and the group stamp.
void WriteType(Tdmio& dm, const TMenuTypeItem& t, bool group, const std::string& brandId) {
  dm.WriteItem("正在导入菜谱" + t.code + " " + t.name + "...", [&] {
    dm.BeginWrite();
    UpdateOrInsert(dm.qSet, group ? kGroupTypeUpdate : kStoreTypeUpdate,
                   group ? kGroupTypeInsert : kStoreTypeInsert,
                   [&] { BindType(dm.qSet, t, group, brandId); });
    for (const auto& item : t.items)
      UpdateOrInsert(dm.qSet, group ? kGroupItemUpdate : kStoreItemUpdate,
                     group ? kGroupItemInsert : kStoreItemInsert,
                     [&] { BindItem(dm.qSet, item, group, brandId); });
    if (group) dm.StampDownloadVersion(StampUpdate(brandId), kStampInsert, brandId);
  });
}

bool Import(Tdmio& dm, const std::string& connection, const std::string& brandId,
            const std::string& fileName, bool group, std::string& message) {
  try {
    if (!dm.Start(connection, group, message)) return false;
    if (!group && !dm.ImportAllowed("ControlMenu")) {
      message = "菜单由集团统一下发,不能在门店导入!";
      return false;
    }
    dm.LoadSubjects(group ? brandId : "");
    dm.LoadDepts(group ? brandId : "");
    std::vector<TMenuTypeItem> types;
    bool result = RunImport(
        fileName, kKindName, message,
        [&](TExcelOperation& xls) {
          MenuReader reader(dm, xls, types);
          ReadingLoop loop;
          // Dish rows below the first of a type leave column 1 empty: column 2
          // makes them data rows, without restarting the empty-row count.
          loop.sections.push_back({.key = kTypeKey,
                                   .read = [&](int r) { reader.ReadType(r); },
                                   .continuationColumns = {2},
                                   .continuationKeepsCount = true});
          loop.sections.push_back({.key = kItemKey,
                                   .read = [&](int r) { reader.ReadItem(r); },
                                   .continuationColumns = {2},
                                   .continuationKeepsCount = true});
          loop.headerCaptions = {TypeCaption(1)};
          loop.columnsWithoutSection = {2};
          loop.keepCountWithoutSection = true;
          ReadSections(xls, loop);
        },
        [&] {
          for (const auto& t : types) WriteType(dm, t, group, brandId);
        });
    dm.qMenuType.Close();
    dm.qDept.Close();
    return result;
  } catch (const std::exception& e) {
    message = e.what();
    return false;
  }
}

}  // namespace

bool ExportMenu(Tdmio& dm, const std::string& connection, std::string& message) {
  return Export(dm, connection, "", false, message);
}
bool ExportGroupMenu(Tdmio& dm, const std::string& connection, const std::string& brandId,
                     std::string& message) {
  return Export(dm, connection, brandId, true, message);
}
bool ImportMenu(Tdmio& dm, const std::string& connection, const std::string& fileName,
                std::string& message) {
  return Import(dm, connection, "", fileName, false, message);
}
bool ImportGroupMenu(Tdmio& dm, const std::string& connection, const std::string& brandId,
                     const std::string& fileName, std::string& message) {
  return Import(dm, connection, brandId, fileName, true, message);
}

}  // namespace sx
