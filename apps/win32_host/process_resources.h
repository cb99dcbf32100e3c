// What the process holds, as the load cycles and the soak count it, and
// how two counts differ. Counting is in load_cycles.cpp (it needs Win32);
// this part is plain data, so the soak's judgement can be tested alone.
#pragma once

#include <map>
#include <string>

namespace rillmark::testhost {

// What the process holds, counted as far as Wine reports it and beside that
// by this program itself (see load_cycles.cpp).
struct Resources {
  long long windows = 0;
  long long gdiObjects = 0;    // GetGuiResources
  long long userObjects = 0;   // GetGuiResources
  long long handles = 0;       // GetProcessHandleCount
  long long probedHandles = 0;
  std::map<std::string, long long> handleTypes;  // the probed handles by their object's type
  // Of those, the registry keys Wine's file dialog leaves open: it opens
  // ComDlg32\LastVisitedMRU each time it returns a file name and never
  // closes it (FILEDLG95_MRU_save_filename in its comdlg32).
  long long fileDialogMruKeys = 0;
  long long threads = 0;
  long long privateUsage = 0;  // GetProcessMemoryInfo
  long long committedPrivate = 0;
  long long heapBytes = 0;     // in use, over every heap of the process
};

// The handle types whose count differs, as "Key +3, Event -1"; empty when none.
std::string handleTypeChanges(const Resources& before, const Resources& after);

}  // namespace rillmark::testhost
