// Departments and users. The sheet has up to three sections in this order:
// "dept", one row per first-level department; "dept2" (store only), the
// second-level departments, whose first-level code stands only on the first
// of each department; "users", one row per user, whose department code and
// branch also stand only where they change. An import attaches every
// second-level department and user to a department read earlier from the
// same sheet and writes one transaction per first-level department.
#include "transfer/uDeptUsersIO.h"

#include <array>
#include <optional>
#include <string_view>

#include "base/DateTime.h"
#include "base/Text.h"
#include "datamodule/TextRoutines.h"

namespace sx {

namespace {

static_assert(std::string_view(kDefaultPasswordDigest).size() == 23);

constexpr const char* kDeptKey = "dept";
constexpr const char* kDept2Key = "dept2";
constexpr const char* kUsersKey = "users";
constexpr const char* kTitle = "部门及人员";

// ---- Rights and roles -----------------------------------------------------------

// Rights, Rights2 and Rights3 as unsigned bit sets.
using Rights = std::array<std::uint32_t, 3>;

struct Role {
  const char* caption;
  Rights masks;
};

constexpr Role kRoles[] = {
    {"点菜角色(0-否/1-是)", {0x00011404, 0x88060001, 0x00020001}},
    {"收银角色(0-否/1-是)", {0x48750202, 0x82060229, 0x00020000}},
    {"预订角色(0-否/1-是)", {0x00001401, 0x00200001, 0x00020001}},
    {"厨房控菜角色(0-否/1-是)", {0x04900000, 0x00000000, 0x00000000}},
    {"前厅领班角色(0-否/1-是)", {0xD01BDD00, 0x83BF0203, 0x00030004}},
    {"库管角色(0-否/1-是)", {0x00000010, 0x00000500, 0x0008000A}},
    {"会员管理角色(0-否/1-是)", {0x01000000, 0x70000040, 0x00040000}},
    {"配送管理角色(0-否/1-是)", {0x00000000, 0x00000000, 0x0000FFF0}},
    {"财务角色(0-否/1-是)", {0x00000060, 0x0000F880, 0x00100000}},
    {"店长角色(0-否/1-是)", {0xD41FFF08, 0x83BF7227, 0x00230004}},
    {"系统管理员角色(0-否/1-是)", {0x00000080, 0x00000210, 0x00000000}},
};
constexpr int kRoleCount = std::size(kRoles);

bool HoldsRole(const Rights& rights, const Role& role) {
  for (int i = 0; i < 3; ++i)
    if ((rights[i] & role.masks[i]) != role.masks[i]) return false;
  return true;
}

bool Given(std::uint32_t roles, int k) { return (roles >> k) & 1U; }

// The rights of the given roles alone.
Rights RightsOfRoles(std::uint32_t roles) {
  Rights rights{};
  for (int k = 0; k < kRoleCount; ++k)
    if (Given(roles, k))
      for (int i = 0; i < 3; ++i) rights[i] |= kRoles[k].masks[i];
  return rights;
}

// The stored rights changed as the sheet says: a role the sheet takes away is
// cleared only when the stored rights held it whole (a role held in part shows
// as not given and is no change), then every given role is set; roles share
// bits, so clearing comes first. Other bits stay as stored.
Rights MergeRoles(const Rights& stored, std::uint32_t roles) {
  Rights rights = stored;
  for (int k = 0; k < kRoleCount; ++k)
    if (!Given(roles, k) && HoldsRole(stored, kRoles[k]))
      for (int i = 0; i < 3; ++i) rights[i] &= ~kRoles[k].masks[i];
  Rights added = RightsOfRoles(roles);
  for (int i = 0; i < 3; ++i) rights[i] |= added[i];
  return rights;
}

// A stored rights field: a signed 32-bit integer, NULL as 0.
std::uint32_t StoredBits(const db::Field& field) {
  return static_cast<std::uint32_t>(field.AsInteger());
}

// ---- Sheet layout -------------------------------------------------------------

// A column: its caption, the export query's column and when it is written.
struct Column {
  const char* caption;
  const char* source;
  Written written = Written::Always;
};

constexpr const char* kDeptCodeCaption = "一级部门代码(不超过2位)";
constexpr const char* kDept2CodeCaption = "二级部门代码(不超过4位)";

constexpr Column kDeptColumns[] = {
    {kDeptCodeCaption, "DeptCode"},
    {"一级部门名称", "DeptName"},
    {"是否制作部门(0-否/1-是)", "IsProduct"},
};

constexpr Column kDept2Columns[] = {
    {kDeptCodeCaption, "DeptCode", Written::OnChange},
    {kDept2CodeCaption, "Dept2Code"},
    {"二级部门名称", "Dept2Name"},
    {"所属大部门名称", "Dept2Alias"},
    {"是否参与进销存(0-否/1-是)", "StoreTag"},
    {"自动出库仓库名称", "StoreName"},
    {"自动出库领料部门", "AutoSaleDept2Name"},
};

// The users section: these columns, then one column per role.
constexpr Column kUserColumns[] = {
    {kDeptCodeCaption, "DeptCode", Written::OnChange},
    {"用户编码(不超过4位)", "UserID"},
    {"姓名", "UserName"},
    {"证件号码(必须提供，不能重复)", "PassNo"},
    {"性别(男/女,m/f,0/1)", "Sex"},
    {"分店编号", "HotelID", Written::OnChange},
    {"分店名称", "HotelName"},  // written together with the branch code
    {"联系电话", "Phone"},
    {"下单限额(0或空表示不限)", "OrderLimitAmt"},
    {"每单允许最大折扣金额", "MaxPreDiscount", Written::Positive},
    {"删除标记(0-否/1-是)", "Deleted"},
    {"禁用优惠代码(多个优惠之间用,隔开)", "CardTypeList"},
};
constexpr int kUserColumnCount = std::size(kUserColumns);
static_assert(kUserColumnCount + kRoleCount == 23);

// The sheet column (from 1) of an export query column.
constexpr int ColumnOf(const auto& columns, std::string_view source) {
  return ColumnNumber<&Column::source>(columns, source);
}

constexpr int kDeptCode = ColumnOf(kDeptColumns, "DeptCode");
constexpr int kDeptName = ColumnOf(kDeptColumns, "DeptName");
constexpr int kDeptIsProduct = ColumnOf(kDeptColumns, "IsProduct");

constexpr int kDept2Dept = ColumnOf(kDept2Columns, "DeptCode");
constexpr int kDept2Code = ColumnOf(kDept2Columns, "Dept2Code");
constexpr int kDept2Name = ColumnOf(kDept2Columns, "Dept2Name");
constexpr int kDept2Alias = ColumnOf(kDept2Columns, "Dept2Alias");
constexpr int kDept2StoreTag = ColumnOf(kDept2Columns, "StoreTag");
constexpr int kDept2Store = ColumnOf(kDept2Columns, "StoreName");
constexpr int kDept2AutoSale = ColumnOf(kDept2Columns, "AutoSaleDept2Name");

constexpr int kUserDept = ColumnOf(kUserColumns, "DeptCode");
constexpr int kUserID = ColumnOf(kUserColumns, "UserID");
constexpr int kUserName = ColumnOf(kUserColumns, "UserName");
constexpr int kUserPassNo = ColumnOf(kUserColumns, "PassNo");
constexpr int kUserSex = ColumnOf(kUserColumns, "Sex");
constexpr int kUserHotel = ColumnOf(kUserColumns, "HotelID");
constexpr int kUserHotelName = ColumnOf(kUserColumns, "HotelName");
constexpr int kUserPhone = ColumnOf(kUserColumns, "Phone");
constexpr int kUserOrderLimit = ColumnOf(kUserColumns, "OrderLimitAmt");
constexpr int kUserMaxDiscount = ColumnOf(kUserColumns, "MaxPreDiscount");
constexpr int kUserDeleted = ColumnOf(kUserColumns, "Deleted");
constexpr int kUserCardTypes = ColumnOf(kUserColumns, "CardTypeList");
constexpr int kFirstRoleColumn = kUserColumnCount + 1;

std::vector<std::string> UserCaptions() {
  std::vector<std::string> captions = Captions(kUserColumns);
  for (const Role& role : kRoles) captions.push_back(role.caption);
  return captions;
}

// ---- Statements -----------------------------------------------------------------

constexpr const char* kStoreDeptQuery = R"(
select DeptCode,DeptName,IsProduct
from Dept
order by DeptCode)";

constexpr const char* kGroupDeptQuery = R"(
select DeptCode,DeptName,IsProduct
from Group_Hotel_Dept
where BrandID=:brandid
order by DeptCode)";

