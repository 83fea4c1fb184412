#include "datamodule/udmio.h"

#include "base/Text.h"
#include "ui/Host.h"
#include "ui/uLogMessage.h"

namespace sx {

Tdmio::Tdmio() = default;

Tdmio::~Tdmio() {
  // DataModuleDestroy
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

bool Tdmio::CheckVersion(bool group, std::string& message) {
  const char* stamp = group ? kGroupStamp : kStoreStamp;
  bool result = false;
  try {
    qGet.Close();
    qGet.SetSQL(group ? "select VersionNo from Group_Version" : "select VersionNo from Version");
    qGet.Open();
    std::string version = qGet.Eof() ? std::string() : qGet.Fields(0).AsString();
    if (UpperCase(version) == stamp) {
      result = true;
    } else {
      std::string text = std::string(group ? "当前集团版数据库版本号:" : "当前Quelvo数据库版本号:") +
                         version + "\r\n与本程序支持的版本号:" + stamp + "不符,\r\n请问要继续吗？";
      result = ui::Confirm("请确认", text);
    }
    qGet.Close();
  } catch (const std::exception& e) {
    qGet.Close();
    message = e.what();
    result = false;
  }
  return result;
}

bool Tdmio::Start(const std::string& connectionString, bool group, std::string& message) {
  Connect(connectionString);
  return CheckVersion(group, message);
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

void Tdmio::BeginWrite() {
  if (!ac1.InTransaction()) ac1.BeginTrans();
}

void Tdmio::WriteItem(const std::string& logLine, const std::function<void()>& body) {
  ui::LogInfo(logLine);
  try {
    body();
    if (ac1.InTransaction()) ac1.CommitTrans();
  } catch (const std::exception& e) {
    try {
      if (ac1.InTransaction()) ac1.RollbackTrans();
    } catch (...) {
      // The item's own error is the one worth reporting.
    }
    qSet.Close();
    ui::LogError(e.what());
  }
}

void Tdmio::StampDownloadVersion(const std::string& update, const std::string& insert,
                                 const std::string& brandId) {
  auto bindsBrand = [](const std::string& sql) {
    return LowerCase(sql).find(":brandid") != std::string::npos;
  };
  qSet.Close();
  qSet.SetSQL(update);
  if (bindsBrand(update)) qSet.SetString("brandid", 8, brandId);
  if (qSet.ExecSQL() < 1) {
    qSet.SetSQL(insert);
    qSet.SetString("brandid", 8, brandId);
    qSet.ExecSQL();
  }
}

bool Tdmio::Find(db::Query& list, const std::string& column, const std::string& value,
                 bool ignoreCase) {
  return list.Locate(column, value, ignoreCase);
}

}  // namespace sx
