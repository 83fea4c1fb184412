// Menu items. The sheet has two sections: "menutype", one row per menu type,
// and "menuitem", one row per dish, whose type code stands only on the first
// dish of each type. An import attaches each dish to a type of the same sheet
// and writes one transaction per type: the type, its dishes and, in a group
// database, the brand's menu download stamp.
#include "transfer/uMenuIO.h"

#include <algorithm>
#include <string_view>
#include <type_traits>
#include <unordered_map>

#include "base/DateTime.h"
#include "base/Text.h"

namespace sx {

namespace {

constexpr const char* kTypeKey = "menutype";
constexpr const char* kItemKey = "menuitem";
constexpr const char* kTitle = "菜单";
constexpr const char* kKindName = "菜单";

// ---- Sheet layout -------------------------------------------------------------

// Type section, from column 1 on: caption, the export query's column and, for
// a text the import writes, its parameter's size in each edition.
struct TypeColumn {
  const char* caption;
  const char* source;
  int storeSize = 0;
  int groupSize = 0;
};

constexpr TypeColumn kTypeColumns[] = {
    {"菜品类别代码(最多2个字符)", "MenuTypeCode", 2, 10},
    {"菜品类别名称(最多20个汉字)", "MenuTypeName", 40, 50},
    {"菜品类别名称2", "MenuTypeEName", 40, 50},
    {"菜品类别名称3", "MenuTypeEName2", 40, 50},
    {"菜品大类名称", "MenuTypeAlias", 20, 20},
    {"该类菜品结账时对应的收入科目", "SubjectCode", 10, 20},
    {"该类菜品结账时对应的收入科目名称", "SubjectName"},
    {"该类菜品所属出品部门代码(一级部门)", "DeptCode", 2, 2},
    {"该类菜品所属出品部门名称", "DeptName"},
    {"服务费率%", "ServiceRate"},
    {"是否不能分摊折扣(0-否/1-是)", "UnDiscountTag"},
    {"是否酒水(0-否/1-是)", "IsDrink"},
};

// How the import reads an item column.
enum class Read {
  Own,       // by the row reader's own code
  Text,      // taken as it stands into `text`
  Flag,      // the yes/no rule into `flag`
  Standard,  // the name of standard `standard`
  Amount,    // a number of at least 0 into `amount` of standard `standard`
};

// Item section, from column 1 on. Columns 8 to 27 are five standard blocks of
// name, price, member price and cost price.
struct ItemColumn {
  const char* caption;
  const char* source;  // the export query's column
  Written written = Written::Always;
  Read read = Read::Own;
  const char* param = nullptr;  // Text and Flag: the write statements' parameter
  std::string TMenuItemItem::*text = nullptr;
  int storeSize = 0;  // a text the import writes: its parameter's size in each edition
  int groupSize = 0;
  int TMenuItemItem::*flag = nullptr;
  int standard = 0;
  double TMenuStandard::*amount = nullptr;
};

using M = TMenuItemItem;
using S = TMenuStandard;

constexpr ItemColumn Own(const char* caption, const char* source, Written written = Written::Always) {
  return {.caption = caption, .source = source, .written = written};
}
constexpr ItemColumn OwnText(const char* caption, const char* source, Written written, int storeSize,
                             int groupSize) {
  return {.caption = caption, .source = source, .written = written, .storeSize = storeSize,
          .groupSize = groupSize};
}
constexpr ItemColumn Text(const char* caption, const char* source, const char* param,
                          std::string M::*text, int storeSize, int groupSize) {
  return {.caption = caption, .source = source, .read = Read::Text, .param = param, .text = text,
          .storeSize = storeSize, .groupSize = groupSize};
}
constexpr ItemColumn Flag(const char* caption, const char* source, const char* param, int M::*flag) {
  return {.caption = caption, .source = source, .read = Read::Flag, .param = param, .flag = flag};
}
constexpr ItemColumn Standard(const char* caption, const char* source, int standard) {
  return {.caption = caption, .source = source, .read = Read::Standard, .storeSize = 10, .groupSize = 20,
          .standard = standard};
}
// The price of standard 1 is always written; other amounts only when above 0.
constexpr ItemColumn Amount(const char* caption, const char* source, int standard, double S::*amount) {
  bool always = standard == 0 && amount == &S::price;
  return {.caption = caption, .source = source, .written = always ? Written::Always : Written::Positive,
          .read = Read::Amount, .standard = standard, .amount = amount};
}

constexpr ItemColumn kItemColumns[] = {
    OwnText("菜品类别代码(最多2个字符)", "MenuTypeCode", Written::OnChange, 2, 10),
    Text("菜编码(最多5个字符)", "MenuItemCode", "itemcode", &M::code, 5, 10),
    Text("菜品名称(最多25个汉字)", "MenuItemCName", "itemname", &M::name, 50, 50),
    Text("菜品名称2", "MenuItemEName", "itemname2", &M::name2, 50, 50),
    Text("菜品名称3", "MenuItemEName2", "itemname3", &M::name3, 50, 50),
    OwnText("该类菜品所属出品部门代码(一级部门)", "DeptCode", Written::Always, 2, 2),
    Own("该类菜品所属出品部门名称", "DeptName"),
    Standard("规格", "Standard", 0),
    Amount("价格", "MenuItemPrice", 0, &S::price),
    Amount("会员价", "MemberPrice", 0, &S::memberPrice),
    Amount("成本价", "CostPrice", 0, &S::costPrice),
    Standard("规格2", "Standard2", 1),
    Amount("价格2", "MenuItemPrice2", 1, &S::price),
    Amount("会员价2", "MemberPrice2", 1, &S::memberPrice),
    Amount("成本价2", "CostPrice2", 1, &S::costPrice),
    Standard("规格3", "Standard3", 2),
    Amount("价格3", "MenuItemPrice3", 2, &S::price),
    Amount("会员价3", "MemberPrice3", 2, &S::memberPrice),
    Amount("成本价3", "CostPrice3", 2, &S::costPrice),
    Standard("规格4", "Standard4", 3),
    Amount("价格4", "MenuItemPrice4", 3, &S::price),
    Amount("会员价4", "MemberPrice4", 3, &S::memberPrice),
    Amount("成本价4", "CostPrice4", 3, &S::costPrice),
    Standard("规格5", "Standard5", 4),
    Amount("价格5", "MenuItemPrice5", 4, &S::price),
    Amount("会员价5", "MemberPrice5", 4, &S::memberPrice),
    Amount("成本价5", "CostPrice5", 4, &S::costPrice),
    Text("附加规格", "AddStandard", "addstandard", &M::addStandard, 10, 10),
    Flag("是否厨房打印(0-否/1-是)", "MessageTag", "messagetag", &M::messageTag),
    Flag("是否沽清报警(0-否/1-是)", "NeedSaleOut", "needsaleout", &M::needSaleOut),
    Flag("数量二次确认(0-否/1-是)", "QtyNotSureTag", "qtynotsuretag", &M::qtyNotSureTag),
    Flag("是否临时菜(0-否/1-是)", "CanChangeNamePrice", "canchangenameprice", &M::canChangeNamePrice),
    Flag("是否时价菜(0-否/1-是)", "TimePriceTag", "timepricetag", &M::timePriceTag),
    Flag("计时项目(0-否/1-是)", "TimeTag", "timetag", &M::timeTag),
    Flag("是否可用券(0-否/1-是)", "CanBonusPay", "canbonuspay", &M::canBonusPay),
    Flag("不允许赠送(0-否/1-是)", "CannotGift", "cannotgift", &M::cannotGift),
    Flag("任意退菜(0-否/1-是)", "CanBackWORight", "canbackworight", &M::canBackWORight),
    Flag("点菜时询问数量(0-否/1-是)", "AskQty", "askqty", &M::askQty),
    Flag("点菜时询问要求(0-否/1-是)", "AskMemo", "askmemo", &M::askMemo),
    Flag("扫描时询问上菜数量(0-否/1-是)", "AskScanQty", "askscanqty", &M::askScanQty),
    Flag("点菜时询问技师(0-否/1-是)", "NeedMaker", "needmaker", &M::needMaker),
    Own("标准制作时间(分钟)", "MakeTime"),
    Text("助记码", "HelpCode", "helpcode", &M::helpCode, 10, 20),
    Flag("可用于备注(0-否/1-是)", "CanRemark", "canremark", &M::canRemark),
    Text("缺省备注(快餐版用)", "DefaultMemo", "defaultmemo", &M::defaultMemo, 50, 50),
    Own("点菜数量不超过人数几倍", "QtyConfine"),
    Text("条形码", "BarCode", "barcode", &M::barCode, 30, 30),
    Own("税率(%)", "TaxRate", Written::Positive),
    Own("启用日期", "UseDate", Written::Date),
};

constexpr int kTypeColumnCount = std::size(kTypeColumns);
constexpr int kItemColumnCount = std::size(kItemColumns);
static_assert(kTypeColumnCount == 12 && kItemColumnCount == 49);

// The sheet column (from 1) of an export query column.
constexpr int TypeColumnOf(std::string_view source) {
  for (int c = 0; c < kTypeColumnCount; ++c)
    if (kTypeColumns[c].source == source) return c + 1;
  throw "no such type column";
}
constexpr int ItemColumnOf(std::string_view source) {
  for (int c = 0; c < kItemColumnCount; ++c)
    if (kItemColumns[c].source == source) return c + 1;
  throw "no such item column";
}
const TypeColumn& TypeAt(int column) { return kTypeColumns[column - 1]; }
const ItemColumn& ItemAt(int column) { return kItemColumns[column - 1]; }
int TypeSize(int column, const Edition& e) { return e.Pick(TypeAt(column).storeSize, TypeAt(column).groupSize); }
int ItemSize(int column, const Edition& e) { return e.Pick(ItemAt(column).storeSize, ItemAt(column).groupSize); }

constexpr int kTypeCode = TypeColumnOf("MenuTypeCode");
constexpr int kTypeName = TypeColumnOf("MenuTypeName");
constexpr int kTypeName2 = TypeColumnOf("MenuTypeEName");
constexpr int kTypeName3 = TypeColumnOf("MenuTypeEName2");
constexpr int kTypeAlias = TypeColumnOf("MenuTypeAlias");
constexpr int kTypeSubject = TypeColumnOf("SubjectCode");
constexpr int kTypeDept = TypeColumnOf("DeptCode");
constexpr int kTypeServiceRate = TypeColumnOf("ServiceRate");
constexpr int kTypeUnDiscount = TypeColumnOf("UnDiscountTag");
constexpr int kTypeIsDrink = TypeColumnOf("IsDrink");

constexpr int kItemType = ItemColumnOf("MenuTypeCode");
constexpr int kItemDept = ItemColumnOf("DeptCode");
constexpr int kItemMakeTime = ItemColumnOf("MakeTime");
constexpr int kItemQtyConfine = ItemColumnOf("QtyConfine");
constexpr int kItemTaxRate = ItemColumnOf("TaxRate");
constexpr int kItemUseDate = ItemColumnOf("UseDate");

// ---- Statements -----------------------------------------------------------------

constexpr const char* kStoreTypeQuery = R"(
select t.MenuTypeCode,t.MenuTypeName,t.MenuTypeEName,t.MenuTypeEName2,t.ServiceRate,t.SubjectCode,s.SubjectName,
       t.DeptCode,d.DeptName,t.MenuTypeAlias,t.UnDiscountTag,t.IsDrink
from MenuType t,Subject s,Dept d
where IsNull(t.Deleted,0)=0
  and t.SubjectCode*=s.SubjectCode
  and t.DeptCode*=d.DeptCode
order by t.MenuTypeCode)";

constexpr const char* kGroupTypeQuery = R"(
select t.tCode as MenuTypeCode,t.tName as MenuTypeName,t.tName2 as MenuTypeEName,t.tName3 as MenuTypeEName2,
       t.SubjectCode,s.SubjectName,t.ServiceRate,t.DeptCode,d.DeptName,t.MenuTypeAlias,t.UnDiscountTag,t.IsDrink
from Group_MenuType t,Group_Subject s,Group_Hotel_Dept d
where t.BrandID=:brandid
  and t.SubjectCode*=s.SubjectCode and s.BrandID=:brandid
  and t.DeptCode*=d.DeptCode and d.BrandID=:brandid
  and IsNull(t.Deleted,0)=0
order by t.tCode)";