constexpr const char* kDept2Query = R"(
select d2.DeptCode,d2.Dept2Code,d2.Dept2Name,d2.Dept2Alias,d2.StoreCode,d2.StoreTag,d2.AutoSaleDept2Code,s.StoreName,
       d22.Dept2Name as AutoSaleDept2Name
from Dept2 d2,S_Store s,Dept2 d22
where d2.StoreCode*=s.StoreCode
  and d2.AutoSaleDept2Code*=d22.Dept2Code
order by d2.DeptCode,d2.Dept2Code)";

constexpr const char* kStoreUserQuery = R"(
select DeptCode,UserID,UserName,Rights,Rights2,Rights3,Sex,Phone,CardTypeList,OrderLimitAmt,MaxPreDiscount,Deleted,
       PassNo,'' as HotelID,'' as HotelName
from HotelUser
order by DeptCode,UserID)";

constexpr const char* kGroupUserQuery = R"(
select u.DeptCode,u.UserID,u.UserName,u.Rights,u.Rights2,u.Rights3,u.Sex,u.Phone,u.CardTypeList,0 as OrderLimitAmt,
       u.MaxPreDiscount,u.Deleted,u.PassNo,u.HotelID,h.HotelName
from Group_Hotel_User u,Group_Hotel h
where u.HotelID=h.HotelID
  and h.BrandID=:brandid
