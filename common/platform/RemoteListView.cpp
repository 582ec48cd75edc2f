#include "RemoteListView.h"

#include <optional>

#include "KernelHandle.h"
#include "ProcessBitness.h"
#include "RemoteRecordExchange.h"
#include "WindowUtils.h"

namespace {

constexpr DWORD kRemoteMemoryAccess = PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE;
static_assert(kRemoteMemoryAccess == 0x38);

static_assert(sizeof(void*) == sizeof(RemoteAddress),
              "the records carry this program's own pointer size");

LPVOID AsPointer(RemoteAddress address) {
  return reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(address));
}

// The control's process, opened by the caller, and the control.
class ProcessPort final : public RemoteControlPort {
 public:
  ProcessPort(HANDLE process, HWND window) : process_(process), window_(window) {}

  RemoteAddress Reserve(std::uint32_t size) override {
    return static_cast<RemoteAddress>(reinterpret_cast<UINT_PTR>(
        VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)));
  }
  void Release(RemoteAddress block) noexcept override {
    VirtualFreeEx(process_, AsPointer(block), 0, MEM_RELEASE);
  }
  bool Write(RemoteAddress to, const void* bytes, std::uint32_t size) override {
    return WriteProcessMemory(process_, AsPointer(to), bytes, size, nullptr) != FALSE;
  }
  bool Read(RemoteAddress from, void* bytes, std::uint32_t size) override {
    return ReadProcessMemory(process_, AsPointer(from), bytes, size, nullptr) != FALSE;
  }
  std::intptr_t Send(std::uint32_t message, std::uintptr_t wordParameter,
                     RemoteAddress longParameter) override {
    // A control that does not answer in time answers nothing, as one that
    // refuses the message does.
    return SendMessageWithinTimeout(window_, message, wordParameter,
                                    static_cast<LPARAM>(longParameter))
        .value_or(0);
  }

 private:
  HANDLE process_;
  HWND window_;
};

// The control's process opened for the exchange, or nothing when the
// records must not go there.
KernelHandle OpenControlProcess(HWND window) {
  const DWORD processId = GetWindowProcessId(window);
  if (processId == 0) return {};
  if (!RemoteRecordsFit(kOwnBitness, CurrentProcessWow64State(), ProcessWow64State(processId))) return {};
  return KernelHandle(OpenProcess(kRemoteMemoryAccess, FALSE, processId));
}

}  // namespace

std::int32_t GetRemoteListViewColumn(HWND window, UINT message, WPARAM wordParameter,
                                     TListViewColumn& column) {
  const KernelHandle process = OpenControlProcess(window);
  if (!process) return kRemoteReadFailed;
  ProcessPort port(process.Get(), window);
  return ExchangeColumnRecord(port, message, wordParameter, column);
}

std::int32_t GetRemoteListViewItem(HWND window, UINT message, TListViewItem& item) {
  const KernelHandle process = OpenControlProcess(window);
  if (!process) return kRemoteReadFailed;
  ProcessPort port(process.Get(), window);
  return ExchangeItemRecord(port, message, item);
}
