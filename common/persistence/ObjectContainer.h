#pragma once
// The persistence container: named, typed values in one block of memory,
// which the item model's snapshots, paths and search-path records save
// themselves into and load themselves from, nesting one container in another
// for each part. The container writes itself as one byte stream (see
// ContainerFormat.h) into a stream, a file or the clipboard, and reads
// itself back.
//
// Names are 8-bit strings of at most 255 bytes (longer ones are cut, when
// written and when looked up), compared byte for byte; a name may be written
// more than once and the first entry of it wins. Writes always append. Reads
// do not check the entry's kind: they decode the bytes that are there.
//
// Faults are exceptions, as the container's callers expect of a stream:
// EReadError ("Stream read error") for a stream or value that breaks the
// format, EWriteError ("Stream write error") for a target that takes fewer
// bytes than it is given, EFOpenError and EFCreateError for files. A null
// interface argument writes or reads nothing and gives false.

#include <objidl.h>
#include <unknwn.h>
#include <wrl/client.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "Bitmap24.h"
#include "Exception.h"
#include "Geometry.h"

struct IXMLDOMDocument;

struct IPersistContainer : public IUnknown {
  // Kind 0 to 13, in this order. Each is true when the value was stored.
  virtual bool STDMETHODCALLTYPE WriteInteger(std::string_view name, int32_t value) = 0;
  virtual bool STDMETHODCALLTYPE WriteHandle(std::string_view name, uint32_t value) = 0;
  virtual bool STDMETHODCALLTYPE WriteInt64(std::string_view name, int64_t value) = 0;
  virtual bool STDMETHODCALLTYPE WriteString(std::string_view name, std::string_view value) = 0;
  virtual bool STDMETHODCALLTYPE WriteWideString(std::string_view name,
                                                 std::wstring_view value) = 0;
  virtual bool STDMETHODCALLTYPE WriteRecord16(std::string_view name, const GUID& value) = 0;
  virtual bool STDMETHODCALLTYPE WritePoint(std::string_view name, const TPoint& value) = 0;
  virtual bool STDMETHODCALLTYPE WriteRect(std::string_view name, const TRect& value) = 0;
  virtual bool STDMETHODCALLTYPE WriteBoolean(std::string_view name, bool value) = 0;
  // The nested container's whole stream, as its SaveToStream writes it; the
  // result is that SaveToStream's. A container may be written into itself:
  // the copy is of what it held before.
  virtual bool STDMETHODCALLTYPE WriteContainer(std::string_view name,
                                                IPersistContainer* value) = 0;
  // All of the source from its start; the source ends at its end.
  virtual bool STDMETHODCALLTYPE WriteStream(std::string_view name, IStream* source) = 0;
  // The document as its own save to a stream writes it.
  virtual bool STDMETHODCALLTYPE WriteXMLDocument(std::string_view name,
                                                  IXMLDOMDocument* doc) = 0;
  // The picture as a 24-bit BMP file.
  virtual bool STDMETHODCALLTYPE WriteGraphic(std::string_view name, const TBitmap& graphic) = 0;

  // True when the name was found; a missing name leaves the target as it
  // was.
  virtual bool STDMETHODCALLTYPE ReadInteger(std::string_view name, int32_t& value) = 0;
  virtual bool STDMETHODCALLTYPE ReadHandle(std::string_view name, uint32_t& value) = 0;
  virtual bool STDMETHODCALLTYPE ReadInt64(std::string_view name, int64_t& value) = 0;
  virtual bool STDMETHODCALLTYPE ReadString(std::string_view name, std::string& value) = 0;
  virtual bool STDMETHODCALLTYPE ReadWideString(std::string_view name, std::wstring& value) = 0;
  virtual bool STDMETHODCALLTYPE ReadRecord16(std::string_view name, GUID& value) = 0;
  virtual bool STDMETHODCALLTYPE ReadPoint(std::string_view name, TPoint& value) = 0;
  virtual bool STDMETHODCALLTYPE ReadRect(std::string_view name, TRect& value) = 0;
  virtual bool STDMETHODCALLTYPE ReadBoolean(std::string_view name, bool& value) = 0;
  // The target loads itself from the entry's bytes, which replaces what it
  // held; true when the name was found, whether or not the bytes were a
  // container. Bytes that begin as a container and break its framing are
  // the read error, with the target left empty.
  virtual bool STDMETHODCALLTYPE ReadContainer(std::string_view name,
                                               IPersistContainer* target) = 0;
  // Writes the entry's bytes into the target at its position (it is not
  // emptied first), then sets the target's position to 0.
  virtual bool STDMETHODCALLTYPE ReadStream(std::string_view name, IStream* target) = 0;
  // The document loads itself from the entry's bytes.
  virtual bool STDMETHODCALLTYPE ReadXMLDocument(std::string_view name,
                                                 IXMLDOMDocument* doc) = 0;
  // Bytes that are no 24-bit BMP file leave the picture as it was.
  virtual bool STDMETHODCALLTYPE ReadGraphic(std::string_view name, TBitmap& graphic) = 0;