order by u.HotelID,u.DeptCode,u.UserID)";

constexpr const char* kStoreDeptUpdate = R"(
update Dept
set DeptName=:deptname,IsProduct=:isproduct
where DeptCode=:deptcode)";

constexpr const char* kStoreDeptInsert = R"(
insert into Dept(DeptCode,DeptName,IsProduct)
values(:deptcode,:deptname,:isproduct))";

constexpr const char* kGroupDeptUpdate = R"(
update Group_Hotel_Dept
set DeptName=:deptname,IsProduct=:isproduct
where DeptCode=:deptcode and BrandID=:brandid)";

constexpr const char* kGroupDeptInsert = R"(
insert into Group_Hotel_Dept(DeptCode,DeptName,IsProduct,BrandID)
values(:deptcode,:deptname,:isproduct,:brandid))";

// Never moves an existing second-level department to another department.
constexpr const char* kDept2Update = R"(
update Dept2
set Dept2Name=:dept2name,StoreCode=:storecode,Dept2Alias=:dept2alias,StoreTag=:storetag,
    AutoSaleDept2Code=:autosaledept2code
where Dept2Code=:dept2code)";

constexpr const char* kDept2Insert = R"(
insert into Dept2(Dept2Code,Dept2Name,Dept2Alias,DeptCode,StoreCode,StoreTag,AutoSaleDept2Code)
values(:dept2code,:dept2name,:dept2alias,:deptcode,:storecode,:storetag,:autosaledept2code))";

// A new second-level department starts with the rights of its department.
constexpr const char* kDept2RightsFromDept = R"(
update Dept2
set Rights=(select Rights from Dept where DeptCode=:deptcode),
    Rights2=(select Rights2 from Dept where DeptCode=:deptcode),
    Rights3=(select Rights3 from Dept where DeptCode=:deptcode)
where Dept2Code=:dept2code)";

// The stored rights an update starts from (and, in a group, where the person was).
constexpr const char* kStoreUserRights = R"(
select Rights,Rights2,Rights3
from HotelUser
where UserID=:userid)";

constexpr const char* kGroupUserRights = R"(
select Rights,Rights2,Rights3,HotelID
from Group_Hotel_User
where PassNo=:passno)";

constexpr const char* kStoreUserUpdate = R"(
update HotelUser
set DeptCode=:deptcode,UserName=:username,Rights=:rights,Rights2=:rights2,Rights3=:rights3,Sex=:sex,Phone=:phone,
    CardTypeList=:cardtypelist,OrderLimitAmt=:orderlimitamt,MaxPreDiscount=:maxprediscount,Deleted=:deleted,
    PassNo=:passno
where UserID=:userid)";

constexpr const char* kStoreUserInsert = R"(
insert into HotelUser(UserID,UserName,DeptCode,Password,Rights,Rights2,Rights3,Sex,Phone,CardTypeList,OrderLimitAmt,
                      MaxPreDiscount,Deleted,PassNo)
