// Where the profile functions read and write their files, whole. Players' files live on
// disk; a fuzz target keeps its score files in memory, so that an input costs no system
// calls while every line is still parsed and written by the code players run.
#pragma once

#include <string>
#include <string_view>

enum class TReadStatus { Ok, Missing, Failed };

class TProfileStorage {
 public:
  virtual ~TProfileStorage() = default;
  virtual TReadStatus Read(const char* path, std::string& content) = 0;
  // Replaces the file's content so that readers see the old or the new, never half.
  virtual bool Replace(const char* path, std::string_view content) = 0;
};

// The storage in use: the disk, unless SetProfileStorage gave another.
TProfileStorage& ProfileStorage();

// The caller keeps storage alive while it is set; nullptr goes back to the disk.
void SetProfileStorage(TProfileStorage* storage);
