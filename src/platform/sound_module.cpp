// Loads the sound player module with QLibrary: Qt Core alone, so the program starts
// without Qt Multimedia. A module once loaded stays loaded, since the player it holds
// lives until the application object goes.
#include "platform/sound_module.h"

#include "platform/files.h"
#include "platform/sound_test_hooks.h"

#include <QFile>
#include <QLibrary>
#include <QString>
#include <QStringList>

#include <string>
#include <utility>

namespace {

struct TModuleState {
  const TSoundPlayerTable* table = nullptr;
  bool tried = false;
  std::string onlyFile;  // set by tests; empty for the usual places
};

TModuleState& State() {
  static TModuleState state;
  return state;
}

const TSoundPlayerTable* Load(const QString& path) {
  QLibrary library(path);
  if (!library.load()) return nullptr;
  const auto entry = reinterpret_cast<TSoundPlayerEntry>(library.resolve(kSoundPlayerEntryName));
  const TSoundPlayerTable* table = entry != nullptr ? entry() : nullptr;
  return table != nullptr && table->version == kSoundPlayerVersion ? table : nullptr;
}

QStringList Candidates() {
  const TModuleState& state = State();
  if (!state.onlyFile.empty()) return {QFile::decodeName(state.onlyFile.c_str())};
  // Beside the program where the build and an installation put it; the build's own copy
  // serves programs that live elsewhere, such as the tests.
  return {QFile::decodeName(ProgramDirectory()) + QStringLiteral(KAVRO_SOUND_MODULE_NAME),
          QStringLiteral(KAVRO_SOUND_MODULE_BUILD_PATH)};
}

}  // namespace

const TSoundPlayerTable* SoundPlayer() {
  TModuleState& state = State();
  if (!state.tried) {
    state.tried = true;
    for (const QString& path : Candidates()) {
      state.table = Load(path);
      if (state.table != nullptr) break;
    }
  }
  return state.table;
}

const TSoundPlayerTable* LoadedSoundPlayer() {
  return State().table;
}

void SetSoundModuleFile(const std::string& file) {
  TModuleState& state = State();
  if (state.table != nullptr) state.table->stop();
  state = TModuleState{};
  state.onlyFile = file;
}
