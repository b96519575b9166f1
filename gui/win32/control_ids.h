// The window classes and control ids of the Win32 front end: the windows'
// procedures tell their controls apart by them, and tools that drive the
// program from outside (the end-to-end tests) find the controls by them.
#pragma once

namespace wb::win32 {

inline constexpr wchar_t kMainWindowClass[] = L"WbMehrfachausgabe";
inline constexpr wchar_t kSetupDialogClass[] = L"WbSetupDialog";

enum MainControlId : int {
  kIdIntroLabel = 100,
  kIdEntryList = 101,
  kIdLinkLabel = 102,
  kIdRunButton = 103,
  kIdOpenPdf = 104,
  kIdCompletePdfLabel = 105,
};

enum SetupControlId : int {
  kIdName = 200,
  kIdForbidden = 201,
  kIdExampleLink = 202,
  kIdStorageLink = 203,
  kIdAction = 204,
  // The drop-downs: kIdFieldBase + the field's SetupField value.
  kIdFieldBase = 210,
};

}  // namespace wb::win32
