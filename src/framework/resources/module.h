// A module: the program's name and the home of its resources.
#pragma once

#include <string>

#include "platform/wintypes.h"

class TModule {
 public:
  explicit TModule(const char* name = nullptr) : Name(name != nullptr ? name : "") {}
  virtual ~TModule() = default;
  const std::string& GetName() const { return Name; }

  // Copies string-table entry id into buffer (cut to size - 1 characters) and returns its
  // length; 0 with an empty buffer when there is no such entry.
  int LoadString(UINT id, char* buffer, int size) const;
  std::string LoadString(UINT id) const;

 private:
  std::string Name;
};
