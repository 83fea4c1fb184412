// Rooms and tables of a store: the dining rooms, the menu types each room may
// serve, and the tables standing in each room.
#pragma once
#include <string>
#include <vector>

#include "transfer/Run.h"

namespace sx {

// One table of a room.
struct TTableItem {
  std::string TableNo;
  std::string RoomNo;
  std::string TableAlias;  // the table's name
  int SeatQty = 0;
  double OnePrice = 0;  // the amount of an untimed consumption
  int CanOnePrice = 0;
  int QuickUse = 0;   // a fast-food table
  int UsePinTai = 0;  // parties may share the table
  int OutUse = 0;     // may serve take-away
  std::string Remark;
  int Deleted = 0;
};

// One room with its permitted menu types and its tables.
struct TRoomItem {
  std::string RoomNo;
  std::string RoomName;
  double ServiceRate = 0;  // percent
  int Deleted = 0;
  int NoServiceFee = 0;
  std::vector<std::string> menuTypes;  // upper case, without repeats
  std::vector<TTableItem> tables;
};

namespace uTableIO {
void Export(ExportRun& run);
void Import(ImportRun& run);
}  // namespace uTableIO

}  // namespace sx
