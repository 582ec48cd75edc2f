// The other program in the clipboard tests of the persistence container:
// what one process places on the clipboard, another must read back.
//
//   clipboardpeer load <format name>
//     loads a container from the clipboard under the registered format and
//     writes its container stream to standard output in hexadecimal;
//     exit code 0 when it loaded, 1 when there was nothing to load.
//   clipboardpeer save <format name> <container stream in hexadecimal>
//     places that container on the clipboard; exit code 0 when it did,
//     1 when the clipboard refused it.
// Exit code 2 for a wrong command line or an error.

#include <windows.h>
#include <objidl.h>

#include <exception>
#include <string>
#include <string_view>

#include "Bytes.h"
#include "ObjectContainer.h"

namespace {

using testsupport::BytesFromHex;
using testsupport::HexOf;

Microsoft::WRL::ComPtr<IStream> MemoryStream(std::string_view bytes) {
  Microsoft::WRL::ComPtr<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.GetAddressOf()))) return nullptr;
  ULONG written = 0;
  stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
  const LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  return stream;
}

std::string ContainerBytes(IPersistContainer* container) {
  const Microsoft::WRL::ComPtr<IStream> stream = MemoryStream({});
  container->SaveToStream(stream.Get());
  STATSTG stat{};
  stream->Stat(&stat, STATFLAG_NONAME);
  std::string bytes(static_cast<size_t>(stat.cbSize.QuadPart), '\0');
  const LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  ULONG read = 0;
  stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
  return bytes;
}

void WriteOut(const std::string& text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()),
            &written, nullptr);
}

int Run(int argc, char** argv) {
  if (argc < 3) return 2;
  const std::string command = argv[1];
  const UINT format = RegisterClipboardFormatA(argv[2]);
  if (format == 0) return 2;
  const auto container = NewPersistContainer();
  if (command == "load" && argc == 3) {
    if (!container->LoadFromClipboard(format)) return 1;
    WriteOut(HexOf(ContainerBytes(container.Get())));
    return 0;
  }
  if (command == "save" && argc == 4) {
    const auto source = MemoryStream(BytesFromHex(argv[3]));
    if (!source || !container->LoadFromStream(source.Get())) return 2;
    return container->SaveToClipboard(format, true) ? 0 : 1;
  }
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& error) {
    WriteOut(std::string("error: ") + error.what());
    return 2;
  }
}
