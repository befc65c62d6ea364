// Modules: string-table lookup.
#include "framework/resources/module.h"

#include "framework/resources/resources.h"
#include "framework/text/text_units.h"

int TModule::LoadString(UINT id, char* buffer, int size) const {
  const std::string* text = TResources::FindString(id);
  return CopyText(text != nullptr ? *text : std::string(), buffer, size);
}

std::string TModule::LoadString(UINT id) const {
  const std::string* text = TResources::FindString(id);
  return text != nullptr ? *text : std::string();
}