  // Writes the container stream at the stream's position; true when the 16
  // magic bytes went in.
  virtual bool STDMETHODCALLTYPE SaveToStream(IStream* stream) = 0;
  // Replaces the contents with the container stream at the stream's
  // position, which ends behind it. False when the magic is not there; the
  // container is empty then, and also when the stream breaks the format
  // (EReadError).
  virtual bool STDMETHODCALLTYPE LoadFromStream(IStream* stream) = 0;
  // Creates or replaces the file (ANSI name), shared with nobody while it is
  // written; true.
  virtual bool STDMETHODCALLTYPE SaveToFile(std::string_view fileName) = 0;
  // False, with the contents kept, when no such file exists; a folder is no
  // file. The file is read while others may read but not write it.
  virtual bool STDMETHODCALLTYPE LoadFromFile(std::string_view fileName) = 0;
  // Places the stream behind its Int32 size on the clipboard under the
  // caller's format. With doOpen the clipboard is opened and emptied first
  // and closed after; without, the caller has it open and the format is
  // added to what it holds. False when the clipboard could not be opened or
  // the data not placed.
  virtual bool STDMETHODCALLTYPE SaveToClipboard(UINT format, bool doOpen) = 0;
  // False, with the contents kept, when the clipboard cannot be opened or
  // holds nothing in that format.
  virtual bool STDMETHODCALLTYPE LoadFromClipboard(UINT format) = 0;

  virtual int32_t STDMETHODCALLTYPE Count() = 0;
  // For an index outside 0 to Count() - 1: kind 0xFF and the empty name.
  virtual uint8_t STDMETHODCALLTYPE EntryKind(int32_t index) = 0;
  virtual std::string STDMETHODCALLTYPE EntryName(int32_t index) = 0;
  virtual bool STDMETHODCALLTYPE IsEmpty() = 0;
  virtual void STDMETHODCALLTYPE Clear() = 0;
};

__CRT_UUID_DECL(IPersistContainer, 0xF3722E1D, 0xBABF, 0x4B76, 0xA7, 0x0C, 0x75, 0xD6, 0xBD,
                0xC0, 0xA5, 0x36)

// A new, empty container.
Microsoft::WRL::ComPtr<IPersistContainer> NewPersistContainer();

// Sub := a new container, which then reads the entry of the name (cut to 255
// bytes) from the container; it stays empty when there is no such entry.
void ReadSubContainer(IPersistContainer* container, std::string_view name,
                      Microsoft::WRL::ComPtr<IPersistContainer>& sub);

// A stream or a value in it ends too early or breaks the format.
class EReadError : public Exception {
 public:
  EReadError();
};

// A stream took fewer bytes than it was given.
class EWriteError : public Exception {
 public:
  EWriteError();
};

// "Cannot open file "%s". %s": the full path and the system's text.
class EFOpenError : public Exception {
 public:
  EFOpenError(std::wstring_view fullPath, unsigned long errorCode);
};

// "Cannot create file "%s". %s": the full path and the system's text.
class EFCreateError : public Exception {
 public:
  EFCreateError(std::wstring_view fullPath, unsigned long errorCode);
};
