// The data module of one transfer call: the connection, the named queries,
// the schema version check, the central control flag, the download version
// stamp, the item write transaction and the reference lists.
#pragma once
#include <functional>
#include <string>

#include "db/Database.h"

namespace sx {

// Schema version stamps of the two editions.
inline constexpr const char* kStoreStamp = "2.5.2011.1N";
inline constexpr const char* kGroupStamp = "2.5.2011.1G";

class Tdmio {
 public:
  Tdmio();
  Tdmio(const Tdmio&) = delete;
  Tdmio& operator=(const Tdmio&) = delete;
  // Closes qGet and qSet, then disconnects.
  ~Tdmio();

  // Sets the connection string and connects; the engine's error propagates.
  void Connect(const std::string& connectionString);

  // Compares the database's schema version with the edition's stamp and asks
  // the user when they differ. False when work must not go on: the user
  // declined (message unchanged) or the version could not be read (message set).
  bool CheckVersion(bool group, std::string& message);

  // Connect and CheckVersion, as every worker begins.
  bool Start(const std::string& connectionString, bool group, std::string& message);

  // False when the brand's central control column is 1 (store imports).
  bool ImportAllowed(const std::string& column);

  // Runs one item's writes in its own transaction: logs the item line, runs
  // `body`, commits. Any exception rolls back and is logged as an error line.
  // `body` calls BeginWrite before its first write statement.
  void WriteItem(const std::string& logLine, const std::function<void()>& body);
  // Begins a transaction unless one is open.
  void BeginWrite();

  // Stamps the brand's download version on qSet: runs `update`; when it
  // affected no row, runs `insert` with :brandid bound as a string of size 8.
  // ":brandid" in `update` is bound the same way.
  void StampDownloadVersion(const std::string& update, const std::string& insert,
                            const std::string& brandId);

  // Reference lists (empty brand ID: store database; otherwise that brand's
  // list in the group database).
  void LoadMenuItems(const std::string& brandId);
  void LoadUsers(const std::string& brandId);
  void LoadStoreItems(const std::string& brandId);
  void LoadMenuTypes(const std::string& brandId);
  void LoadSubjects(const std::string& brandId);
  void LoadDepts(const std::string& brandId);
  void LoadTimeSections(const std::string& brandId);
  void LoadMealSections(const std::string& brandId);
  void LoadHotelIDs(const std::string& brandId);
  void LoadCardTypes();
  void LoadStores();

  // Positions `list` on the first row whose `column` equals `value`, ignoring
  // letter case or exactly; true when found.
  static bool Find(db::Query& list, const std::string& column, const std::string& value,
                   bool ignoreCase = true);

  db::Connection ac1;
  db::Query qGet{ac1};
  db::Query qSet{ac1};
  db::Query qMenu{ac1};
  db::Query qMenuType{ac1};
  db::Query qHotelIDs{ac1};
  db::Query qMealSection{ac1};
  db::Query qLookup{ac1};
  db::Query qDept{ac1};
  db::Query qUsers{ac1};
};

}  // namespace sx
