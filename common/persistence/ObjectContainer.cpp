#include "ObjectContainer.h"

#include <windows.h>
#include <ole2.h>
#include <msxml2.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <utility>

#include "CodePage.h"
#include "ComObject.h"
#include "ContainerFormat.h"
#include "SystemError.h"
#include "Translation.h"

using Microsoft::WRL::ComPtr;

namespace {

static_assert(sizeof(GUID) == sizeof(Record16), "a GUID is the 16-byte record");

constexpr uint8_t kNoKind = 0xFF;

// The system's text for an error code, without the line break and the full
// stop that end it, so that it can stand at the end of a message.
std::wstring SystemErrorSentence(unsigned long code) {
  std::wstring text = SystemErrorText(code);
  while (!text.empty() && text.back() == L'.') text.pop_back();
  return text;
}

std::wstring FullPathOf(const std::string& fileName) {
  char buffer[MAX_PATH * 2];
  const DWORD length = GetFullPathNameA(fileName.c_str(), sizeof(buffer), buffer, nullptr);
  if (length == 0 || length >= sizeof(buffer)) return AnsiToWide(fileName);
  return AnsiToWide(std::string_view(buffer, length));
}

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) noexcept : handle_(handle) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() {
    if (valid()) CloseHandle(handle_);
  }
  HANDLE get() const noexcept { return handle_; }
  bool valid() const noexcept { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

// A container stream read straight from a file, from its start.
class FileByteSource final : public ByteSource {
 public:
  explicit FileByteSource(HANDLE file) : file_(file) {
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0) {
      remaining_ = static_cast<uint64_t>(size.QuadPart);
    }
  }
  size_t Read(void* buffer, size_t size) override {
    size_t done = 0;
    while (done < size) {
      DWORD read = 0;
      if (!ReadFile(file_, static_cast<char*>(buffer) + done, static_cast<DWORD>(size - done),
                    &read, nullptr) ||
          read == 0) {
        break;
      }
      done += read;
    }
    remaining_ -= std::min<uint64_t>(remaining_, done);
    return done;
  }
  uint64_t Remaining() const override { return remaining_; }

 private:
  HANDLE file_;
  uint64_t remaining_ = 0;
};

std::optional<uint64_t> StreamPosition(IStream* stream) {
  LARGE_INTEGER zero{};
  ULARGE_INTEGER position{};
  if (FAILED(stream->Seek(zero, STREAM_SEEK_CUR, &position))) return std::nullopt;
  return position.QuadPart;
}

std::optional<uint64_t> StreamSize(IStream* stream) {
  STATSTG stat{};
  if (SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME))) return stat.cbSize.QuadPart;
  // A stream that cannot describe itself can still say where its end is.
  const std::optional<uint64_t> position = StreamPosition(stream);
  if (!position) return std::nullopt;
  LARGE_INTEGER offset{};
  ULARGE_INTEGER end{};
  if (FAILED(stream->Seek(offset, STREAM_SEEK_END, &end))) return std::nullopt;
  offset.QuadPart = static_cast<LONGLONG>(*position);
  stream->Seek(offset, STREAM_SEEK_SET, nullptr);
  return end.QuadPart;
}

void SeekTo(IStream* stream, uint64_t position) {
  LARGE_INTEGER offset{};
  offset.QuadPart = static_cast<LONGLONG>(position);
  stream->Seek(offset, STREAM_SEEK_SET, nullptr);
}

// Reads up to `size` bytes; fewer only where the stream ends or fails.
size_t ReadFromStream(IStream* stream, void* buffer, size_t size) {
  size_t done = 0;
  while (done < size) {
    ULONG read = 0;
    const HRESULT result = stream->Read(static_cast<char*>(buffer) + done,
                                        static_cast<ULONG>(size - done), &read);
    // A failing stream may still have delivered part of the bytes; one that
    // claims more than was asked for is not believed.
    done += std::min<size_t>(read, size - done);
    if (FAILED(result) || read == 0) break;
  }
  return done;
}

