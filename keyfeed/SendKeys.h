#pragma once
// The tag language: plain characters, "{{" for a brace, key names in braces,
// held modifiers ({CTRL}...{/CTRL}), and tags left to a handler.

#include <functional>
#include <string>
#include <string_view>

#include "Exception.h"
#include "InputPort.h"

struct TSendKeysOptions {
  // After each virtual-key event, dispatch the thread's keyboard messages
  // and pause 10 ms.
  bool ProcessMessages = false;
  // An error ends the play and reaches the caller; else the item is skipped.
  bool RaiseErrors = false;
  // Release every modifier key when the play ends.
  bool ReleaseModifiers = false;
};

// Called for a tag whose name is no key name, with the tag's name and
// parameter; answers true when it has carried the tag out.
using TExtTagHandler =
    std::function<bool(const std::wstring& name, const std::wstring& param)>;

class EInvalidKey : public Exception {
 public:
  explicit EInvalidKey(std::wstring message)
      : Exception("EInvalidKey", std::move(message)) {}
};

class EInvalidTag : public Exception {
 public:
  explicit EInvalidTag(std::wstring message)
      : Exception("EInvalidTag", std::move(message)) {}
};

// Plays Text through the port. The result is that of the last item played;
// false for an empty text.
bool SendKeys(InputPort& input, std::wstring_view text, const TExtTagHandler& handler,
              TSendKeysOptions options);
