// Store items. The sheet has three sections: "storefamily", one row per item
// family; "storetype", one row per item type, whose family code stands only
// where it changes; "storeitem", one row per stock item, whose family and type
// codes stand only where they change. A store database has no family table:
// its export shows every type under one default family, and its import reads
// families only to hang types on them. An import writes one transaction per
// family: its types, their subjects, their items and, in a group database,
// the download stamps.
#include "transfer/uStoreItemsIO.h"

#include <optional>
#include <string_view>

#include "base/DateTime.h"
#include "base/Text.h"

namespace sx {

namespace {

constexpr const char* kFamilyKey = "storefamily";
constexpr const char* kTypeKey = "storetype";
constexpr const char* kItemKey = "storeitem";
constexpr const char* kTitle = "库存物品种类明细清单";
constexpr const char* kKindName = "库存物品";

// ---- Sheet layout -------------------------------------------------------------

using F = TStoreFamilyItem;
using T = TStoreTypeItem;
using I = TStoreItemItem;

// What a column holds and how the import reads it.
enum class Role {
  Family,       // the family code, carried down continuation rows
  Type,         // the type code of an item row, carried likewise
  Text,         // a text taken as it stands
  Subject,      // a subject code that must be a payment subject
  SubjectName,  // export only: the name of the subject in the column before
  Rate,         // a number not below 0
  Count,        // an integer not below 0
};

struct FamilyColumn {
  const char* caption;
  const char* source;  // the export query's column
  std::string F::*text;
};

constexpr FamilyColumn kFamilyColumns[] = {
    {"物品大类代码", "fCode", &F::fCode},
    {"物品大类名称", "fName", &F::fName},
};

struct TypeColumn {
  const char* caption;
  const char* source;
  Role role;
  std::string T::*text = nullptr;
};

constexpr TypeColumn kTypeColumns[] = {
    {"物品大类代码", "fCode", Role::Family},
    {"物品类别代码", "TypeCode", Role::Text, &T::TypeCode},
    {"物品类别名称", "TypeName", Role::Text, &T::TypeName},
    {"物品类别名称2", "tName2", Role::Text, &T::tName2},
    {"物品类别名称3", "tName3", Role::Text, &T::tName3},
    {"该类物品领料时产生的成本科目", "SubjectCode54", Role::Subject, &T::SubjectCode54},
    {"该类物品领料时产生的成本科目名称", "", Role::SubjectName},
    {"该类物品存放时对应的资产科目", "SubjectCode12", Role::Subject, &T::SubjectCode12},
    {"该类物品存放时对应的资产科目名称", "", Role::SubjectName},
    {"该类物品销售时对应的收入科目", "SubjectCode51", Role::Subject, &T::SubjectCode51},
    {"该类物品销售时对应的收入科目名称", "", Role::SubjectName},
};

struct ItemColumn {
  const char* caption;
  const char* source;
  Role role;
  const char* param = nullptr;  // the write statements' parameter
  int size = 0;                 // Text: the parameter's size
  std::string I::*text = nullptr;
  double I::*rate = nullptr;
  int I::*count = nullptr;
  bool groupOnly = false;  // not kept by the store database
};

constexpr ItemColumn Text(const char* caption, const char* source, const char* param, int size,
                          std::string I::*text) {
  return {.caption = caption, .source = source, .role = Role::Text, .param = param, .size = size, .text = text};
}
constexpr ItemColumn GroupText(const char* caption, const char* source, const char* param, int size,
                               std::string I::*text) {
  ItemColumn c = Text(caption, source, param, size, text);
  c.groupOnly = true;
  return c;
}
constexpr ItemColumn Rate(const char* caption, const char* source, const char* param, double I::*rate) {
  return {.caption = caption, .source = source, .role = Role::Rate, .param = param, .rate = rate};
}

constexpr ItemColumn kItemColumns[] = {
    {.caption = "物品大类代码", .source = "fCode", .role = Role::Family},
    {.caption = "物品类别代码", .source = "TypeCode", .role = Role::Type},
    Text("物品代码", "ItemCode", "itemcode", 30, &I::ItemCode),
    Text("物品名称", "ItemName", "itemname", 100, &I::ItemName),
    GroupText("物品名称2", "ItemName2", "itemname2", 100, &I::ItemName2),
    GroupText("物品名称3", "ItemName3", "itemname3", 100, &I::ItemName3),
    Text("库存规格", "StoreUnit", "storeunit", 20, &I::StoreUnit),
    Text("订货规格", "Org_StoreUnit", "org_unit", 20, &I::Org_StoreUnit),
    Text("成本卡规格", "CalcUnit", "calcunit", 20, &I::CalcUnit),
    Rate("订货与库存规格之间的换算系数", "Org_Rate", "org_rate", &I::Org_Rate),
    {.caption = "库存与成本卡规则之间的换算系数", .source = "CalcRate", .role = Role::Count, .param = "calcrate",
     .count = &I::CalcRate},
    Text("计数规格", "Add_StoreUnit", "add_storeunit", 8, &I::Add_StoreUnit),
    Rate("最小库存量", "MinQty", "minqty", &I::MinQty),
    Rate("最大库存量", "MaxQty", "maxqty", &I::MaxQty),
    Rate("价格采购上限(0表示不限制)", "MaxPrice", "maxprice", &I::MaxPrice),
    Text("条形码", "BarCode", "barcode", 30, &I::BarCode),
    Text("助记码", "HelpCode", "helpcode", 20, &I::HelpCode),
};

constexpr int kTypeColumnCount = std::size(kTypeColumns);
constexpr int kItemColumnCount = std::size(kItemColumns);
static_assert(kTypeColumnCount == 11 && kItemColumnCount == 17);

// The sheet column (from 1) of an export query column.
constexpr int ColumnOf(const auto& columns, std::string_view source) {
  return ColumnNumber<&std::remove_cvref_t<decltype(columns[0])>::source>(columns, source);
}

constexpr int kFamilyCode = ColumnOf(kFamilyColumns, "fCode");
constexpr int kFamilyName = ColumnOf(kFamilyColumns, "fName");
constexpr int kTypeFamily = ColumnOf(kTypeColumns, "fCode");
constexpr int kTypeCode = ColumnOf(kTypeColumns, "TypeCode");
constexpr int kTypeName = ColumnOf(kTypeColumns, "TypeName");
constexpr int kItemFamily = ColumnOf(kItemColumns, "fCode");
constexpr int kItemType = ColumnOf(kItemColumns, "TypeCode");
constexpr int kItemCode = ColumnOf(kItemColumns, "ItemCode");
constexpr int kItemName = ColumnOf(kItemColumns, "ItemName");

// Every header row begins with this caption; it is how the import knows them.
constexpr const char* kHeaderCaption = kFamilyColumns[0].caption;

// ---- Statements -----------------------------------------------------------------

constexpr const char* kStoreFamilyQuery = "select 0 as fCode,'缺省大类' as fName";

constexpr const char* kGroupFamilyQuery = R"(
select fCode,fName
from Group_StoreFamily
order by fCode)";

constexpr const char* kStoreTypeQuery = R"(
select 0 as fCode,TypeCode,TypeName,'' as tName2,'' as tName3,SubjectCode51,SubjectCode54,SubjectCode12
from S_ItemType
where IsNull(Deleted,0)=0
order by TypeCode)";