// Writes as much of the bytes as the stream takes; the count written.
size_t WriteToStream(IStream* stream, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ULONG written = 0;
    const HRESULT result = stream->Write(bytes.data() + done,
                                         static_cast<ULONG>(bytes.size() - done), &written);
    done += std::min<size_t>(written, bytes.size() - done);
    if (FAILED(result) || written == 0) break;
  }
  return done;
}

// A container stream read from a stream at its position, which moves on as
// the bytes are read.
class StreamByteSource final : public ByteSource {
 public:
  explicit StreamByteSource(IStream* stream) : stream_(stream) {
    const std::optional<uint64_t> position = StreamPosition(stream);
    const std::optional<uint64_t> size = StreamSize(stream);
    if (position && size && *size > *position) remaining_ = *size - *position;
  }
  size_t Read(void* buffer, size_t size) override {
    const size_t done = ReadFromStream(stream_, buffer, size);
    remaining_ -= std::min<uint64_t>(remaining_, done);
    return done;
  }
  uint64_t Remaining() const override { return remaining_; }

 private:
  IStream* stream_;
  uint64_t remaining_ = 0;
};

// The whole of a stream from its start; it ends at its end.
std::string ReadWholeStream(IStream* stream) {
  const std::optional<uint64_t> size = StreamSize(stream);
  if (!size || *size > static_cast<uint64_t>(INT32_MAX)) throw EReadError();
  SeekTo(stream, 0);
  std::string bytes(static_cast<size_t>(*size), '\0');
  if (ReadFromStream(stream, bytes.data(), bytes.size()) != bytes.size()) throw EReadError();
  return bytes;
}

// A growable stream in memory holding a copy of the bytes, at position 0.
ComPtr<IStream> NewMemoryStream(std::string_view bytes = {}) {
  ComPtr<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.GetAddressOf()))) {
    throw std::bad_alloc();
  }
  if (WriteToStream(stream.Get(), bytes) != bytes.size()) throw EWriteError();
  SeekTo(stream.Get(), 0);
  return stream;
}

VARIANT StreamVariant(IStream* stream) {
  VARIANT variant;
  VariantInit(&variant);
  variant.vt = VT_UNKNOWN;
  variant.punkVal = stream;  // borrowed: the variant is never cleared
  return variant;
}

// The window that owns what the program places on the clipboard: without an
// owner the clipboard refuses the data. It stays hidden and lives as long as
// the program.
HWND ClipboardOwnerWindow() {
  static const HWND window = [] {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    constexpr wchar_t kClassName[] = L"PersistContainerClipboardOwner";
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);
    return CreateWindowExW(0, kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                           nullptr);
  }();
  return window;
}

// Closes the clipboard at the end of a scope, when this code opened it.
class ClipboardCloser {
 public:
  explicit ClipboardCloser(bool opened) noexcept : opened_(opened) {}
  ClipboardCloser(const ClipboardCloser&) = delete;
  ClipboardCloser& operator=(const ClipboardCloser&) = delete;
  ~ClipboardCloser() {
    if (opened_) CloseClipboard();
  }

 private:
  bool opened_;
};

// A global memory block locked for the length of a scope.
class GlobalLockGuard {
 public:
  explicit GlobalLockGuard(HGLOBAL block) noexcept
      : block_(block), memory_(static_cast<char*>(GlobalLock(block))) {}
  GlobalLockGuard(const GlobalLockGuard&) = delete;
  GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
  ~GlobalLockGuard() {
    if (memory_ != nullptr) GlobalUnlock(block_);
  }
  char* memory() const noexcept { return memory_; }

 private:
  HGLOBAL block_;
  char* memory_;
};

}  // namespace

EReadError::EReadError() : Exception("EReadError", Translate(L"Stream read error")) {}

EWriteError::EWriteError() : Exception("EWriteError", Translate(L"Stream write error")) {}

EFOpenError::EFOpenError(std::wstring_view fullPath, unsigned long errorCode)
    : Exception("EFOpenError", TranslateFormat(L"Cannot open file \"%s\". %s",
                                               {fullPath, SystemErrorSentence(errorCode)})) {}