values(:userid,:username,:deptcode,:password,:rights,:rights2,:rights3,:sex,:phone,:cardtypelist,:orderlimitamt,
       :maxprediscount,:deleted,:passno))";

// Departments controlled by the chain: the stored rights stay.
constexpr const char* kStoreUserUpdateKeepingRights = R"(
update HotelUser
set DeptCode=:deptcode,UserName=:username,Sex=:sex,Phone=:phone,CardTypeList=:cardtypelist,
    OrderLimitAmt=:orderlimitamt,MaxPreDiscount=:maxprediscount,Deleted=:deleted,PassNo=:passno
where UserID=:userid)";

constexpr const char* kStoreUserInsertWithoutRights = R"(
insert into HotelUser(UserID,UserName,DeptCode,Password,Sex,Phone,CardTypeList,OrderLimitAmt,MaxPreDiscount,Deleted,
                      PassNo)
values(:userid,:username,:deptcode,:password,:sex,:phone,:cardtypelist,:orderlimitamt,:maxprediscount,:deleted,
       :passno))";

// ... and a new user takes the rights of its first-level department.
constexpr const char* kStoreUserRightsFromDept = R"(
update HotelUser
set Rights=IsNull((select Rights from Dept where DeptCode=:deptcode),0),
    Rights2=IsNull((select Rights2 from Dept where DeptCode=:deptcode),0),
    Rights3=IsNull((select Rights3 from Dept where DeptCode=:deptcode),0)
where UserID=:userid)";

// The identity document number is the key across the group: the person moves
// to the department, user ID and branch the sheet gives.
constexpr const char* kGroupUserUpdate = R"(
update Group_Hotel_User
set DeptCode=:deptcode,UserName=:username,Rights=:rights,Rights2=:rights2,Rights3=:rights3,Sex=:sex,Phone=:phone,
    CardTypeList=:cardtypelist,MaxPreDiscount=:maxprediscount,Deleted=:deleted,UserID=:userid,HotelID=:hotelid
where PassNo=:passno)";

constexpr const char* kGroupUserInsert = R"(
insert into Group_Hotel_User(UserID,UserName,DeptCode,Password,Rights,Rights2,Rights3,Sex,Phone,CardTypeList,
                             MaxPreDiscount,Deleted,PassNo,HotelID)
values(:userid,:username,:deptcode,:password,:rights,:rights2,:rights3,:sex,:phone,:cardtypelist,
       :maxprediscount,:deleted,:passno,:hotelid))";

constexpr const char* kStampBranchUsers = R"(
Update Group_Hotel
set UserVersion=GetDate()
where HotelID=:hotelid)";

// ---- Export ---------------------------------------------------------------------

void WriteSection(ExportRun& run, db::Query& q, const auto& columns) {
  run.Sheet().Header(Captions(columns));
  std::vector<std::string> cells(std::size(columns));
  std::vector<std::string> previous(std::size(columns));
  for (; !q.Eof(); q.Next()) {
    for (std::size_t c = 0; c < std::size(columns); ++c)
      cells[c] = ExportCell(q.FieldByName(columns[c].source), columns[c].written, previous[c]);
    run.Sheet().Row(cells);
  }
}

// One row per user: the role columns show "1" for every role held whole.
void WriteUsers(ExportRun& run, db::Query& q) {
  run.Sheet().Header(UserCaptions());
  std::vector<std::string> previous(kUserColumnCount);
  for (; !q.Eof(); q.Next()) {
    std::vector<std::string> cells;
    for (int c = 1; c <= kUserColumnCount; ++c) {
      const Column& column = kUserColumns[c - 1];
      cells.push_back(ExportCell(q.FieldByName(column.source), column.written, previous[c - 1]));
    }
    if (cells[kUserHotel - 1].empty()) cells[kUserHotelName - 1].clear();
    std::string& cardTypes = cells[kUserCardTypes - 1];
    cardTypes = ReplaceAll(ReplaceAll(ReplaceAll(cardTypes, "\r\n", ","), "\r", ","), "\n", ",");
    Rights rights{StoredBits(q.FieldByName("Rights")), StoredBits(q.FieldByName("Rights2")),
                  StoredBits(q.FieldByName("Rights3"))};
    for (const Role& role : kRoles) cells.push_back(HoldsRole(rights, role) ? "1" : "0");
    run.Sheet().Row(cells);
  }
}

