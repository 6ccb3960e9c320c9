#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/service_catalogue.h"
#include "optimizer/modes_and_presets.h"
#include "optimizer/preset_file.h"
#include "optimizer/start_type_triads.h"
#include "registry/registry_access.h"
#include "text/ansi_codec.h"

namespace svctune {

// The user's choices as they are kept between runs: the preset list file TQSE.ini (items and
// selected index) and the state of every check box and of both mode options, one text value per
// control under HKEY_LOCAL_MACHINE\SOFTWARE, named from the control's settings stem.
//
// Once the saved states have been restored, every change is written as it happens: a box's
// state before its handler writes the start type, a new selection of the list before its preset
// is applied. Only what changed is written, so a run that ends without its shutdown (killed,
// crashed, power lost) leaves what the next start needs to bring the user's latest choice
// back. Whoever drives the boxes, the options and the list (the main window or another caller)
// gets this by driving them.
//
// A service's start type is written only while its three boxes are stored as they stand: when
// a box's state cannot be saved, the boxes' handlers write no start type for that service (see
// StartTypeTriads::HoldWritesUnless), so the machine holds what the next start writes again.
class SavedChoices {
 public:
  SavedChoices(registry::RegistryAccess& registry, PresetFileStore& presetFile,
               const AnsiCodec& codePage936, StartTypeTriads& triads, ModesAndPresets& modes);
  SavedChoices(const SavedChoices&) = delete;
  SavedChoices& operator=(const SavedChoices&) = delete;

  // Empties the list and fills it from TQSE.ini; selecting the saved item applies its preset.
  // A missing file leaves the list empty. A file that could not be read is never replaced in
  // this run; one that was not read whole is kept as TQSE.ini.bak before it is first replaced.
  void LoadPresetList();
  // Sets every box (Check1 to Check171), then Option1 and Option2, to its saved state; only the
  // texts this class writes are taken. Afterwards every change is saved as it happens.
  void RestoreControlStates();
  // The shutdown: writes the preset list and all 170 control states.
  void SaveAll();

  // Saves the preset list without a selection before the selection is dropped, so that the
  // next start applies no preset. False, with why, when the list cannot be saved so (TQSE.ini
  // could not be read at the load step, or cannot be replaced); the selection stays then.
  bool DropPresetSelection(std::wstring& reason);

  // Why the entry's boxes are not stored as they stand (the last save of one of them failed);
  // empty when they are.
  std::wstring UnsavedReason(const ServiceEntry& entry) const;
  // What else is not stored as it stands: the preset list ("TQSE.ini") and the mode options,
  // each named, with why.
  std::vector<std::pair<std::wstring, std::wstring>> UnsavedOthers() const;

 private:
  enum class FileCondition { kWhole, kNotReadWhole, kUnreadable };

  void OnBoxChanged(int box);
  void OnModesChanged();
  bool SavePresetList(int listIndex);
  void SaveBox(int box);
  void SaveOption(int option);
  bool Stored(const ServiceEntry& entry) const;
  registry::Variant ReadSaved(const std::wstring& stem);
  // Empty when the text took, else why not.
  std::wstring WriteSaved(const std::wstring& stem, const std::wstring& text);

  registry::RegistryAccess& registry_;
  PresetFileStore& presetFile_;
  const AnsiCodec& codePage936_;
  StartTypeTriads& triads_;
  ModesAndPresets& modes_;
  // A missing file counts as whole: there is nothing of it to lose.
  FileCondition file_ = FileCondition::kWhole;
  bool following_ = false;
  // What the store holds now, as far as the next start is concerned: the state each control
  // will be given and the selection the file names.
  std::array<int, kHighestBoxNumber + 1> savedBoxes_{};
  std::array<bool, 3> savedOptions_{};  // indexed by option number
  int savedListIndex_ = -1;
  // Why the last save of each box, option and of the list failed; empty after one that took.
  std::array<std::wstring, kHighestBoxNumber + 1> boxErrors_;
  std::array<std::wstring, 3> optionErrors_;
  std::wstring listError_;
};

// Before a run changes anything else: saves TQSE.ini without the selection it holds, so that
// the next start applies no preset. True when the file is missing or selects nothing; false,
// with why, when it cannot be read or replaced. A file that was not read whole is kept as
// TQSE.ini.bak first.
bool SavePresetListWithoutSelection(PresetFileStore& presetFile, const AnsiCodec& codePage936,
                                    std::wstring& reason);

}  // namespace svctune
