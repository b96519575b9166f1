// The two remembered settings of the main window: the selected entry and the
// "Öffnen" check box, in the per-user settings file.
#include "app/live_import_frm.h"
#include "client/client_dirs.h"
#include "client/fast_ini_file.h"

namespace wb {
namespace {
constexpr const char* kSection = "Setup";
constexpr const char* kItemIndexKey = "ItemIndex";
constexpr const char* kOpenPdfKey = "OpenPDF";
}  // namespace

std::string TLiveImportFrm::SettingsFilePath() { return GetClientTempDir("") + kSettingsFileName; }

void TLiveImportFrm::RestoreSettings() {
  TFastIniFile settings(SettingsFilePath());
  int32_t index = settings.ReadNumber(kSection, kItemIndexKey, 0);
  if (lines_.Count() > 0 && index >= 0 && index < lines_.Count()) view_.SelectIndex(index);
  UpdateOpenPdfEnabled();  // the remembered entry may be a print entry
  view_.SetOpenPdfChecked(settings.ReadFlag(kSection, kOpenPdfKey, true));
}

void TLiveImportFrm::StoreSettings() {
  TFastIniFile settings(SettingsFilePath());
  settings.WriteNumber(kSection, kItemIndexKey, view_.SelectedIndex());
  settings.WriteFlag(kSection, kOpenPdfKey, view_.OpenPdfChecked());
  settings.Flush();
}

}  // namespace wb