EFCreateError::EFCreateError(std::wstring_view fullPath, unsigned long errorCode)
    : Exception("EFCreateError", TranslateFormat(L"Cannot create file \"%s\". %s",
                                                 {fullPath, SystemErrorSentence(errorCode)})) {}

// The one implementation of the container interface, created only through
// NewPersistContainer.
class TPersistContainer final : public ComObject<IPersistContainer> {
 public:
  bool STDMETHODCALLTYPE WriteInteger(std::string_view name, int32_t value) override {
    content_.WriteInteger(name, value);
    return true;
  }
  bool STDMETHODCALLTYPE WriteHandle(std::string_view name, uint32_t value) override {
    content_.WriteHandle(name, value);
    return true;
  }
  bool STDMETHODCALLTYPE WriteInt64(std::string_view name, int64_t value) override {
    content_.WriteInt64(name, value);
    return true;
  }
  bool STDMETHODCALLTYPE WriteString(std::string_view name, std::string_view value) override {
    content_.WriteString(name, value);
    return true;
  }
  bool STDMETHODCALLTYPE WriteWideString(std::string_view name,
                                         std::wstring_view value) override {
    content_.WriteWideString(name, value);
    return true;
  }
  bool STDMETHODCALLTYPE WriteRecord16(std::string_view name, const GUID& value) override {
    Record16 record;
    std::memcpy(record.data(), &value, record.size());
    content_.WriteRecord16(name, record);
    return true;
  }
  bool STDMETHODCALLTYPE WritePoint(std::string_view name, const TPoint& value) override {
    content_.WritePoint(name, value);
    return true;
  }
  bool STDMETHODCALLTYPE WriteRect(std::string_view name, const TRect& value) override {
    content_.WriteRect(name, value);
    return true;
  }
  bool STDMETHODCALLTYPE WriteBoolean(std::string_view name, bool value) override {
    content_.WriteBoolean(name, value);
    return true;
  }

  bool STDMETHODCALLTYPE WriteContainer(std::string_view name, IPersistContainer* value) override {
    if (value == nullptr) return false;
    // The nested stream is made whole before anything is added here, so a
    // container written into itself copies what it held, not a block that
    // grows while it is being copied.
    const ComPtr<IStream> nested = NewMemoryStream();
    const bool saved = value->SaveToStream(nested.Get());
    content_.WriteContainerStream(name, ReadWholeStream(nested.Get()));
    return saved;
  }

  bool STDMETHODCALLTYPE WriteStream(std::string_view name, IStream* source) override {
    if (source == nullptr) return false;
    return content_.WriteCountedBytes(name, PersistKind::Stream, ReadWholeStream(source));
  }

  bool STDMETHODCALLTYPE WriteXMLDocument(std::string_view name, IXMLDOMDocument* doc) override {
    if (doc == nullptr) return false;
    const ComPtr<IStream> saved = NewMemoryStream();
    doc->save(StreamVariant(saved.Get()));
    content_.WriteCountedBytes(name, PersistKind::XmlDocument, ReadWholeStream(saved.Get()));
    return true;
  }

  bool STDMETHODCALLTYPE WriteGraphic(std::string_view name, const TBitmap& graphic) override {
    content_.WriteCountedBytes(name, PersistKind::Graphic, EncodeBmp(graphic));
    return true;
  }

