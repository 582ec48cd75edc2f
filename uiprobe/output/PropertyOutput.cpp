#include "PropertyOutput.h"

#include <windows.h>

#include <functional>
#include <optional>

#include "CodePage.h"
#include "ConsoleOutput.h"
#include "Exception.h"
#include "FileSystem.h"
#include "ItemProperties.h"
#include "KernelHandle.h"
#include "ObjectContainer.h"
#include "ObjectXml.h"
#include "PropertyFormat.h"
#include "StackTrace.h"
#include "XmlDocument.h"

namespace {

constexpr wchar_t kXmlFileEncoding[] = L"utf-8";
constexpr wchar_t kXmlConsoleEncoding[] = L"windows-1252";

std::wstring FullPathOf(const std::wstring& fileName) {
  const DWORD size = GetFullPathNameW(fileName.c_str(), 0, nullptr, nullptr);
  if (size == 0) return fileName;
  std::wstring path(size, L'\0');
  const DWORD length = GetFullPathNameW(fileName.c_str(), size, path.data(), nullptr);
  if (length == 0 || length >= size) return fileName;
  path.resize(length);
  return path;
}

void WriteAll(HANDLE target, std::string_view bytes, const std::function<void()>& fail) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    if (!WriteFile(target, bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                   &written, nullptr) ||
        written == 0) {
      fail();
    }
    done += written;
  }
}

// The old output file that --appendoutput extends; a file that exists but
// cannot be read is reported with its name.
std::string ReadOldOutputFile(const std::wstring& fileName) {
  try {
    return ReadFileBytes(fileName);
  } catch (const EOSError& error) {
    throw EFOpenError(FullPathOf(fileName), error.Code());
  }
}

}  // namespace

// A read-only file is refused here as the platform refuses it: Wine run by
// root would replace it.
void WriteOutputFile(const std::wstring& fileName, std::string_view bytes) {
  const DWORD attributes = GetFileAttributesW(fileName.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    throw EFCreateError(FullPathOf(fileName), ERROR_ACCESS_DENIED);
  }
  const KernelHandle file(CreateFileW(fileName.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw EFCreateError(FullPathOf(fileName), GetLastError());
  WriteAll(file.Get(), bytes, [] { RaiseLastOSError(); });
}

void WriteXmlOutputFile(const std::wstring& fileName, const TXmlDocument& document) {
  WriteOutputFile(fileName, XmlWithCrLfLineEnds(document.SaveToBytes()));
}

std::wstring FormatObjectText(IItemInfo* item, std::string_view flags,
                              std::string_view formatName) {
  return FormatObjectText(ReadObjectProperties(item, flags), flags, formatName);
}

void WriteObjectOutput(IItemInfo* item, std::wstring_view outputFormat,
                       std::string_view outputFlags, const std::wstring& outputFile,
                       bool append) {
  if (IsXmlFormat(outputFormat)) {
    TXmlDocument document;
    const XmlNodePtr root = document.DocumentNode();
    if (!outputFile.empty()) {
      document.SetEncoding(kXmlFileEncoding);
      WriteObjectXML(item, document, root.Get(), outputFlags);
      // The document model's own saving says only that it failed.
      WriteXmlOutputFile(outputFile, document);
    } else {
      document.SetEncoding(kXmlConsoleEncoding);
      WriteObjectXML(item, document, root.Get(), outputFlags);
      // The bytes are already in the code page that the declaration names;
      // the console's own code page would make them lie about it.
      WriteConsoleBytes(XmlConsoleBytes(document.SaveToBytes()));
    }
    return;
  }
  const std::wstring text = FormatObjectText(item, outputFlags, WideToAnsi(outputFormat));
  if (!outputFile.empty()) {
    WriteTextOutputFile(outputFile, text, append);
  } else {
    WriteConsoleText(text);
  }
}

void WriteTextOutputFile(const std::wstring& fileName, std::wstring_view text, bool append) {
  std::optional<std::string> oldFile;
  if (append && FileExists(fileName)) oldFile = ReadOldOutputFile(fileName);
  WriteOutputFile(fileName, OutputFileBytes(oldFile, text, AnsiToWide));
}

void WriteConsoleBytes(std::string_view bytes) {
  WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), bytes, [] {
    throw EInOutError(L"I/O error " + std::to_wstring(GetLastError()) +
                      L" writing to the console");
  });
}
