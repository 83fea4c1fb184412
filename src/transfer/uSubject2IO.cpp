// Payment subjects. The sheet is one table without section keys: a title row,
// a caption row from column 0, then one subject per row with its code in
// column 0. Each subject's first-level subject (the first four characters of
// its code) must exist; a subject is updated, or inserted as class 2.
#include "transfer/uSubject2IO.h"

#include <optional>
#include <string_view>
#include <vector>

#include "base/DateTime.h"
#include "base/Text.h"

namespace sx {

namespace {

constexpr const char* kTitle = "二级科目清单";
constexpr const char* kKindName = "二级科目";
constexpr int kFirstDataRow = 3;

// How a column is written and read.
enum class Form {
  Text,       // as it stands
  Direction,  // balance direction: "借方" for 0, "贷方" otherwise; "0"/"借方" read as 0
  PayTag,     // inverted flag: "是" for 0, "否" otherwise; "1"/"是" read as 0
  Flag,       // "是" for non-zero, "否" for 0; "1"/"是" read as 1
  Number,     // decimal text; must read as a number
};

struct Column {
  const char* caption;
  const char* source;  // the export query's column, also the record's field
  Form form;
  const char* param;
  int size = 0;  // Text: the parameter's size (0: long text)
  std::string TSubject2::*text = nullptr;
  int TSubject2::*flag = nullptr;
  double TSubject2::*number = nullptr;
  const char* notANumber = nullptr;  // Number: the message after the code
};

using S = TSubject2;

constexpr Column Text(const char* caption, const char* source, const char* param, int size,
                      std::string S::*text) {
  return {.caption = caption, .source = source, .form = Form::Text, .param = param, .size = size, .text = text};
}
constexpr Column Flag(const char* caption, const char* source, Form form, const char* param, int S::*flag) {
  return {.caption = caption, .source = source, .form = form, .param = param, .flag = flag};
}
constexpr Column Number(const char* caption, const char* source, const char* param, double S::*number,
                        const char* notANumber) {
  return {.caption = caption, .source = source, .form = Form::Number, .param = param, .number = number,
          .notANumber = notANumber};
}

// Columns 0 to 21.
constexpr Column kColumns[] = {
    Text("科目代码", "SubjectCode", "subjectcode", 10, &S::SubjectCode),
    Text("科目名称", "SubjectName", "subjectname", 60, &S::SubjectName),
    Text("科目名称2", "SubjectEName", "subjectname2", 60, &S::SubjectEName),
    Text("科目名称3", "SubjectEName2", "subjectname3", 60, &S::SubjectEName2),
    Flag("科目余额方向", "SubjectType", Form::Direction, "subjecttype", &S::SubjectType),
    Flag("是否结账科目(0-否/1-是)", "PayTag", Form::PayTag, "paytag", &S::PayTag),
    Flag("结账时需要输入备注(0-否/1-是)", "PayMemoTag", Form::Flag, "paymemotag", &S::PayMemoTag),
    Flag("结账时不找零(0-否/1-是)", "NoChange", Form::Flag, "nochange", &S::NoChange),
    Flag("当前结账可用(0-否/1-是)", "PayVisible", Form::Flag, "payvisible", &S::PayVisible),
    Flag("快餐结账可用(0-否/1-是)", "QuickUse", Form::Flag, "quickuse", &S::QuickUse),
    Flag("是否可开发票(0-否/1-是)", "CanInvoice", Form::Flag, "caninvoice", &S::CanInvoice),
    Number("账单金额满x元时", "BillCost", "billcost", &S::BillCost, "账单金额不是有效数值!"),
    Number("可使用本科目x元", "UseAmount", "useamount", &S::UseAmount, "可用金额不是有效数值!"),
    Text("联系人", "Contact", "contact", 20, &S::Contact),
    Text("手机", "Mobile", "mobile", 20, &S::Mobile),
    Text("联系电话", "Tele", "tele", 100, &S::Tele),
    Text("传真", "Fax", "fax", 100, &S::Fax),
    Text("公司", "Company", "company", 100, &S::Company),
    Text("邮编", "PostCode", "postcode", 10, &S::PostCode),
    Text("地址", "Address", "address", 100, &S::Address),
    Number("透支上限", "CreditLimit", "creditlimit", &S::CreditLimit, "透支额度不是有效数值!"),
    Text("备注", "Remark", "remark", 0, &S::Remark),
};
constexpr int kColumnCount = std::size(kColumns);
static_assert(kColumnCount == 22);

// ---- Statements -----------------------------------------------------------------

constexpr const char* kStoreQuery = "select * from Subject where SubjectClass=2 order by SubjectCode";
constexpr const char* kGroupQuery = R"(
select *,SubjectName2 as SubjectEName,SubjectName3 as SubjectEName2
from Group_Subject
where BrandID=:brandid and SubjectClass=2
order by SubjectCode)";

constexpr const char* kStoreFirstLevel = R"(
select count(*) from Subject where SubjectCode=:first and SubjectClass=1)";
constexpr const char* kGroupFirstLevel = R"(
select count(*) from Group_Subject where SubjectCode=:first and SubjectClass=1 and BrandID=:brandid)";

