// Accelerator tables: keys with modifiers that stand for commands.
#pragma once

#include "framework/resources/resources.h"

class TModule;

class TAccelTable {
 public:
  TAccelTable() = default;
  // Accelerator resource id; empty when there is no such resource.
  TAccelTable(TModule* module, int resourceId);
  explicit TAccelTable(TAccelTableResource entries) : Entries(std::move(entries)) {}

  bool IsOK() const { return !Entries.empty(); }
  const TAccelTableResource& GetEntries() const { return Entries; }

  // The command of a key pressed with exactly these modifiers, or 0. A character entry
  // (without FVIRTKEY) matches the key that types its character.
  UINT Translate(UINT virtualKey, bool ctrl, bool shift, bool alt) const;

 private:
  TAccelTableResource Entries;
};
