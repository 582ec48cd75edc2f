// The floor of a capture by position: a program that only joins COM, asks
// the accessibility layer for the object at a point and prints its name.
// The benchmarks hold uiprobe's capture against it.
//   capturebaseline X,Y
// Exit code 0 with the name printed, 3 when there is no object at the
// point, 1 for a bad argument.

#include <windows.h>
#include <objbase.h>
#include <oleacc.h>
#include <oleauto.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  POINT point{};
  if (argc != 2 || std::sscanf(argv[1], "%ld,%ld", &point.x, &point.y) != 2) return 1;
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int exitCode = 3;
  IAccessible* object = nullptr;
  VARIANT child;
  VariantInit(&child);
  if (SUCCEEDED(AccessibleObjectFromPoint(point, &object, &child)) && object) {
    BSTR name = nullptr;
    std::string text;
    if (object->get_accName(child, &name) == S_OK && name) {
      const int length = SysStringLen(name);
      const int size = WideCharToMultiByte(CP_OEMCP, 0, name, length, nullptr, 0, nullptr, nullptr);
      text.resize(static_cast<size_t>(size));
      WideCharToMultiByte(CP_OEMCP, 0, name, length, text.data(), size, nullptr, nullptr);
      SysFreeString(name);
    }
    text += "\r\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()),
              &written, nullptr);
    object->Release();
    exitCode = 0;
  }
  VariantClear(&child);
  if (SUCCEEDED(com)) CoUninitialize();
  return exitCode;
}