constexpr const char* kStoreUpdate = R"(
update Subject
set SubjectName=:subjectname,SubjectEName=:subjectname2,SubjectEName2=:subjectname3,PayTag=:paytag,
    SubjectType=:subjecttype,Company=:company,PostCode=:postcode,Address=:address,Tele=:tele,Fax=:fax,
    Contact=:contact,CreditLimit=:creditlimit,QuickUse=:quickuse,PayMemoTag=:paymemotag,Mobile=:mobile,
    Remark=:remark,NoChange=:nochange,PayVisible=:payvisible,BillCost=:billcost,UseAmount=:useAmount,
    CanInvoice=:caninvoice
where SubjectCode=:subjectcode)";

constexpr const char* kStoreInsert = R"(
insert into Subject(SubjectCode,SubjectName,SubjectEName,SubjectEName2,PayTag,SubjectClass,SubjectType,Company,
                    PostCode,Address,Tele,Fax,Contact,CreditLimit,QuickUse,PayMemoTag,Mobile,Remark,NoChange,
                    PayVisible,BillCost,UseAmount,CanInvoice)
values(:subjectcode,:subjectname,:subjectname2,:subjectname3,:paytag,2,:subjecttype,:company,
       :postcode,:address,:tele,:fax,:contact,:creditlimit,:quickuse,:paymemotag,:mobile,:remark,:nochange,
       :payvisible,:billcost,:useamount,:caninvoice))";

constexpr const char* kGroupUpdate = R"(
update Group_Subject
set SubjectName=:subjectname,SubjectName2=:subjectname2,SubjectName3=:subjectname3,PayTag=:paytag,
    SubjectType=:subjecttype,Company=:company,PostCode=:postcode,Address=:address,Tele=:tele,Fax=:fax,
    Contact=:contact,CreditLimit=:creditlimit,QuickUse=:quickuse,PayMemoTag=:paymemotag,Mobile=:mobile,
    Remark=:remark,NoChange=:nochange,PayVisible=:payvisible,BillCost=:billcost,UseAmount=:useAmount,
    CanInvoice=:caninvoice
where SubjectCode=:subjectcode and BrandID=:brandid)";

constexpr const char* kGroupInsert = R"(
insert into Group_Subject(SubjectCode,SubjectName,SubjectName2,SubjectName3,PayTag,SubjectClass,SubjectType,
                          Company,PostCode,Address,Tele,Fax,Contact,CreditLimit,QuickUse,PayMemoTag,Mobile,
                          Remark,NoChange,PayVisible,BillCost,UseAmount,BrandID,CanInvoice)
values(:subjectcode,:subjectname,:subjectname2,:subjectname3,:paytag,2,:subjecttype,
       :company,:postcode,:address,:tele,:fax,:contact,:creditlimit,:quickuse,:paymemotag,:mobile,
       :remark,:nochange,:payvisible,:billcost,:useamount,:brandid,:caninvoice))";

// ---- Export ---------------------------------------------------------------------

std::string ExportText(const Column& column, const db::Field& field) {
  switch (column.form) {
    case Form::Direction: return field.AsInteger() == 0 ? "借方" : "贷方";
    case Form::PayTag: return field.AsInteger() == 0 ? "是" : "否";
    case Form::Flag: return field.AsInteger() != 0 ? "是" : "否";
    case Form::Text:
    case Form::Number: return field.AsString();
  }
  return {};
}