// ---- Reading --------------------------------------------------------------------

// The state of one import's reading: the department list, the stores, card
// types and branches to check against, and the codes carried down the rows.
class DeptReader {
 public:
  DeptReader(ImportRun& run, std::vector<TDeptItem>& depts)
      : run_(run), depts_(depts), cardTypes_(run.dm.CardTypes()),
        places_(run.edition.IsGroup() ? run.dm.HotelIDs(run.edition) : run.dm.Stores()) {}

  void ReadDept(int r);
  void ReadDept2(int r);
  void ReadUser(int r);
  // A new section forgets what was carried down the rows of the one before.
  void ForgetCarried() {
    carriedDept_.clear();
    carriedBranch_.clear();
  }

 private:
  std::string Cell(int r, int column) { return run_.Cell(r, column); }
  void Reject(int r, const std::string& text) { run_.RowError(r, text); }
  TDeptItem* FindDept(const std::string& code);
  // Checks an amount cell of at least 0; false after logging why not.
  bool ReadAmount(int r, int column, double& value);
  // The card type codes of the cell that exist, each followed by CR LF.
  std::string ReadCardTypes(int r, const std::string& cell);

  ImportRun& run_;
  std::vector<TDeptItem>& depts_;
  RefList cardTypes_;
  RefList places_;  // store: the storehouses; group: the brand's branches
  std::string carriedDept_;
  std::string carriedBranch_;
};

TDeptItem* DeptReader::FindDept(const std::string& code) {
  for (auto& d : depts_)
    if (SameTextIgnoringCase(d.DeptCode, code)) return &d;
  return nullptr;
}

void DeptReader::ReadDept(int r) {
  TDeptItem d;
  d.DeptCode = Cell(r, kDeptCode);
  d.DeptName = Cell(r, kDeptName);
  if (d.DeptName.empty()) return Reject(r, "\"" + d.DeptCode + "\"没有指定一级部门名称!");
  d.IsProduct = YesNo(Cell(r, kDeptIsProduct));
  depts_.push_back(std::move(d));
}

void DeptReader::ReadDept2(int r) {
  std::string code = Cell(r, kDept2Dept);
  if (code.empty()) code = carriedDept_;
  carriedDept_ = code;
  TDept2Item d2;
  d2.Dept2Code = Cell(r, kDept2Code);
  d2.Dept2Name = Cell(r, kDept2Name);
  if (d2.Dept2Code.empty()) return Reject(r, "\"\"没有指定二级部门代码!");
  if (d2.Dept2Name.empty()) return Reject(r, "\"" + d2.Dept2Code + "\"没有指定二级部门名称!");
  TDeptItem* dept = FindDept(code);
  if (!dept) return Reject(r, "\"没有找到" + code + "对应的一级部门信息!");
  d2.StoreTag = YesNo(Cell(r, kDept2StoreTag));
  if (d2.StoreTag) {
    std::string store = Cell(r, kDept2Store);
    auto found = places_.Find("StoreName", store);
    if (!found) {
      Reject(r, "没有找到仓库:" + store);
      return Reject(r, "\"没有找到二级部门\"" + d2.Dept2Name + "\"的自动出库仓库\"" + store + "\"对应的仓库编号!");
    }
    d2.StoreCode = static_cast<int>(found->Integer("StoreCode"));
  }
  d2.Dept2Alias = Cell(r, kDept2Alias);
  d2.autoSaleName = Cell(r, kDept2AutoSale);
  dept->dept2s.push_back(std::move(d2));
}

bool DeptReader::ReadAmount(int r, int column, double& value) {
  std::string text = Cell(r, column);
  if (text.empty()) return true;
  std::optional<double> number = TryStrToFloat(text);
  std::string caption = kUserColumns[column - 1].caption;
  if (!number) {
    Reject(r, caption + "不是数值!");
    return false;
  }
  if (*number < 0) {
    Reject(r, caption + "不能小于0!");
    return false;
  }
  value = *number;
  return true;
}

