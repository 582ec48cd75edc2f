#pragma once
// Scratch folders and files with exact contents.

#include <filesystem>
#include <string>
#include <string_view>

namespace testsupport {

// A new, empty folder of its own under %TEMP%, deleted with everything in
// it when the object goes. Raises std::runtime_error when it cannot be made.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // A name inside the folder.
  std::filesystem::path operator/(const std::filesystem::path& name) const {
    return path_ / name;
  }

 private:
  std::filesystem::path path_;
};

// Creates or replaces the file with exactly these bytes. Raises
// std::runtime_error on failure.
void WriteBytesToFile(const std::filesystem::path& file, std::string_view bytes);

// The file's bytes, unchanged. Raises std::runtime_error on failure.
std::string ReadBytesFromFile(const std::filesystem::path& file);

// A file of the test data that the build puts in "testdata" beside the test
// program (the compiled catalogs).
std::filesystem::path TestDataFile(const std::wstring& name);

}  // namespace testsupport