constexpr const char* kStoreItemQuery = R"(
select m.*,d.DeptName,null as UseDate
from MenuItem m,Dept d
where IsNull(m.Deleted,0)=0
  and m.DishStatus=1
  and m.DeptCode*=d.DeptCode
order by m.MenuTypeCode,m.MenuItemCode)";

constexpr const char* kGroupItemQuery = R"(
select m.*,m.tCode as MenuTypeCode,m.ItemCode as MenuItemCode,m.ItemName as MenuItemCName,
       m.ItemPrice as MenuItemPrice,m.ItemName2 as MenuItemEName,m.ItemName3 as MenuItemEName2,
       m.ItemPrice2 as MenuItemPrice2,m.ItemPrice3 as MenuItemPrice3,m.ItemPrice4 as MenuItemPrice4,
       m.ItemPrice5 as MenuItemPrice5,d.DeptName
from Group_MenuItem m,Group_Hotel_Dept d
where IsNull(m.Deleted,0)=0
  and m.DishStatus=1
  and m.DeptCode*=d.DeptCode
  and m.BrandID=:brandid
  and d.BrandID=:brandid
order by m.tCode,m.ItemCode)";

constexpr const char* kStoreTypeUpdate = R"(
update MenuType
set MenuTypeName=:tname,MenuTypeEName=:tname2,MenuTypeEName2=:tname3,SubjectCode=:subjectcode,
    ServiceRate=:servicerate,DeptCode=:deptcode,MenuTypeAlias=:menutypealias,UnDiscountTag=:undiscounttag,
    IsDrink=:isdrink,Deleted=0