std::string DeptReader::ReadCardTypes(int r, const std::string& cell) {
  // Line breaks in the cell separate codes as commas do.
  std::string list = ReplaceAll(ReplaceAll(ReplaceAll(cell, "\r\n", ","), "\r", ","), "\n", ",");
  std::string accepted;
  int count = CountTokens(list, ",");
  for (int i = 0; i < count; ++i) {
    std::string code = Trim(Token(list, ",", i));
    if (code.empty()) continue;
    if (!cardTypes_.Find("CardTypeCode", code)) {
      Reject(r, "没有找到优惠代码:" + code);
      continue;
    }
    accepted += code + "\r\n";
  }
  return accepted;
}

void DeptReader::ReadUser(int r) {
  std::string code = Cell(r, kUserDept);
  if (code.empty()) code = carriedDept_;
  carriedDept_ = code;
  std::string branch = Cell(r, kUserHotel);
  if (branch.empty()) branch = carriedBranch_;
  carriedBranch_ = branch;

  TDeptItem* dept = FindDept(code);
  if (!dept) return Reject(r, "没有找到编号为\"" + code + "\"的一级部门!");
  TUserItem u;
  u.UserID = Cell(r, kUserID);
  u.UserName = Cell(r, kUserName);
  u.PassNo = Cell(r, kUserPassNo);
  if (u.UserID.empty()) return Reject(r, "用户没有指定编号!");
  if (u.UserName.empty()) return Reject(r, "用户没有指定名字!");
  if (u.PassNo.empty()) return Reject(r, "用户没有指定证件号!");
  const Edition& e = run_.edition;
  if (e.IsGroup() && !places_.Find("HotelID", branch))
    return Reject(r, "分店" + branch + "/" + Cell(r, kUserHotelName) + "不在品牌" + e.BrandId() + "中!");
  if (!ReadAmount(r, kUserOrderLimit, u.OrderLimitAmt)) return;
  if (!ReadAmount(r, kUserMaxDiscount, u.MaxPreDiscount)) return;
  if (std::string cell = Cell(r, kUserCardTypes); !cell.empty()) u.CardTypeList = ReadCardTypes(r, cell);

  std::string sex = Cell(r, kUserSex);
  u.Sex = sex == "女" || sex == "1" || sex == "f" || sex == "F";
  u.HotelID = branch;
  u.Phone = Cell(r, kUserPhone);
  u.Deleted = YesNo(Cell(r, kUserDeleted));
  // Only "1" gives a role.
  for (int k = 0; k < kRoleCount; ++k)
    if (Cell(r, kFirstRoleColumn + k) == "1") u.roles |= 1U << k;
  dept->users.push_back(std::move(u));
}

