// A module: the program's name and the home of its resources.
#pragma once

#include <string>

class TModule {
 public:
  explicit TModule(const char* name = nullptr) : Name(name != nullptr ? name : "") {}
  virtual ~TModule() = default;
  const std::string& GetName() const { return Name; }

 private:
  std::string Name;
};