constexpr const char* kGroupTypeQuery = R"(
select t.tCode as TypeCode,t.tName as TypeName,t.tName2,t.tName3,t.fCode,s.SubjectCode12,s.SubjectCode54,
       s.SubjectCode51
from Group_StoreType t,Group_StoreType_Subject s
where IsNull(t.Deleted,0)=0
  and t.tCode*=s.tCode and s.BrandID=:brandid
order by t.fCode,t.tCode)";

constexpr const char* kStoreItemQuery = R"(
select 0 as fCode,TypeCode,ItemCode,ItemName,'' as ItemName2,'' as ItemName3,StoreUnit,CalcUnit,CalcRate,MaxQty,
       MinQty,Org_StoreUnit,HelpCode,MaxPrice,Add_StoreUnit,Org_Rate,BarCode
from S_Item
where IsNull(Deleted,0)=0
order by TypeCode,ItemCode)";

constexpr const char* kGroupItemQuery = R"(
select fCode,tCode as TypeCode,ItemCode,ItemName,ItemName2,ItemName3,StoreUnit,CalcUnit,Org_Unit as Org_StoreUnit,
       CalcRate,MaxQty,MinQty,HelpCode,MaxPrice,Add_StoreUnit,BarCode,Org_Rate
from Group_StoreItem
where IsNull(Deleted,0)=0
order by fCode,tCode,ItemCode)";

