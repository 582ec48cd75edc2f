// The command file: its bytes decoded as the byte-order mark says (else as
// the ANSI code page), split into lines, and every line played as keyfeed
// plays a --file, through a port that sends nothing.
//
// Rules checked: the decoded text holds no zero character; no line holds a
// line break; the lines and their breaks account for the whole text; only
// the project's own errors leave a play, and no key is left down after one.

#include <cstddef>
#include <cstdint>

#include "CodePage.h"
#include "FuzzInput.h"
#include "ProgramTags.h"
#include "SendKeys.h"
#include "TextLines.h"

namespace {

bool IsLineBreak(wchar_t c) {
  return c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f' || c == 0x2028 || c == 0x2029;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring text = DecodeText(fuzz::Bytes(data, size), AnsiToWide);
  fuzz::Check(text.find(L'\0') == std::wstring::npos, "the decoded text holds a zero");

  const std::vector<std::wstring> lines = SplitLines(text);
  size_t textWithoutBreaks = 0;
  for (const wchar_t c : text) {
    if (!IsLineBreak(c)) ++textWithoutBreaks;
  }
  size_t inLines = 0;
  for (const std::wstring& line : lines) {
    for (const wchar_t c : line) fuzz::Check(!IsLineBreak(c), "a line holds a line break");
    inLines += line.size();
  }
  fuzz::Check(inLines == textWithoutBreaks, "the lines lose or add characters");
  fuzz::Check(lines.size() <= text.size(), "more lines than characters");

  const TSendKeysOptions options{.ProcessMessages = true,
                                 .RaiseErrors = true,
                                 .ReleaseModifiers = true};
  for (const std::wstring& line : lines) {
    fuzz::SilentInput input;
    const TExtTagHandler handler = [&input](const std::wstring& name,
                                            const std::wstring& param) {
      return HandleExtendedTag(input, name, param);
    };
    bool failed = false;
    try {
      SendKeys(input, line, handler, options);
    } catch (const Exception&) {
      failed = true;
    }
    fuzz::Check(input.Down().empty(), "a key is left down after a line");
    // The program reports a failure and plays no further line.
    if (failed) break;
  }
  return 0;
}