where MenuTypeCode=:tcode)";

constexpr const char* kStoreTypeInsert = R"(
insert into MenuType(MenuTypeCode,MenuTypeName,MenuTypeEName,MenuTypeEName2,SubjectCode,ServiceRate,DeptCode,
                     MenuTypeAlias,UnDiscountTag,IsDrink,Deleted)
values(:tcode,:tname,:tname2,:tname3,:subjectcode,:servicerate,:deptcode,
       :menutypealias,:undiscounttag,:isdrink,0))";

constexpr const char* kGroupTypeUpdate = R"(
update Group_MenuType
set tName=:tname,tName2=:tname2,tName3=:tname3,SubjectCode=:subjectcode,ServiceRate=:servicerate,
    DeptCode=:deptcode,MenuTypeAlias=:menutypealias,UnDiscountTag=:undiscounttag,IsDrink=:isdrink,Deleted=0
where tCode=:tcode and BrandID=:brandid)";

constexpr const char* kGroupTypeInsert = R"(
insert into Group_MenuType(tCode,tName,tName2,tName3,BrandID,SubjectCode,ServiceRate,DeptCode,MenuTypeAlias,
                           UnDiscountTag,IsDrink,Deleted)
values(:tcode,:tname,:tname2,:tname3,:brandid,:subjectcode,:servicerate,:deptcode,:menutypealias,
       :undiscounttag,:isdrink,0))";