constexpr const char* kStoreTypeUpdate = R"(
update S_ItemType
set TypeName=:tname,Deleted=0,SubjectCode51=:subjectcode51,SubjectCode54=:subjectcode54,
    SubjectCode12=:subjectcode12
where TypeCode=:tcode)";

constexpr const char* kStoreTypeInsert = R"(
insert into S_ItemType(TypeCode,TypeName,SubjectCode51,SubjectCode54,SubjectCode12,Deleted)
values(:tcode,:tname,:subjectcode51,:subjectcode54,:subjectcode12,0))";

constexpr const char* kStoreItemUpdate = R"(
update S_Item
set ItemName=:itemname,TypeCode=:tcode,StoreUnit=:storeunit,CalcUnit=:calcunit,CalcRate=:calcrate,
    Org_StoreUnit=:org_unit,Org_Rate=:org_rate,HelpCode=:helpcode,MaxQty=:maxqty,MinQty=:minqty,
    Add_StoreUnit=:add_storeunit,MaxPrice=:maxprice,BarCode=:barcode,Deleted=0
where ItemCode=:itemcode)";

constexpr const char* kStoreItemInsert = R"(
insert into S_Item(ItemCode,ItemName,TypeCode,StoreUnit,StoreRate,CalcUnit,CalcRate,Org_StoreUnit,Org_Rate,
                   HelpCode,MaxQty,MinQty,Add_StoreUnit,MaxPrice,BarCode)
values(:itemcode,:itemname,:tcode,:storeunit,100,:calcunit,:calcrate,:org_unit,:org_rate,
       :helpcode,:maxqty,:minqty,:add_storeunit,:maxprice,:barcode))";

constexpr const char* kGroupFamilyUpdate = R"(
update Group_StoreFamily
set fName=:fname
where fCode=:fcode)";

constexpr const char* kGroupFamilyInsert = R"(
insert into Group_StoreFamily(fCode,fName)
values(:fcode,:fname))";

constexpr const char* kGroupTypeUpdate = R"(
update Group_StoreType
set tName=:tname,tName2=:tname2,tName3=:tname3,Deleted=0,fCode=:fcode
where tCode=:tcode)";

constexpr const char* kGroupTypeInsert = R"(
insert into Group_StoreType(tCode,fCode,tName,tName2,tName3)
values(:tcode,:fcode,:tname,:tname2,:tname3))";

constexpr const char* kGroupSubjectDelete = R"(
delete from Group_StoreType_Subject
where tCode=:tcode and BrandID=:brandid)";

constexpr const char* kGroupSubjectInsert = R"(
insert into Group_StoreType_Subject(tCode,BrandID,SubjectCode54,SubjectCode12,SubjectCode51)
values(:tcode,:brandid,:subjectcode54,:subjectcode12,:subjectcode51))";

constexpr const char* kGroupItemUpdate = R"(
update Group_StoreItem
set ItemName=:itemname,ItemName2=:itemname2,ItemName3=:itemname3,tCode=:tcode,fCode=:fcode,StoreUnit=:storeunit,
    CalcUnit=:calcunit,CalcRate=:calcrate,Org_Unit=:org_unit,Org_Rate=:org_rate,HelpCode=:helpcode,
    MaxQty=:maxqty,MinQty=:minqty,Add_StoreUnit=:add_storeunit,MaxPrice=:maxprice,BarCode=:barcode,Deleted=0
where ItemCode=:itemcode)";

