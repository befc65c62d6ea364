// Accelerator lookup.
#include "framework/resources/accelerators.h"

#include <cctype>

TAccelTable::TAccelTable(TModule*, int resourceId) {
  if (const TAccelTableResource* table = TResources::FindAccelerators(resourceId)) Entries = *table;
}

UINT TAccelTable::Translate(UINT virtualKey, bool ctrl, bool shift, bool alt) const {
  for (const TAccelResource& entry : Entries) {
    const bool virtualEntry = (entry.Flags & FVIRTKEY) != 0;
    const UINT key = virtualEntry
                         ? entry.Key
                         : static_cast<UINT>(std::toupper(static_cast<unsigned char>(entry.Key)));
    if (key != virtualKey || ((entry.Flags & FCONTROL) != 0) != ctrl ||
        ((entry.Flags & FALT) != 0) != alt) {
      continue;
    }
    // A character entry says nothing of Shift: the character decides.
    if (virtualEntry && ((entry.Flags & FSHIFT) != 0) != shift) continue;
    return entry.Command;
  }
  return 0;
}