constexpr const char* kStoreItemUpdate = R"(
update MenuItem
set MenuItemCName=:itemname,MenuItemEName=:itemname2,MenuItemEName2=:itemname3,MenuTypeCode=:tcode,
    Standard=:standard,MenuItemPrice=:itemprice,MemberPrice=:memberprice,CostPrice=:costprice,
    Standard2=:standard2,MenuItemPrice2=:itemprice2,MemberPrice2=:memberprice2,CostPrice2=:costprice2,
    Standard3=:standard3,MenuItemPrice3=:itemprice3,MemberPrice3=:memberprice3,CostPrice3=:costprice3,
    Standard4=:standard4,MenuItemPrice4=:itemprice4,MemberPrice4=:memberprice4,CostPrice4=:costprice4,
    Standard5=:standard5,MenuItemPrice5=:itemprice5,MemberPrice5=:memberprice5,CostPrice5=:costprice5,
    Mask=:mask,HelpCode=:helpcode,MessageTag=:messagetag,TimePriceTag=:timepricetag,
    QtyNotSureTag=:qtynotsuretag,TimeTag=:timetag,NeedSaleOut=:needsaleout,
    CanChangeNamePrice=:canchangenameprice,AddStandard=:addstandard,CanBonusPay=:canbonuspay,AskQty=:askqty,
    AskMemo=:askmemo,AskScanQty=:askscanqty,MakeTime=:maketime,CannotGift=:cannotgift,
    CanBackWORight=:canbackworight,BarCode=:barcode,NeedMaker=:needmaker,DeptCode=:deptcode,
    CanRemark=:canremark,QtyConfine=:qtyconfine,DefaultMemo=:defaultmemo,TaxRate=:taxrate,
    DishStatus=1,Deleted=0
where MenuItemCode=:itemcode)";

constexpr const char* kStoreItemInsert = R"(
insert into MenuItem(MenuItemCode,MenuItemCName,MenuItemEName,MenuItemEName2,MenuTypeCode,
                     Standard,MenuItemPrice,MemberPrice,CostPrice,Standard2,MenuItemPrice2,MemberPrice2,CostPrice2,
                     Standard3,MenuItemPrice3,MemberPrice3,CostPrice3,Standard4,MenuItemPrice4,MemberPrice4,CostPrice4,
                     Standard5,MenuItemPrice5,MemberPrice5,CostPrice5,Mask,HelpCode,MessageTag,TimePriceTag,
                     QtyNotSureTag,TimeTag,NeedSaleOut,CanChangeNamePrice,AddStandard,CanBonusPay,AskQty,AskMemo,
                     AskScanQty,MakeTime,CannotGift,CanBackWORight,BarCode,NeedMaker,DeptCode,CanRemark,QtyConfine,
                     DefaultMemo,TaxRate,HopeRate,HopeRate2,HopeRate3,HopeRate4,HopeRate5,PhotoTag,DishStatus,
                     Deleted)