constexpr const char* kGroupItemInsert = R"(
insert into Group_StoreItem(ItemCode,ItemName,ItemName2,ItemName3,tCode,fCode,StoreUnit,StoreRate,CalcUnit,
                            CalcRate,Org_Unit,Org_Rate,HelpCode,MaxQty,MinQty,Add_StoreUnit,MaxPrice,BarCode)
values(:itemcode,:itemname,:itemname2,:itemname3,:tcode,:fcode,:storeunit,100,:calcunit,
       :calcrate,:org_unit,:org_rate,:helpcode,:maxqty,:minqty,:add_storeunit,:maxprice,:barcode))";

// ---- Export ---------------------------------------------------------------------

// The name of a payment subject, empty for an empty or unknown code.
std::string SubjectName(const RefList& subjects, const std::string& code) {
  if (code.empty()) return {};
  auto row = subjects.Find("SubjectCode", code);
  return row ? row->Text("SubjectName") : std::string();
}

// Writes a section's header and one row per record. Family and type codes
// are written only where they change; subject name columns are looked up.
template <class Columns>
void WriteSection(ExportRun& run, db::Query& q, const Columns& columns, const RefList& subjects) {
  run.Sheet().Header(Captions(columns));
  std::vector<std::string> cells(std::size(columns));
  std::vector<std::string> previous(std::size(columns));
  for (; !q.Eof(); q.Next()) {
    for (std::size_t c = 0; c < std::size(columns); ++c) {
      Written rule = Written::Always;
      if constexpr (requires { columns[c].role; }) {
        if (columns[c].role == Role::SubjectName) {
          cells[c] = SubjectName(subjects, cells[c - 1]);
          continue;
        }
        if (columns[c].role == Role::Family || columns[c].role == Role::Type) rule = Written::OnChange;
      }
      cells[c] = ExportCell(q.FieldByName(columns[c].source), rule, previous[c]);
    }
    run.Sheet().Row(cells);
  }
  q.Close();
}

// ---- Reading --------------------------------------------------------------------

// The state of one import's reading: the family list and the codes carried
// down continuation rows.
class StoreItemsReader {
 public:
  StoreItemsReader(ImportRun& run, const RefList& subjects, std::vector<F>& families)
      : run_(run), subjects_(subjects), families_(families) {}

  void ReadFamily(int r);
  void ReadType(int r);
  void ReadItem(int r);
  void ForgetFamily() { carriedFamily_.clear(); }
  void ForgetType() { carriedType_.clear(); }

 private:
  std::string Cell(int r, int column) { return run_.Cell(r, column); }
  void Reject(int r, const std::string& text) { run_.RowError(r, text); }
  F* FindFamily(const std::string& code);
  // The group's catalogue keeps codes beginning with Z for the stores' own use.
  bool RefusedInGroup(int r, const std::string& code, const char* what);
  // Checks a number cell of an item row and stores it; false after logging why not.
  bool ReadNumber(int r, int column, I& item);

  ImportRun& run_;
  const RefList& subjects_;
  std::vector<F>& families_;
  std::string carriedFamily_;
  std::string carriedType_;
};

void StoreItemsReader::ReadFamily(int r) {
  F family;
  family.fCode = Cell(r, kFamilyCode);
  family.fName = Cell(r, kFamilyName);
  if (family.fName.empty())
    return Reject(r, family.fCode + "没有指定" + kFamilyColumns[kFamilyName - 1].caption + "!");
  families_.push_back(std::move(family));
}

F* StoreItemsReader::FindFamily(const std::string& code) {
  for (F& f : families_)
    if (SameTextIgnoringCase(f.fCode, code)) return &f;
  return nullptr;
}

bool StoreItemsReader::RefusedInGroup(int r, const std::string& code, const char* what) {
  if (!run_.edition.IsGroup() || code.empty() || (code[0] != 'z' && code[0] != 'Z')) return false;
  Reject(r, std::string("集团不允许有字母\"Z\"开头的") + what + "!");
  return true;
}

