#include "transfer/ZoneInfo.h"

#include <algorithm>

#include "base/Text.h"

namespace sx {

std::string ZoneInfoText(const std::vector<ZoneBranch>& branches) {
  std::string text;
  const ZoneBranch* previous = nullptr;
  for (const ZoneBranch& b : branches) {
    if (!previous || previous->zoneId != b.zoneId) text += "[" + b.zoneName + "]\r\n";
    text += "    " + b.hotelName + "\r\n";
    previous = &b;
  }
  return Trim(text);
}

std::string ZoneInfoText(const RefList& hotels, const std::vector<std::string>& hotelIds) {
  std::vector<ZoneBranch> branches;
  for (std::size_t i = 0; i < hotels.Size(); ++i) {
    RefList::Row row = hotels.At(i);
    std::string id = row.Text("HotelID");
    bool listed = std::any_of(hotelIds.begin(), hotelIds.end(),
                              [&](const std::string& h) { return SameTextIgnoringCase(h, id); });
    if (listed) branches.push_back({row.Text("ZoneID"), row.Text("ZoneName"), row.Text("HotelName")});
  }
  return ZoneInfoText(branches);
}

}  // namespace sx