values(:itemcode,:itemname,:itemname2,:itemname3,:tcode,
       :standard,:itemprice,:memberprice,:costprice,:standard2,:itemprice2,:memberprice2,:costprice2,
       :standard3,:itemprice3,:memberprice3,:costprice3,:standard4,:itemprice4,:memberprice4,:costprice4,
       :standard5,:itemprice5,:memberprice5,:costprice5,:mask,:helpcode,:messagetag,:timepricetag,
       :qtynotsuretag,:timetag,:needsaleout,:canchangenameprice,:addstandard,:canbonuspay,:askqty,:askmemo,
       :askscanqty,:maketime,:cannotgift,:canbackworight,:barcode,:needmaker,:deptcode,:canremark,:qtyconfine,
       :defaultmemo,:taxrate,0,0,0,0,0,0,1,
       0))";

constexpr const char* kGroupItemUpdate = R"(
update Group_MenuItem
set ItemName=:itemname,ItemName2=:itemname2,ItemName3=:itemname3,tCode=:tcode,
    Standard=:standard,ItemPrice=:itemprice,MemberPrice=:memberprice,CostPrice=:costprice,
    Standard2=:standard2,ItemPrice2=:itemprice2,MemberPrice2=:memberprice2,CostPrice2=:costprice2,
    Standard3=:standard3,ItemPrice3=:itemprice3,MemberPrice3=:memberprice3,CostPrice3=:costprice3,
    Standard4=:standard4,ItemPrice4=:itemprice4,MemberPrice4=:memberprice4,CostPrice4=:costprice4,
    Standard5=:standard5,ItemPrice5=:itemprice5,MemberPrice5=:memberprice5,CostPrice5=:costprice5,
    Mask=:mask,HelpCode=:helpcode,MessageTag=:messagetag,TimePriceTag=:timepricetag,
    QtyNotSureTag=:qtynotsuretag,TimeTag=:timetag,NeedSaleOut=:needsaleout,
    CanChangeNamePrice=:canchangenameprice,AddStandard=:addstandard,CanBonusPay=:canbonuspay,AskQty=:askqty,
    AskMemo=:askmemo,AskScanQty=:askscanqty,MakeTime=:maketime,CannotGift=:cannotgift,
    CanBackWORight=:canbackworight,BarCode=:barcode,NeedMaker=:needmaker,DeptCode=:deptcode,
    CanRemark=:canremark,QtyConfine=:qtyconfine,DefaultMemo=:defaultmemo,TaxRate=:taxrate,UseDate=:usedate,
    DishStatus=1,Deleted=0
where BrandID=:brandid and ItemCode=:itemcode)";

constexpr const char* kGroupItemInsert = R"(
insert into Group_MenuItem(BrandID,ItemCode,ItemName,ItemName2,ItemName3,tCode,
                           Standard,ItemPrice,MemberPrice,CostPrice,Standard2,ItemPrice2,MemberPrice2,CostPrice2,
                           Standard3,ItemPrice3,MemberPrice3,CostPrice3,Standard4,ItemPrice4,MemberPrice4,CostPrice4,
                           Standard5,ItemPrice5,MemberPrice5,CostPrice5,Mask,HelpCode,MessageTag,TimePriceTag,
                           QtyNotSureTag,TimeTag,NeedSaleOut,CanChangeNamePrice,AddStandard,CanBonusPay,AskQty,
                           AskMemo,AskScanQty,MakeTime,CannotGift,CanBackWORight,BarCode,NeedMaker,DeptCode,CanRemark,
                           QtyConfine,DefaultMemo,TaxRate,UseDate,HopeRate,HopeRate2,HopeRate3,HopeRate4,HopeRate5,
                           DishStatus,Deleted)
values(:brandid,:itemcode,:itemname,:itemname2,:itemname3,:tcode,
       :standard,:itemprice,:memberprice,:costprice,:standard2,:itemprice2,:memberprice2,:costprice2,
       :standard3,:itemprice3,:memberprice3,:costprice3,:standard4,:itemprice4,:memberprice4,:costprice4,
       :standard5,:itemprice5,:memberprice5,:costprice5,:mask,:helpcode,:messagetag,:timepricetag,
       :qtynotsuretag,:timetag,:needsaleout,:canchangenameprice,:addstandard,:canbonuspay,:askqty,
       :askmemo,:askscanqty,:maketime,:cannotgift,:canbackworight,:barcode,:needmaker,:deptcode,:canremark,
       :qtyconfine,:defaultmemo,:taxrate,:usedate,0,0,0,0,0,
       1,0))";

