// The tag language: one sequence, as --run gives it, played through a port
// that sends nothing, with the program tags (MPOS, MKEY, WAIT) behind the
// handler. Played twice: with the options of the program (errors end the
// play, modifiers released at the end) and with none (errors skip an item).
//
// Rules checked: only the project's own errors leave the play; a key other
// than a modifier is never left down; with the release at the end, no key
// is left down at all.

#include <cstddef>
#include <cstdint>

#include "FuzzInput.h"
#include "KeyTable.h"
#include "ProgramTags.h"
#include "SendKeys.h"

namespace {

void PlayOnce(const std::wstring& text, TSendKeysOptions options) {
  fuzz::SilentInput input;
  const TExtTagHandler handler = [&input](const std::wstring& name,
                                          const std::wstring& param) {
    return HandleExtendedTag(input, name, param);
  };
  try {
    SendKeys(input, text, handler, options);
  } catch (const Exception&) {
    // An invalid tag or key: the program reports it and ends.
  }
  for (const std::uint8_t vk : input.Down()) {
    fuzz::Check(IsModifierKey(vk), "a key other than a modifier is left down");
  }
  if (options.ReleaseModifiers) fuzz::Check(input.Down().empty(), "a modifier is left down");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring text = fuzz::TextFromBytes(fuzz::Bytes(data, size));
  PlayOnce(text, {.ProcessMessages = true, .RaiseErrors = true, .ReleaseModifiers = true});
  PlayOnce(text, {});
  return 0;
}