// Replaces each participating second-level department's automatic issue
// department name by that department's code; a department that names one not
// in the sheet, or one that keeps no stock, is dropped from the import.
void ResolveAutoSaleDepts(ImportRun& run, std::vector<TDeptItem>& depts) {
  auto findByName = [&](const std::string& name) -> const TDept2Item* {
    for (const auto& d : depts)
      for (const auto& d2 : d.dept2s)
        if (SameTextIgnoringCase(d2.Dept2Name, name)) return &d2;
    return nullptr;
  };
  for (auto& d : depts)
    for (std::size_t i = d.dept2s.size(); i-- > 0;) {
      TDept2Item& d2 = d.dept2s[i];
      if (d2.StoreTag < 1) continue;
      if (d2.autoSaleName.empty()) {
        d2.AutoSaleDept2Code = d2.Dept2Code;
        continue;
      }
      const TDept2Item* found = findByName(d2.autoSaleName);
      if (found && found->StoreTag >= 1) {
        d2.AutoSaleDept2Code = found->Dept2Code;
        continue;
      }
      run.Error("\"" + d2.Dept2Code + " " + d2.Dept2Name + "\"对应的自动出库领料部门\"" + d2.autoSaleName + "\"" +
                (found ? "不能参与进销存!" : "不存在!"));
      d.dept2s.erase(d.dept2s.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

// ---- Writing --------------------------------------------------------------------

void BindDept(db::Query& q, const TDeptItem& d) {
  q.SetString("deptcode", 2, d.DeptCode);
  q.SetString("deptname", 250, d.DeptName);
  q.SetInteger("isproduct", d.IsProduct);
}

void BindDept2(db::Query& q, const TDept2Item& d2, const TDeptItem& d) {
  q.SetString("dept2name", 250, d2.Dept2Name);
  q.SetString("dept2code", 4, d2.Dept2Code);
  if (d2.StoreTag == 1) {
    q.SetInteger("storecode", d2.StoreCode);
    q.SetString("autosaledept2code", 4, d2.AutoSaleDept2Code);
  } else {
    q.SetNull("storecode", db::ParamType::Integer);
    q.SetNull("autosaledept2code", db::ParamType::String, 4);
  }
  q.SetString("dept2alias", 30, d2.Dept2Alias);
  q.SetInteger("storetag", d2.StoreTag);
  q.SetString("deptcode", 2, d.DeptCode);
}

// The rights fields are bound as the signed 32-bit integers they are stored as.
// Only the group database keeps the branch.
void BindUser(db::Query& q, const TUserItem& u, const TDeptItem& d, const Rights& rights, const Edition& e) {
  q.SetString("deptcode", 2, d.DeptCode);
  q.SetString("username", 10, u.UserName);
  q.SetString("userid", 4, u.UserID);
  q.SetString("passno", 30, u.PassNo);
  if (e.IsGroup()) q.SetString("hotelid", 20, u.HotelID);
  q.SetString("password", 24, kDefaultPasswordDigest);
  q.SetString("phone", 250, u.Phone);
  q.SetInteger("sex", u.Sex);
  q.SetInteger("deleted", u.Deleted);
  q.SetInteger("rights", static_cast<std::int32_t>(rights[0]));
  q.SetInteger("rights2", static_cast<std::int32_t>(rights[1]));
  q.SetInteger("rights3", static_cast<std::int32_t>(rights[2]));
  q.SetFloat("orderlimitamt", u.OrderLimitAmt);
  q.SetFloat("maxprediscount", u.MaxPreDiscount);
  q.SetMemo("cardtypelist", u.CardTypeList);
}

// What is stored about the user before the write: its rights, and in a group
// the branches the person belongs to.
struct StoredUser {
  Rights rights{};
  std::vector<std::string> branches;
};

std::optional<StoredUser> ReadStoredUser(ImportRun& run, const TUserItem& u) {
  db::Query& q = run.Query(run.edition.Pick(kStoreUserRights, kGroupUserRights), [&](db::Query& q) {
    q.SetString("userid", 0, u.UserID);
    q.SetString("passno", 0, u.PassNo);
  });
  std::optional<StoredUser> stored;
  for (; !q.Eof(); q.Next()) {
    if (!stored) {
      stored.emplace();
      stored->rights = {StoredBits(q.FieldByName("Rights")), StoredBits(q.FieldByName("Rights2")),
                        StoredBits(q.FieldByName("Rights3"))};
    }
    if (run.edition.IsGroup()) stored->branches.push_back(q.FieldByName("HotelID").AsString());
  }
  q.Close();
  return stored;
}

void WriteStoreUser(ImportRun& run, const TUserItem& u, const TDeptItem& d, bool deptsControlled) {
  run.Info("正在导入用户" + u.UserID + " " + u.UserName + "...");
  if (deptsControlled) {
    run.Info("部门权限由集团总部统一控制,因此不导入该用户的权限设置!");
    auto bind = [&](db::Query& q) { BindUser(q, u, d, {}, run.edition); };
    if (run.UpdateOrInsert(kStoreUserUpdateKeepingRights, kStoreUserInsertWithoutRights, bind))
      run.Execute(kStoreUserRightsFromDept, bind);
    return;
  }
  std::optional<StoredUser> stored = ReadStoredUser(run, u);
  Rights rights = stored ? MergeRoles(stored->rights, u.roles) : RightsOfRoles(u.roles);
  run.UpdateOrInsert(kStoreUserUpdate, kStoreUserInsert, [&](db::Query& q) { BindUser(q, u, d, rights, run.edition); });
}

// Stamps the person's branch, and every branch the person leaves, so that
// each learns of the change.
void WriteGroupUser(ImportRun& run, const TUserItem& u, const TDeptItem& d) {
  run.Info("正在导入用户" + u.PassNo + ":" + u.UserID + "/" + u.UserName + "到分店" + u.HotelID + "...");
  std::optional<StoredUser> stored = ReadStoredUser(run, u);
  Rights rights = stored ? MergeRoles(stored->rights, u.roles) : RightsOfRoles(u.roles);
  run.UpdateOrInsert(kGroupUserUpdate, kGroupUserInsert, [&](db::Query& q) { BindUser(q, u, d, rights, run.edition); });
  std::vector<std::string> branches{u.HotelID};
  if (stored)
    for (const auto& b : stored->branches) {
      bool seen = false;
      for (const auto& s : branches) seen = seen || SameTextIgnoringCase(s, b);
      if (!seen) branches.push_back(b);
    }
  for (const auto& b : branches) run.Execute(kStampBranchUsers, [&](db::Query& q) { q.SetString("hotelid", 0, b); });
}

// One first-level department with its users and second-level departments, in
// one transaction. Centrally controlled departments or users are left as they are.
void WriteDept(ImportRun& run, const TDeptItem& d, bool deptsControlled, bool usersControlled) {
  const Edition& e = run.edition;
  std::string who = d.DeptCode + " " + d.DeptName;
  run.WriteItem("正在导入部门" + who + (e.IsGroup() ? "到品牌" + e.BrandId() : "") + "...", [&] {
    if (deptsControlled) {
      run.Info("部门设置由集团总部统一控制,因此不导入" + who + "!");
    } else {
      run.UpdateOrInsert(e.Pick(kStoreDeptUpdate, kGroupDeptUpdate), e.Pick(kStoreDeptInsert, kGroupDeptInsert),
                         [&](db::Query& q) { BindDept(q, d); });
      run.StampDownloadVersion("DeptVersion");
    }
    if (usersControlled) {
      run.Info("人员设置由集团总部统一控制,因此不导入" + who + " 部门下的员工信息!");
    } else {
      for (const auto& u : d.users)
        if (e.IsGroup())
          WriteGroupUser(run, u, d);
        else
          WriteStoreUser(run, u, d, deptsControlled);
    }
    for (const auto& d2 : d.dept2s) {
      run.Info("正在导入二级部门" + d2.Dept2Code + " " + d2.Dept2Name + "...");
      auto bind = [&](db::Query& q) { BindDept2(q, d2, d); };
      if (run.UpdateOrInsert(kDept2Update, kDept2Insert, bind)) run.Execute(kDept2RightsFromDept, bind);
    }
  });
}

}  // namespace

void uDeptUsersIO::Export(ExportRun& run) {
  const Edition& e = run.edition;
  db::Query& depts = run.Query(e.Pick(kStoreDeptQuery, kGroupDeptQuery));
  run.FirstMarker(kDeptKey, kTitle);
  WriteSection(run, depts, kDeptColumns);
  if (!e.IsGroup()) {
    run.Sheet().Marker(kDept2Key);
    WriteSection(run, run.Query(kDept2Query), kDept2Columns);
  }
  run.Sheet().Marker(kUsersKey);
  WriteUsers(run, run.Query(e.Pick(kStoreUserQuery, kGroupUserQuery)));
}

void uDeptUsersIO::Import(ImportRun& run) {
  const Edition& e = run.edition;
  // Read before the workbook; the writer honours them per department.
  bool deptsControlled = !e.IsGroup() && !run.dm.ImportAllowed("ControlDept");
  bool usersControlled = !e.IsGroup() && !run.dm.ImportAllowed("ControlUser");

  std::vector<TDeptItem> depts;
  DeptReader reader(run, depts);
  ReadingLoop loop;
  // Rows with column 1 empty and column 2 filled are continuation rows.
  loop.sections.push_back({.key = kDeptKey, .read = [&](int r) { reader.ReadDept(r); }, .continuationColumns = {2}});
  // The group database has no second-level departments: their rows are skipped.
  loop.sections.push_back({.key = kDept2Key,
                           .read = [&](int r) { if (!e.IsGroup()) reader.ReadDept2(r); },
                           .continuationColumns = {2},
                           .onEnter = [&] { reader.ForgetCarried(); }});
  loop.sections.push_back({.key = kUsersKey,
                           .read = [&](int r) { reader.ReadUser(r); },
                           .continuationColumns = {2},
                           .onEnter = [&] { reader.ForgetCarried(); }});
  loop.headerCaptions = {kDeptCodeCaption, kDept2CodeCaption};
  loop.columnsWithoutSection = {2};
  run.ReadSections(e.Pick("部门人员", "部门"), loop);

  if (!e.IsGroup() && !depts.empty()) ResolveAutoSaleDepts(run, depts);
  for (const auto& d : depts) WriteDept(run, d, deptsControlled, usersControlled);
}

}  // namespace sx