// ---- Export ---------------------------------------------------------------------

void WriteSection(ExportRun& run, db::Query& q, const std::vector<std::string>& captions,
                  const auto& columns) {
  run.Sheet().Header(captions);
  std::vector<std::string> cells(std::size(columns));
  std::vector<std::string> previous(std::size(columns));
  for (; !q.Eof(); q.Next()) {
    for (std::size_t c = 0; c < std::size(columns); ++c) {
      Written rule = Written::Always;
      if constexpr (requires { columns[c].written; }) rule = columns[c].written;
      cells[c] = ExportCell(q.FieldByName(columns[c].source), rule, previous[c]);
    }
    run.Sheet().Row(cells);
  }
}

// ---- Reading --------------------------------------------------------------------

// The state of one import's reading: the type list, where each code's first
// type stands, and the codes carried down the item rows.
class MenuReader {
 public:
  MenuReader(ImportRun& run, std::vector<TMenuTypeItem>& types)
      : run_(run), types_(types), subjects_(run.dm.Subjects(run.edition)),
        depts_(run.dm.Depts(run.edition)) {}

  void ReadType(int r);
  void ReadItem(int r);
  // A dish row dropped before ReadItem still passes its codes down.
  void CarryCodes(int r, TMenuItemItem& item);

 private:
  std::string Cell(int r, int column) { return run_.Cell(r, column); }
  void Reject(int r, const std::string& text) { run_.RowError(r, text); }
  TMenuTypeItem* FindType(const std::string& code);
  // Checks an amount (double) or a count (int) of at least 0 and stores it;
  // false after logging why not.
  template <class Number>
  bool ReadNumber(int r, int column, Number& value);

  ImportRun& run_;
  std::vector<TMenuTypeItem>& types_;
  RefList subjects_;
  RefList depts_;
  std::unordered_map<std::string, std::size_t> firstTypeByCode_;  // lower-case code
  // Carried down every item row, across types and rejected rows.
  std::string carriedTypeCode_;
  std::string carriedDeptCode_;
};

void MenuReader::ReadType(int r) {
  TMenuTypeItem t;
  t.code = Cell(r, kTypeCode);
  t.name = Cell(r, kTypeName);
  std::string who = "\"" + t.code + " " + t.name + "\"";
  // A type needs a code: it is the key the dishes and the database use.
  if (t.code.empty()) return Reject(r, "\"" + t.name + "\"没有指定菜品类别代码!");
  if (t.name.empty()) return Reject(r, "\"" + t.code + "\"没有指定菜品类别名称!");
  t.subjectCode = Cell(r, kTypeSubject);
  std::string subjectCaption = TypeAt(kTypeSubject).caption;
  if (t.subjectCode.empty()) return Reject(r, who + "没有指定" + subjectCaption + "!");
  std::string prefix = t.subjectCode.substr(0, 4);
  if (prefix != "5101" && prefix != "2171")
    return Reject(r, who + "指定的" + subjectCaption +
                         ",不是5101开头的主营业务收入科目或2171开头的应交税金科目!");
  if (!subjects_.Find("SubjectCode", t.subjectCode)) return Reject(r, "没有找到科目:" + t.subjectCode);
  t.deptCode = Cell(r, kTypeDept);
  if (t.deptCode.empty()) return Reject(r, who + "没有指定" + TypeAt(kTypeDept).caption + "!");
  if (!depts_.Find("DeptCode", t.deptCode)) return Reject(r, "没有找到制作部门:" + t.deptCode);

  t.name2 = Cell(r, kTypeName2);
  t.name3 = Cell(r, kTypeName3);
  t.alias = Cell(r, kTypeAlias);
  t.serviceRate = TryStrToInt(Cell(r, kTypeServiceRate)).value_or(0);
  t.unDiscountTag = YesNo(Cell(r, kTypeUnDiscount));
  t.isDrink = YesNo(Cell(r, kTypeIsDrink));
  firstTypeByCode_.try_emplace(LowerCase(t.code), types_.size());
  types_.push_back(std::move(t));
}

TMenuTypeItem* MenuReader::FindType(const std::string& code) {
  auto it = firstTypeByCode_.find(LowerCase(code));
  return it == firstTypeByCode_.end() ? nullptr : &types_[it->second];
}

