// fixturectl: reads and closes the fixture window from a console, for the
// demo and for poking at the fixture by hand.
//   fixturectl wait      waits (up to 20 s) until the fixture's edit has the focus
//   fixturectl text      prints the edit's text
//   fixturectl counts    prints the two button labels
//   fixturectl centre C  prints the screen point "X,Y" at the centre of control C:
//                        button 1 or 2, the edit, or "key5", the middle key of
//                        the accessible tree's keypad
//   fixturectl close     closes the fixture
//   fixturectl hold      keeps the desktop up until it is killed
// Exit code 0 on success, 1 when there is no fixture window.

#include <windows.h>

#include <string>

#include "AccessibleTreeLayout.h"
#include "FixtureLayout.h"

namespace {

std::wstring TextOf(HWND window) {
  const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT copied =
      SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(copied));
  return text;
}

void Print(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                      size, nullptr, nullptr);
  bytes += "\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
            &written, nullptr);
}

bool EditHasFocus(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  return GetGUIThreadInfo(thread, &info) &&
         info.hwndFocus == GetDlgItem(window, fixture::kEditId);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "hold") {
    // Wine starts its desktop process for the first program that uses the
    // desktop and ends it with the last one; every test program would pay
    // for that start, and the desktop process would keep the first one's
    // output handles open. Holding it from a process with no output avoids
    // both.
    GetDesktopWindow();
    for (;;) Sleep(INFINITE);
  }
  HWND window = nullptr;
  const DWORD deadline = GetTickCount() + (command == "wait" ? 20000 : 0);
  for (;;) {
    window = FindWindowW(fixture::kWindowClass, nullptr);
    if (window != nullptr && (command != "wait" || EditHasFocus(window))) break;
    if (static_cast<LONG>(GetTickCount() - deadline) >= 0) return 1;
    Sleep(50);
  }
  if (command == "text") {
    Print(TextOf(GetDlgItem(window, fixture::kEditId)));
  } else if (command == "counts") {
    Print(TextOf(GetDlgItem(window, fixture::kLabelOneId)));
    Print(TextOf(GetDlgItem(window, fixture::kLabelTwoId)));
  } else if (command == "centre" && argc > 2) {
    const std::string which = argv[2];
    if (which == "key5") {
      const HWND tree = GetDlgItem(window, fixture::kAccessibleTreeId);
      POINT origin{0, 0};
      if (tree == nullptr || !ClientToScreen(tree, &origin)) return 1;
      const POINT centre =
          fixture::acctree::ScreenCentre(fixture::acctree::kCentreKeyNode, origin);
      Print(std::to_wstring(centre.x) + L"," + std::to_wstring(centre.y));
      return 0;
    }
    const int id = which == "1"      ? fixture::ButtonId(1)
                   : which == "2"    ? fixture::ButtonId(2)
                   : which == "edit" ? fixture::kEditId
                                     : 0;
    RECT rect{};
    if (id == 0 || !GetWindowRect(GetDlgItem(window, id), &rect)) return 1;
    Print(std::to_wstring((rect.left + rect.right) / 2) + L"," +
          std::to_wstring((rect.top + rect.bottom) / 2));
  } else if (command == "close") {
    SendMessageW(window, WM_CLOSE, 0, 0);
  } else if (command != "wait") {
    return 1;
  }
  return 0;
}
