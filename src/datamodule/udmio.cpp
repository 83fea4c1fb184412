#include "datamodule/udmio.h"

#include "base/Text.h"

namespace sx {

namespace {

// The savepoint of the item being written in check mode.
constexpr const char* kItemSavepoint = "sx_item";

// Binds the brand: as a value of any length where it only selects rows (a
// brand that is too long finds nothing), as a string of the brand ID's size
// where it is written.
void BindBrand(db::Query& q, const Edition& edition, bool written) {
  if (edition.IsGroup()) q.SetString("brandid", written ? kBrandIdSize : 0, edition.BrandId());
}

}  // namespace

Tdmio::~Tdmio() {
  qGet.Close();
  qSet.Close();
  try {
    ac1.Close();
  } catch (...) {
    // A failing disconnect must not escape a destructor.
  }
}

void Tdmio::Connect(const std::string& connectionString) {
  ac1.SetConnectionString(connectionString);
  ac1.Open();
}

std::string Tdmio::SchemaVersion(const Edition& edition) {
  try {
    Open(qGet, edition.Pick("select VersionNo from Version", "select VersionNo from Group_Version"),
         edition);
    std::string version = qGet.Eof() ? std::string() : qGet.Fields(0).AsString();
    qGet.Close();
    return version;
  } catch (...) {
    qGet.Close();
    throw;
  }
}

bool Tdmio::VersionMatches(const std::string& version, const Edition& edition) {
  return UpperCase(version) == edition.Stamp();
}

bool Tdmio::ImportAllowed(const std::string& column) {
  bool result = true;
  qLookup.Close();
  qLookup.SetSQL("select " + column + " from Group_Brand");
  qLookup.Open();
  if (!qLookup.Eof()) result = qLookup.Fields(0).AsInteger() != 1;
  qLookup.Close();
  return result;
}

db::Query& Tdmio::Open(db::Query& q, std::string_view sql, const Edition& edition,
                       const Bind& bind) {
  q.Close();
  q.SetSQL(std::string(sql));
  BindBrand(q, edition, false);
  if (bind) bind(q);
  q.Open();
  return q;
}

long Tdmio::Execute(std::string_view sql, const Edition& edition, const Bind& bind) {
  BeginWrite();
  qSet.Close();
  qSet.SetSQL(std::string(sql));
  BindBrand(qSet, edition, true);
  if (bind) bind(qSet);
  return qSet.ExecSQL();
}

bool Tdmio::UpdateOrInsert(std::string_view update, std::string_view insert,
                           const Edition& edition, const Bind& bind) {
  if (Execute(update, edition, bind) >= 1) return false;
  Execute(insert, edition, bind);
  return true;
}

void Tdmio::StampDownloadVersion(const Edition& edition, std::string_view column) {
  std::string c(column);
  UpdateOrInsert("Update Group_DownloadVersion set " + c + "=GetDate() where BrandID=:brandid",
                 "Insert into Group_DownloadVersion(BrandID," + c + ") values(:brandid,GetDate())",
                 edition, {});
}

void Tdmio::StampEveryBrand(std::string_view column) {
  Execute("Update Group_DownloadVersion set " + std::string(column) + "=GetDate()", Edition::Store());
}

void Tdmio::BeginWrite() {
  if (checkOnly_) {
    if (!itemOpen_) ac1.Savepoint(kItemSavepoint);
    itemOpen_ = true;
  } else if (!ac1.InTransaction()) {
    ac1.BeginTrans();
  }
}

void Tdmio::BeginCheck(const Edition& edition) {
  ac1.BeginTrans();
  checkOnly_ = true;
  // A read of a table, so that engines that open the transaction only then
  // (SQL Server through ODBC) hold it before the first savepoint.
  SchemaVersion(edition);
}

void Tdmio::EndCheck() {
  if (!checkOnly_) return;
  checkOnly_ = itemOpen_ = false;
  if (ac1.InTransaction()) ac1.RollbackTrans();
}

void Tdmio::WriteItem(const std::function<void()>& body) {
  try {
    body();
    if (checkOnly_) {
      if (itemOpen_) {
        itemOpen_ = false;
        ac1.ReleaseSavepoint(kItemSavepoint);
      }
    } else if (ac1.InTransaction()) {
      ac1.CommitTrans();
    }
  } catch (...) {
    try {
      if (checkOnly_) {
        if (itemOpen_) {
          itemOpen_ = false;
          ac1.RollbackToSavepoint(kItemSavepoint);
        }
      } else if (ac1.InTransaction()) {
        ac1.RollbackTrans();
      }
    } catch (...) {
      // The item's own error is the one worth reporting.
    }
    qSet.Close();
    throw;
  }
}

RefList Tdmio::Load(std::string_view sql, const Edition& edition) {
  std::vector<db::BoundParam> params;
  if (edition.IsGroup())
    params.push_back(db::BoundParam{"brandid", db::ParamType::String, false, edition.BrandId(), {}, 0});
  return RefList(ac1.RunQuery(std::string(sql), params));
}

}  // namespace sx