  bool STDMETHODCALLTYPE ReadInteger(std::string_view name, int32_t& value) override {
    return Reading([&] { return content_.ReadInteger(name, value); });
  }
  bool STDMETHODCALLTYPE ReadHandle(std::string_view name, uint32_t& value) override {
    return Reading([&] { return content_.ReadHandle(name, value); });
  }
  bool STDMETHODCALLTYPE ReadInt64(std::string_view name, int64_t& value) override {
    return Reading([&] { return content_.ReadInt64(name, value); });
  }
  bool STDMETHODCALLTYPE ReadString(std::string_view name, std::string& value) override {
    return Reading([&] { return content_.ReadString(name, value); });
  }
  bool STDMETHODCALLTYPE ReadWideString(std::string_view name, std::wstring& value) override {
    return Reading([&] { return content_.ReadWideString(name, value); });
  }
  bool STDMETHODCALLTYPE ReadRecord16(std::string_view name, GUID& value) override {
    Record16 record;
    if (!Reading([&] { return content_.ReadRecord16(name, record); })) return false;
    std::memcpy(&value, record.data(), record.size());
    return true;
  }
  bool STDMETHODCALLTYPE ReadPoint(std::string_view name, TPoint& value) override {
    return Reading([&] { return content_.ReadPoint(name, value); });
  }
  bool STDMETHODCALLTYPE ReadRect(std::string_view name, TRect& value) override {
    return Reading([&] { return content_.ReadRect(name, value); });
  }
  bool STDMETHODCALLTYPE ReadBoolean(std::string_view name, bool& value) override {
    return Reading([&] { return content_.ReadBoolean(name, value); });
  }

  bool STDMETHODCALLTYPE ReadContainer(std::string_view name, IPersistContainer* target) override {
    if (target == nullptr) return false;
    std::optional<std::string_view> nested;
    if (!Reading([&] { return (nested = content_.FindContainerStream(name)).has_value(); })) {
      return false;
    }
    // A copy: the target may be this very container, which its load empties.
    const ComPtr<IStream> stream = NewMemoryStream(*nested);
    target->LoadFromStream(stream.Get());
    return true;
  }

  bool STDMETHODCALLTYPE ReadStream(std::string_view name, IStream* target) override {
    if (target == nullptr) return false;
    std::string bytes;
    if (!Reading([&] { return content_.ReadCountedBytes(name, bytes); })) return false;
    if (WriteToStream(target, bytes) != bytes.size()) throw EWriteError();
    SeekTo(target, 0);
    return true;
  }

  bool STDMETHODCALLTYPE ReadXMLDocument(std::string_view name, IXMLDOMDocument* doc) override {
    if (doc == nullptr) return false;
    std::string bytes;
    if (!Reading([&] { return content_.ReadCountedBytes(name, bytes); })) return false;
    const ComPtr<IStream> stream = NewMemoryStream(bytes);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    doc->load(StreamVariant(stream.Get()), &loaded);
    return true;
  }

  bool STDMETHODCALLTYPE ReadGraphic(std::string_view name, TBitmap& graphic) override {
    std::string bytes;
    if (!Reading([&] { return content_.ReadCountedBytes(name, bytes); })) return false;
    if (std::optional<TBitmap> decoded = DecodeBmp(bytes)) graphic = std::move(*decoded);
    return true;
  }

  bool STDMETHODCALLTYPE SaveToStream(IStream* stream) override {
    if (stream == nullptr) return false;
    const std::string bytes = content_.Save();
    const size_t written = WriteToStream(stream, bytes);
    if (written < kContainerMagic.size()) return false;
    if (written != bytes.size()) throw EWriteError();
    return true;
  }

  bool STDMETHODCALLTYPE LoadFromStream(IStream* stream) override {
    if (stream == nullptr) {
      content_.Clear();
      return false;
    }
    StreamByteSource source(stream);
    return Load(source);
  }