void StoreItemsReader::ReadType(int r) {
  std::string fcode = Cell(r, kTypeFamily);
  if (fcode.empty()) fcode = carriedFamily_;
  carriedFamily_ = fcode;
  T type;
  for (int c = 1; c <= kTypeColumnCount; ++c)
    if (kTypeColumns[c - 1].text) type.*kTypeColumns[c - 1].text = Cell(r, c);

  if (RefusedInGroup(r, type.TypeCode, "物品类别代码")) return;
  F* family = FindFamily(fcode);
  if (!family) return Reject(r, "没有找到编号为\"" + fcode + "\"的物品大类!");
  if (type.TypeName.empty()) return Reject(r, "\"" + type.TypeCode + "\"没有指定物品类别名称!");
  for (const TypeColumn& c : kTypeColumns) {
    if (c.role != Role::Subject) continue;
    const std::string& code = type.*c.text;
    if (!code.empty() && !subjects_.Find("SubjectCode", code)) return Reject(r, "没有找到科目:" + code);
  }
  family->types.push_back(std::move(type));
}

bool StoreItemsReader::ReadNumber(int r, int column, I& item) {
  const ItemColumn& c = kItemColumns[column - 1];
  std::string text = Cell(r, column);
  if (text.empty()) return true;
  if (c.role == Role::Count) {
    // These two messages quote the cell, not the caption.
    std::optional<std::int32_t> n = TryStrToInt(text);
    if (!n) Reject(r, text + "不是整数!");
    else if (*n < 0) Reject(r, text + "不能小于0!");
    else item.*c.count = *n;
    return n && *n >= 0;
  }
  std::optional<double> x = TryStrToFloat(text);
  if (!x) Reject(r, std::string(c.caption) + "不是数值!");
  else if (*x < 0) Reject(r, std::string(c.caption) + "不能小于0!");
  else item.*c.rate = *x;
  return x && *x >= 0;
}

void StoreItemsReader::ReadItem(int r) {
  std::string fcode = Cell(r, kItemFamily);
  if (fcode.empty()) fcode = carriedFamily_;
  carriedFamily_ = fcode;
  std::string tcode = Cell(r, kItemType);
  if (tcode.empty()) tcode = carriedType_;
  carriedType_ = tcode;
  I item;
  for (int c = 1; c <= kItemColumnCount; ++c)
    if (kItemColumns[c - 1].text) item.*kItemColumns[c - 1].text = Cell(r, c);

  if (RefusedInGroup(r, tcode, "物品类别代码") || RefusedInGroup(r, item.ItemCode, "物品代码")) return;
  F* family = FindFamily(fcode);
  if (!family) return Reject(r, "没有找到编号为\"" + fcode + "\"的物品大类!");
  T* type = nullptr;
  for (T& t : family->types)
    if (!type && SameTextIgnoringCase(t.TypeCode, tcode)) type = &t;
  if (!type) return Reject(r, "没有找到编号为\"" + tcode + "\"的物品类别!");
  if (item.ItemCode.empty()) return Reject(r, "物品没有指定编号!");
  if (item.ItemName.empty()) return Reject(r, "物品没有指定名称!");
  for (int c = 1; c <= kItemColumnCount; ++c) {
    Role role = kItemColumns[c - 1].role;
    if ((role == Role::Rate || role == Role::Count) && !ReadNumber(r, c, item)) return;
  }
  type->items.push_back(std::move(item));
}

// ---- Writing --------------------------------------------------------------------

// The store database keeps no families and no second and third names: their
// values are bound in the group edition only, so that they cannot fail a
// store's write.
void BindType(db::Query& q, const Edition& e, const F& family, const T& type) {
  q.SetString("tcode", 10, type.TypeCode);
  q.SetString("tname", 50, type.TypeName);
  if (e.IsGroup()) {
    q.SetString("fcode", 10, family.fCode);
    q.SetString("tname2", 50, type.tName2);
    q.SetString("tname3", 50, type.tName3);
  }
  // An empty subject code is written as NULL.
  q.SetOptionalString("subjectcode54", 10, type.SubjectCode54);
  q.SetOptionalString("subjectcode12", 10, type.SubjectCode12);
  q.SetOptionalString("subjectcode51", 10, type.SubjectCode51);
}