// ---- Reading --------------------------------------------------------------------

// The first `count` characters of a text (the whole text when shorter).
std::string FirstCharacters(const std::string& text, std::size_t count) {
  std::size_t end = 0;
  for (std::size_t n = 0; end < text.size() && n < count; ++n) {
    ++end;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
  }
  return text.substr(0, end);
}

// Reads a subject row into `subjects`, or logs why the row is skipped.
void ReadSubject(ImportRun& run, int r, std::vector<TSubject2>& subjects) {
  TSubject2 s;
  std::vector<std::string> cells(kColumnCount);
  for (int c = 0; c < kColumnCount; ++c) cells[c] = run.Cell(r, c);
  const std::string& code = cells[0];
  std::string first = FirstCharacters(code, 4);
  db::Query& q = run.Query(run.edition.Pick(kStoreFirstLevel, kGroupFirstLevel),
                           [&](db::Query& p) { p.SetString("first", 0, first); });
  bool found = q.Fields(0).AsInteger() > 0;
  q.Close();
  if (!found) return run.RowError(r, "没有找到" + code + "一级科目:" + first);
  // A code that is its own first-level code would rename and re-flag the
  // first-level subject.
  if (first == code) return run.RowError(r, code + "是一级科目代码,不能作为二级科目导入!");
  if (cells[1].empty()) return run.RowError(r, code + "没有指定科目名称!");
  for (int c = 0; c < kColumnCount; ++c) {
    const Column& column = kColumns[c];
    const std::string& cell = cells[c];
    switch (column.form) {
      case Form::Text: s.*column.text = cell; break;
      case Form::Direction: s.*column.flag = cell == "0" || cell == "借方" ? 0 : 1; break;
      case Form::PayTag: s.*column.flag = YesNo(cell) ? 0 : 1; break;
      case Form::Flag: s.*column.flag = YesNo(cell) ? 1 : 0; break;
      case Form::Number: {
        if (cell.empty()) break;
        std::optional<double> number = TryStrToFloat(cell);
        if (!number) return run.RowError(r, code + column.notANumber);
        s.*column.number = *number;
        break;
      }
    }
  }
  subjects.push_back(std::move(s));
}

void BindSubject(db::Query& q, const TSubject2& s) {
  for (const Column& column : kColumns) {
    switch (column.form) {
      case Form::Text:
        if (column.size == 0)
          q.SetMemo(column.param, s.*column.text);
        else
          q.SetString(column.param, column.size, s.*column.text);
        break;
      case Form::Direction:
      case Form::PayTag:
      case Form::Flag: q.SetInteger(column.param, s.*column.flag); break;
      case Form::Number: q.SetFloat(column.param, s.*column.number); break;
    }
  }
}

}  // namespace

void uSubject2IO::Export(ExportRun& run) {
  db::Query& q = run.Query(run.edition.Pick(kStoreQuery, kGroupQuery));
  run.FirstMarker("", kTitle);
  run.Sheet().Header(Captions(kColumns), 0);
  std::vector<std::string> cells(kColumnCount);
  for (; !q.Eof(); q.Next()) {
    for (int c = 0; c < kColumnCount; ++c) cells[c] = ExportText(kColumns[c], q.FieldByName(kColumns[c].source));
    run.Sheet().Row(cells, 0);
  }
}

void uSubject2IO::Import(ImportRun& run) {
  run.RequireNotControlled("ControlSubject", "科目由集团统一下发,不能在门店导入!");
  std::vector<TSubject2> subjects;
  run.ReadTable(kKindName, kFirstDataRow, 0, [&](int r) { ReadSubject(run, r, subjects); });
  const Edition& e = run.edition;
  for (const auto& s : subjects)
    run.WriteItem("正在导入二级科目" + s.SubjectCode + " " + s.SubjectName + "...", [&] {
      run.UpdateOrInsert(e.Pick(kStoreUpdate, kGroupUpdate), e.Pick(kStoreInsert, kGroupInsert),
                         [&](db::Query& q) { BindSubject(q, s); });
      run.StampDownloadVersion("SubjectVersion");
    });
}

}  // namespace sx
