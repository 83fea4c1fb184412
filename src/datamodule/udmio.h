// The data module of one transfer call: the connection and its queries, the
// schema version, the central control flags, the item write transaction, the
// download version stamps and the reference lists. It knows the database only:
// prompts and log lines belong to the transfer's step sequence.
#pragma once
#include <functional>
#include <string>
#include <string_view>

#include "datamodule/Edition.h"
#include "datamodule/RefList.h"
#include "db/Database.h"

namespace sx {

// Sets a statement's own parameter values.
using Bind = std::function<void(db::Query&)>;

class Tdmio {
 public:
  Tdmio() = default;
  Tdmio(const Tdmio&) = delete;
  Tdmio& operator=(const Tdmio&) = delete;
  // Closes qGet and qSet, then disconnects.
  ~Tdmio();

  // Sets the connection string and connects; the engine's error propagates.
  void Connect(const std::string& connectionString);

  // The edition's schema version as stored, empty when the version table has
  // no row; throws when it cannot be read.
  std::string SchemaVersion(const Edition& edition);
  // True when a stored version is the edition's stamp (letter case aside).
  static bool VersionMatches(const std::string& version, const Edition& edition);

  // False when the brand's central control column is 1 (store imports).
  bool ImportAllowed(const std::string& column);

  // Gives `q` the statement, binds :brandid in the group edition and the
  // caller's values, and opens it.
  db::Query& Open(db::Query& q, std::string_view sql, const Edition& edition,
                  const Bind& bind = {});
  // Runs a write statement on qSet inside the item's transaction (begun here
  // when none is open); returns the rows affected.
  long Execute(std::string_view sql, const Edition& edition, const Bind& bind = {});
  // Runs `update`; when it changed no row, runs `insert` with the same values.
  // True when it inserted.
  bool UpdateOrInsert(std::string_view update, std::string_view insert, const Edition& edition,
                      const Bind& bind);

  // Records the time of a change in the brand's row of Group_DownloadVersion
  // (the row is added when missing). `column` names the kind's stamp.
  void StampDownloadVersion(const Edition& edition, std::string_view column);
  // The same stamp for every brand, for tables all brands share.
  void StampEveryBrand(std::string_view column);

  // Runs one item's writes in its own transaction: commits after `body`, or
  // rolls back and rethrows when `body` throws.
  void WriteItem(const std::function<void()>& body);
  // Begins the item's transaction unless one is open.
  void BeginWrite();

  // Check mode: one transaction holds the whole import, each item's writes
  // run under a savepoint in it (undone when the item fails, kept when it
  // succeeds, so later items see earlier ones as written), and EndCheck
  // rolls the whole back, leaving the database as it was.
  void BeginCheck(const Edition& edition);
  void EndCheck();

  // Reference lists of the edition (the group edition: the brand's rows).
  RefList MenuItems(const Edition& edition);
  RefList Users(const Edition& edition);
  RefList StoreItems(const Edition& edition);
  RefList MenuTypes(const Edition& edition);
  RefList Subjects(const Edition& edition);
  RefList Depts(const Edition& edition);
  RefList TimeSections(const Edition& edition);
  RefList MealSections(const Edition& edition);
  RefList HotelIDs(const Edition& edition);
  RefList CardTypes();
  RefList Stores();

  db::Connection ac1;
  db::Query qGet{ac1};
  db::Query qSet{ac1};
  db::Query qLookup{ac1};

 private:
  RefList Load(std::string_view sql, const Edition& edition);

  bool checkOnly_ = false;
  bool itemOpen_ = false;  // check mode: the item's savepoint is set
};

}  // namespace sx