// An item is written under the codes of its type and family as they stand
// in their own rows.
void BindItem(db::Query& q, const Edition& e, const F& family, const T& type, const I& item) {
  if (e.IsGroup()) q.SetString("fcode", 10, family.fCode);
  q.SetString("tcode", 10, type.TypeCode);
  for (const ItemColumn& c : kItemColumns) {
    if (c.groupOnly && !e.IsGroup()) continue;
    if (c.text) q.SetString(c.param, c.size, item.*c.text);
    if (c.rate) q.SetFloat(c.param, item.*c.rate);
    if (c.count) q.SetInteger(c.param, item.*c.count);
  }
}

void WriteFamily(ImportRun& run, const F& family) {
  const Edition& e = run.edition;
  if (e.IsGroup())
    run.UpdateOrInsert(kGroupFamilyUpdate, kGroupFamilyInsert, [&](db::Query& q) {
      q.SetString("fcode", 10, family.fCode);
      q.SetString("fname", 50, family.fName);
    });
  for (const T& type : family.types) {
    auto bindType = [&](db::Query& q) { BindType(q, e, family, type); };
    run.UpdateOrInsert(e.Pick(kStoreTypeUpdate, kGroupTypeUpdate), e.Pick(kStoreTypeInsert, kGroupTypeInsert),
                       bindType);
    if (e.IsGroup()) {
      // The brand's subjects of the type are replaced, also by three empty codes.
      run.Execute(kGroupSubjectDelete, bindType);
      run.Execute(kGroupSubjectInsert, bindType);
    }
    for (const I& item : type.items)
      run.UpdateOrInsert(e.Pick(kStoreItemUpdate, kGroupItemUpdate), e.Pick(kStoreItemInsert, kGroupItemInsert),
                         [&](db::Query& q) { BindItem(q, e, family, type, item); });
  }
  if (e.IsGroup()) {
    // The catalogue is shared: every brand's stores download it again.
    run.dm.StampEveryBrand("MaterialVersion");
    run.StampDownloadVersion("MaterialVersion");
  }
}

}  // namespace

void uStoreItemsIO::Export(ExportRun& run) {
  const Edition& e = run.edition;
  RefList subjects = run.dm.Subjects(e);
  db::Query& families = run.Query(e.Pick(kStoreFamilyQuery, kGroupFamilyQuery));
  run.FirstMarker(kFamilyKey, kTitle);
  WriteSection(run, families, kFamilyColumns, subjects);
  run.Sheet().Marker(kTypeKey);
  WriteSection(run, run.Query(e.Pick(kStoreTypeQuery, kGroupTypeQuery)), kTypeColumns, subjects);
  run.Sheet().Marker(kItemKey);
  WriteSection(run, run.Query(e.Pick(kStoreItemQuery, kGroupItemQuery)), kItemColumns, subjects);
}

void uStoreItemsIO::Import(ImportRun& run) {
  run.RequireNotControlled("ControlMaterial", "库存物品由集团统一下发,不能在门店导入!");
  RefList subjects = run.dm.Subjects(run.edition);
  std::vector<F> families;
  StoreItemsReader reader(run, subjects, families);
  // A row with column 1 empty is a data row when column 2 or 3 holds text.
  ReadingLoop loop;
  loop.sections.push_back({.key = kFamilyKey, .read = [&](int r) { reader.ReadFamily(r); },
                           .continuationColumns = {2, 3}});
  loop.sections.push_back({.key = kTypeKey,
                           .read = [&](int r) { reader.ReadType(r); },
                           .continuationColumns = {2, 3},
                           .onEnter = [&] { reader.ForgetFamily(); }});
  loop.sections.push_back({.key = kItemKey,
                           .read = [&](int r) { reader.ReadItem(r); },
                           .continuationColumns = {2, 3},
                           .onEnter = [&] { reader.ForgetFamily(), reader.ForgetType(); }});
  loop.headerCaptions = {kHeaderCaption};
  loop.columnsWithoutSection = {2, 3};
  run.ReadSections(kKindName, loop);

  for (const F& family : families)
    run.WriteItem("正在导入库存物品" + family.fCode + " " + family.fName + "...",
                  [&] { WriteFamily(run, family); });
}

}  // namespace sx
