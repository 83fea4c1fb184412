// Shifts (meal sections: the named service periods of a day) and time
// sections (plain start and end times), in one sheet of two sections. Both
// are keyed by a small code that the import assigns by position in the sheet.
#pragma once
#include <string>

#include "transfer/Run.h"

namespace sx {

// A shift read from the sheet; times as typed ("HH:NN" expected, may be empty).
struct TShiftItem {
  std::string name;
  int stopped = 0;
  std::string startTime;
  std::string endTime;
};

// A time section read from the sheet; times as typed.
struct TTimeSectionItem {
  std::string startTime;
  std::string endTime;
};

namespace uShiftIO {
void Export(ExportRun& run);
void Import(ImportRun& run);
}  // namespace uShiftIO

}  // namespace sx