  bool STDMETHODCALLTYPE SaveToFile(std::string_view fileName) override {
    const std::string name(fileName);
    const FileHandle file(CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
      const DWORD error = GetLastError();
      throw EFCreateError(FullPathOf(name), error);
    }
    const std::string bytes = content_.Save();
    size_t done = 0;
    while (done < bytes.size()) {
      DWORD written = 0;
      if (!WriteFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                     &written, nullptr) ||
          written == 0) {
        throw EWriteError();
      }
      done += written;
    }
    return true;
  }

  bool STDMETHODCALLTYPE LoadFromFile(std::string_view fileName) override {
    const std::string name(fileName);
    const DWORD attributes = GetFileAttributesA(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return false;
    }
    const FileHandle file(CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
      const DWORD error = GetLastError();
      throw EFOpenError(FullPathOf(name), error);
    }
    FileByteSource source(file.get());
    return Load(source);
  }

  bool STDMETHODCALLTYPE SaveToClipboard(UINT format, bool doOpen) override {
    if (doOpen && !OpenClipboard(ClipboardOwnerWindow())) return false;
    const ClipboardCloser closer(doOpen);
    const std::string bytes = content_.Save();
    if (doOpen) EmptyClipboard();
    // The clipboard takes only moveable blocks; shareable, so that other
    // programs can read it.
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes.size() + 4);
    if (block == nullptr) return false;
    {
      const GlobalLockGuard lock(block);
      if (lock.memory() == nullptr) {
        GlobalFree(block);
        return false;
      }
      const auto size = static_cast<uint32_t>(bytes.size());
      for (int i = 0; i < 4; ++i) lock.memory()[i] = static_cast<char>((size >> (8 * i)) & 0xFF);
      std::memcpy(lock.memory() + 4, bytes.data(), bytes.size());
    }
    if (SetClipboardData(format, block) == nullptr) {
      GlobalFree(block);
      return false;
    }
    // The clipboard owns the block from here on.
    return true;
  }

  bool STDMETHODCALLTYPE LoadFromClipboard(UINT format) override {
    if (!OpenClipboard(ClipboardOwnerWindow())) return false;
    const ClipboardCloser closer(true);
    const HANDLE block = GetClipboardData(format);
    if (block == nullptr) return false;
    const GlobalLockGuard lock(block);
    if (lock.memory() == nullptr) return false;
    // The count comes from whoever placed the block: it must fit the block.
    const SIZE_T available = GlobalSize(block);
    uint32_t count = 0;
    if (available >= 4) {
      for (int i = 3; i >= 0; --i) count = (count << 8) | static_cast<uint8_t>(lock.memory()[i]);
    }
    if (available < 4 || count > available - 4 || count > static_cast<uint32_t>(INT32_MAX)) {
      content_.Clear();
      throw EReadError();
    }
    MemoryByteSource source(std::string_view(lock.memory() + 4, count));
    return Load(source);
  }

  int32_t STDMETHODCALLTYPE Count() override {
    return static_cast<int32_t>(content_.Entries().size());
  }

  uint8_t STDMETHODCALLTYPE EntryKind(int32_t index) override {
    const PersistEntry* entry = EntryAt(index);
    return entry != nullptr ? entry->kind : kNoKind;
  }

  std::string STDMETHODCALLTYPE EntryName(int32_t index) override {
    const PersistEntry* entry = EntryAt(index);
    return entry != nullptr ? entry->name : std::string();
  }

  bool STDMETHODCALLTYPE IsEmpty() override { return content_.Entries().empty(); }

  void STDMETHODCALLTYPE Clear() override { content_.Clear(); }

 private:
  const PersistEntry* EntryAt(int32_t index) const noexcept {
    const auto& entries = content_.Entries();
    if (index < 0 || static_cast<size_t>(index) >= entries.size()) return nullptr;
    return &entries[static_cast<size_t>(index)];
  }

  // A read that runs past the data block is the stream read error.
  template <class Read>
  static bool Reading(Read read) {
    try {
      return read();
    } catch (const ContainerFormatError&) {
      throw EReadError();
    }
  }

  bool Load(ByteSource& source) {
    try {
      return content_.Load(source) == ContainerLoad::Loaded;
    } catch (const ContainerFormatError&) {
      throw EReadError();
    }
  }

  ContainerContent content_;
};

ComPtr<IPersistContainer> NewPersistContainer() { return MakeComObject<TPersistContainer>(); }

void ReadSubContainer(IPersistContainer* container, std::string_view name,
                      ComPtr<IPersistContainer>& sub) {
  sub = NewPersistContainer();
  if (container != nullptr) {
    container->ReadContainer(name.substr(0, std::min(name.size(), kMaxEntryNameLength)),
                             sub.Get());
  }
}
