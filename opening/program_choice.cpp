// The program-choice seam and its default, which chooses nothing.
#include "opening/program_choice.h"

#include <atomic>

#include "platform/codepage.h"

namespace wb {
namespace {
ProgramChoiceHook gDefaultHook;
std::atomic<ProgramChoiceHook*> gHook{nullptr};
}  // namespace

std::string ProgramChoiceFilter() { return Ansi(u8"Ausführbare Dateien|*.exe;*.com;*.bat|Alle Dateien|*.*"); }

bool ProgramChoiceHook::ChooseProgram(const ProgramChoiceRequest&, std::string&) { return false; }

ProgramChoiceHook& GetProgramChoiceHook() {
  ProgramChoiceHook* hook = gHook.load();
  return hook ? *hook : gDefaultHook;
}

void SetProgramChoiceHook(ProgramChoiceHook* hook) { gHook.store(hook); }

}  // namespace wb
