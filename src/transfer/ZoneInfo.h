// The zone info text stored with group records that apply to listed branch
// restaurants: the branches grouped under their zones, one per line, e.g.
//   [East]
//       One
//       Two
//   [West]
//       Three
// with CR LF between lines and none at the end.
#pragma once
#include <string>
#include <vector>

#include "datamodule/RefList.h"

namespace sx {

// A branch restaurant and its zone.
struct ZoneBranch {
  std::string zoneId;
  std::string zoneName;
  std::string hotelName;
};

// The text for branches given in zone order: a "[zone]" line whenever the
// zone differs from the previous branch's, then four blanks and the branch's
// name; blanks and line breaks trimmed from both ends.
std::string ZoneInfoText(const std::vector<ZoneBranch>& branches);

// The text for the branch restaurants `hotelIds` (letter case aside), taken in
// the order of `hotels`, a list with the columns HotelID, HotelName, ZoneID and
// ZoneName sorted by zone. IDs that the list lacks do not appear.
std::string ZoneInfoText(const RefList& hotels, const std::vector<std::string>& hotelIds);

}  // namespace sx
