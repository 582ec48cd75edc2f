// Watches the hook block from outside, for scripts and tests that drive an
// interactive selection with synthetic input: it only opens the block (it
// never creates it, and writes nothing) and waits for a state of it.
//
//   hookwatch active [seconds]
//     waits until the block exists and its active flag is set: the capture
//     program's selection loop is running.
//   hookwatch read X,Y [seconds]
//     waits until the reader has caught up with the mouse ring and the
//     last record it read lies at X,Y: the capture program has handled that
//     move, and a key pressed now is read after it.
//
// Each waits at most the given seconds (default 20). Exit code 0 when the
// state was reached, 1 when the time ran out, 2 for a wrong command line.

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "HookInterprocessComm.h"
#include "HookRing.h"

namespace {

constexpr int kReached = 0;
constexpr int kTimedOut = 1;
constexpr int kUsage = 2;
constexpr DWORD kPollMilliseconds = 10;

// A read-only view of the block, once some process has made it.
class BlockView {
 public:
  ~BlockView() {
    if (view_ != nullptr) UnmapViewOfFile(const_cast<THookSharedBlock*>(view_));
    if (mapping_ != nullptr) CloseHandle(mapping_);
  }

  // The block, or nullptr while it does not exist.
  const volatile THookSharedBlock* Get() {
    if (view_ != nullptr) return view_;
    if (mapping_ == nullptr) mapping_ = OpenFileMappingA(FILE_MAP_READ, FALSE, kHookBlockName);
    if (mapping_ == nullptr) return nullptr;
    void* const view = MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, kHookBlockSize);
    view_ = static_cast<const volatile THookSharedBlock*>(view);
    return view_;
  }

 private:
  HANDLE mapping_ = nullptr;
  const volatile THookSharedBlock* view_ = nullptr;
};

std::optional<int> ParseInt(const std::string& text) {
  try {
    size_t used = 0;
    const int value = std::stoi(text, &used);
    if (used != text.size()) return std::nullopt;
    return value;
  } catch (...) {
    return std::nullopt;
  }
}

std::optional<POINT> ParsePoint(const std::string& text) {
  const size_t comma = text.find(',');
  if (comma == std::string::npos) return std::nullopt;
  const std::optional<int> x = ParseInt(text.substr(0, comma));
  const std::optional<int> y = ParseInt(text.substr(comma + 1));
  if (!x || !y) return std::nullopt;
  return POINT{*x, *y};
}

bool Active(const volatile THookSharedBlock& block) { return IsHookActive(block); }

// The reader has caught up, and the record it read last lies at the point.
bool LastReadMouseAt(const volatile THookSharedBlock& block, POINT point) {
  const std::uint32_t read = block.MouseReadCounter;
  if (read == 0 || block.MouseWriteCounter != read) return false;
  const THookEventRecord last = CopyHookEventRecord(block.MouseRing[HookRingSlot(read - 1)]);
  // A record written meanwhile may have taken the slot.
  if (block.MouseWriteCounter != read || block.MouseReadCounter != read) return false;
  return last.X == point.x && last.Y == point.y;
}

template <class Condition>
int WaitFor(Condition condition, int seconds) {
  BlockView block;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  for (;;) {
    if (const volatile THookSharedBlock* view = block.Get(); view != nullptr && condition(*view)) {
      return kReached;
    }
    if (std::chrono::steady_clock::now() >= deadline) return kTimedOut;
    Sleep(kPollMilliseconds);
  }
}

int Usage() {
  std::fputs("usage: hookwatch active [seconds] | hookwatch read X,Y [seconds]\n", stderr);
  return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  int next = 2;
  std::optional<POINT> point;
  if (command == "read") {
    if (argc < 3 || !(point = ParsePoint(argv[2]))) return Usage();
    next = 3;
  } else if (command != "active") {
    return Usage();
  }
  int seconds = 20;
  if (argc > next + 1) return Usage();
  if (argc == next + 1) {
    const std::optional<int> given = ParseInt(argv[next]);
    if (!given || *given < 0) return Usage();
    seconds = *given;
  }

  const int result =
      point ? WaitFor([&](const volatile THookSharedBlock& b) { return LastReadMouseAt(b, *point); },
                      seconds)
            : WaitFor(Active, seconds);
  if (result == kTimedOut) {
    std::fprintf(stderr, "hookwatch: %s not reached within %d s\n", command.c_str(), seconds);
  }
  return result;
}
