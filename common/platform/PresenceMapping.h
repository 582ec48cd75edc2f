#pragma once
// The presence mapping: a one-byte named block of shared memory that every
// program of this system opens, or creates, when it starts and holds until
// it ends, so that the name exists for as long as one of them runs. Nothing
// reads or writes the byte after start-up.

// The mapping's name, in 8-bit characters.
inline constexpr char kPresenceMappingName[] = "Quorvik(20921956-8C64-4A33-A2CA-1157B582960B)";

// Opens the named mapping (the handle inheritable by child processes) and
// maps it; when it does not exist yet, creates it backed by the paging
// file and sets its byte to 0. A mapping that can be neither opened nor
// created is left alone: the programs need nothing from it. Released when
// the object goes.
class PresenceMapping {
 public:
  explicit PresenceMapping(const char* name = kPresenceMappingName) noexcept;
  ~PresenceMapping();
  PresenceMapping(const PresenceMapping&) = delete;
  PresenceMapping& operator=(const PresenceMapping&) = delete;

  bool IsMapped() const noexcept { return view_ != nullptr; }
  // True when this object created the mapping, false when it opened one
  // that existed.
  bool Created() const noexcept { return created_; }
  // The mapped byte; null when nothing is mapped.
  const volatile unsigned char* View() const noexcept { return view_; }

 private:
  void* handle_ = nullptr;
  volatile unsigned char* view_ = nullptr;
  bool created_ = false;
};