template <class Number>
bool MenuReader::ReadNumber(int r, int column, Number& value) {
  std::string text = Cell(r, column);
  if (text.empty()) return true;
  std::optional<Number> number;
  if constexpr (std::is_integral_v<Number>)
    number = TryStrToInt(text);
  else
    number = TryStrToFloat(text);
  const char* fault = !number ? (std::is_integral_v<Number> ? "不是整数!" : "不是数值!")
                      : *number < 0 ? "不能小于0!"
                                    : nullptr;
  if (fault) {
    Reject(r, ItemAt(column).caption + std::string(fault));
    return false;
  }
  value = *number;
  return true;
}

void MenuReader::CarryCodes(int r, TMenuItemItem& item) {
  item.typeCode = Cell(r, kItemType);
  if (item.typeCode.empty()) item.typeCode = carriedTypeCode_;
  carriedTypeCode_ = item.typeCode;
  item.deptCode = Cell(r, kItemDept);
  if (item.deptCode.empty()) item.deptCode = carriedDeptCode_;
  carriedDeptCode_ = item.deptCode;
}

void MenuReader::ReadItem(int r) {
  TMenuItemItem item;
  CarryCodes(r, item);

  TMenuTypeItem* type = FindType(item.typeCode);
  if (!type) return Reject(r, "没有找到编号为\"" + item.typeCode + "\"的菜品类别!");
  for (int c = 1; c <= kItemColumnCount; ++c)
    if (ItemAt(c).read == Read::Text) item.*ItemAt(c).text = Cell(r, c);
  if (item.code.empty()) return Reject(r, "菜品没有指定编号!");
  if (item.name.empty()) return Reject(r, "菜品没有指定名称!");
  // Prices, member prices and cost prices of the five standards, then the tax rate.
  for (auto amount : {&TMenuStandard::price, &TMenuStandard::memberPrice, &TMenuStandard::costPrice})
    for (int c = 1; c <= kItemColumnCount; ++c)
      if (ItemAt(c).amount == amount && !ReadNumber(r, c, item.standards[ItemAt(c).standard].*amount))
        return;
  if (!ReadNumber(r, kItemTaxRate, item.taxRate)) return;
  if (!ReadNumber(r, kItemMakeTime, item.makeTime)) return;
  if (std::string text = Cell(r, kItemUseDate); !text.empty()) {
    std::optional<DateTime> date = TryStrToDate(text);
    if (!date) return Reject(r, ItemAt(kItemUseDate).caption + std::string("不是YYYY-MM-DD格式的日期!"));
    // Kept as the date alone, so that it fits its column and reads back as a date.
    item.useDate = FormatDateTime("YYYY-MM-DD", *date);
  }
  // The exported number of portions per guest comes back as that number.
  if (Cell(r, kItemQtyConfine) == "是")
    item.qtyConfine = 1;
  else if (!ReadNumber(r, kItemQtyConfine, item.qtyConfine))
    return;
  if (!item.deptCode.empty() && !depts_.Find("DeptCode", item.deptCode))
    return Reject(r, "没有找到制作部门:" + item.deptCode);

  item.typeCode = type->code;
  if (item.deptCode.empty()) item.deptCode = type->deptCode;
  for (int c = 1; c <= kItemColumnCount; ++c) {
    const ItemColumn& column = ItemAt(c);
    if (column.read == Read::Standard) item.standards[column.standard].name = Cell(r, c);
    if (column.read == Read::Flag) item.*column.flag = YesNo(Cell(r, c));
  }
  type->items.push_back(std::move(item));
}

// ---- Writing --------------------------------------------------------------------

void BindType(db::Query& q, const TMenuTypeItem& t, const Edition& e) {
  q.SetString("tcode", TypeSize(kTypeCode, e), t.code);
  q.SetString("tname", TypeSize(kTypeName, e), t.name);
  q.SetString("tname2", TypeSize(kTypeName2, e), t.name2);
  q.SetString("tname3", TypeSize(kTypeName3, e), t.name3);
  q.SetString("subjectcode", TypeSize(kTypeSubject, e), t.subjectCode);
  q.SetInteger("servicerate", t.serviceRate);
  q.SetString("deptcode", TypeSize(kTypeDept, e), t.deptCode);
  q.SetString("menutypealias", TypeSize(kTypeAlias, e), t.alias);
  q.SetInteger("undiscounttag", t.unDiscountTag);
  q.SetInteger("isdrink", t.isDrink);
}

void BindItem(db::Query& q, const TMenuItemItem& item, const Edition& e) {
  for (const ItemColumn& c : kItemColumns) {
    if (c.read == Read::Text) q.SetString(c.param, e.Pick(c.storeSize, c.groupSize), item.*c.text);
    if (c.read == Read::Flag) q.SetInteger(c.param, item.*c.flag);
  }
  q.SetString("tcode", ItemSize(kItemType, e), item.typeCode);
  // Standard 1 is always written; standards 2 to 5 only with a name, each
  // setting its bit of the mask.
  int mask = 0;
  for (int k = 0; k < 5; ++k) {
    const TMenuStandard& s = item.standards[k];
    std::string suffix = k == 0 ? "" : std::to_string(k + 1);
    if (k > 0 && s.name.empty()) {
      q.SetNull("standard" + suffix, db::ParamType::String, e.Pick(10, 20));
      q.SetNull("itemprice" + suffix, db::ParamType::Float);
      q.SetNull("memberprice" + suffix, db::ParamType::Float);
      q.SetNull("costprice" + suffix, db::ParamType::Float);
      continue;
    }
    if (k > 0) mask |= 1 << (k - 1);
    q.SetString("standard" + suffix, e.Pick(10, 20), s.name);
    q.SetFloat("itemprice" + suffix, s.price);
    q.SetFloat("memberprice" + suffix, s.memberPrice);
    q.SetFloat("costprice" + suffix, s.costPrice);
  }
  q.SetInteger("mask", mask);
  q.SetInteger("maketime", item.makeTime);
  q.SetString("deptcode", ItemSize(kItemDept, e), item.deptCode);
  q.SetInteger("qtyconfine", item.qtyConfine);
  q.SetFloat("taxrate", item.taxRate);
  if (e.IsGroup()) q.SetOptionalString("usedate", 10, item.useDate);
}

}  // namespace

void uMenuIO::Export(ExportRun& run) {
  const Edition& e = run.edition;
  db::Query& q = run.Query(e.Pick(kStoreTypeQuery, kGroupTypeQuery));
  run.FirstMarker(kTypeKey, kTitle);
  WriteSection(run, q, Captions(kTypeColumns), kTypeColumns);
  run.Sheet().Marker(kItemKey);
  std::vector<std::string> itemCaptions = Captions(kItemColumns);
  WriteSection(run, run.Query(e.Pick(kStoreItemQuery, kGroupItemQuery)), itemCaptions, kItemColumns);
}

void uMenuIO::Import(ImportRun& run) {
  run.RequireNotControlled("ControlMenu", "菜单由集团统一下发,不能在门店导入!");
  std::vector<TMenuTypeItem> types;
  MenuReader reader(run, types);
  ReadingLoop loop;
  // Dish rows below the first of a type leave column 1 empty: column 2 makes
  // them data rows, without restarting the empty-row count.
  loop.sections.push_back({.key = kTypeKey,
                           .read = [&](int r) { reader.ReadType(r); },
                           .limits = Limits(kTypeColumns, run.edition),
                           .continuationColumns = {2},
                           .continuationKeepsCount = true});
  loop.sections.push_back({.key = kItemKey,
                           .read = [&](int r) { reader.ReadItem(r); },
                           .limits = Limits(kItemColumns, run.edition),
                           .dropped = [&](int r) {
                             TMenuItemItem unused;
                             reader.CarryCodes(r, unused);
                           },
                           .continuationColumns = {2},
                           .continuationKeepsCount = true});
  loop.headerCaptions = {TypeAt(kTypeCode).caption};
  loop.columnsWithoutSection = {2};
  loop.keepCountWithoutSection = true;
  run.ReadSections(kKindName, loop);

  // One transaction per type: the type row, its dishes and the group stamp.
  const Edition& e = run.edition;
  for (const auto& t : types)
    run.WriteItem("正在导入菜谱" + t.code + " " + t.name + "...", [&] {
      run.UpdateOrInsert(e.Pick(kStoreTypeUpdate, kGroupTypeUpdate), e.Pick(kStoreTypeInsert, kGroupTypeInsert),
                         [&](db::Query& q) { BindType(q, t, e); });
      for (const auto& item : t.items)
        run.UpdateOrInsert(e.Pick(kStoreItemUpdate, kGroupItemUpdate), e.Pick(kStoreItemInsert, kGroupItemInsert),
                           [&](db::Query& q) { BindItem(q, item, e); });
      run.StampDownloadVersion("MenuVersion");
    });
}

}  // namespace sx
