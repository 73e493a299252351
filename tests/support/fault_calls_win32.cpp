#include <windows.h>

#include <algorithm>
#include <cwchar>

#include "fault_calls.h"
#include "system_calls.h"

namespace kestrum::test {
namespace {

FaultPlan g_plan;

void* FaultyCreateFile(const wchar_t* path, FileOpening opening) {
  const std::wstring denied(g_plan.failOpenOf.begin(), g_plan.failOpenOf.end());  // the plan names ASCII paths
  if (!denied.empty() && opening != FileOpening::Inspect && std::wcsstr(path, denied.c_str())) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  return RealSystemCalls().createFile(path, opening);
}

bool FaultyReadAt(void* file, void* buffer, std::uint32_t count, std::int64_t offset, std::uint32_t* got) {
  if (g_plan.readChunk) count = static_cast<std::uint32_t>(std::min<std::size_t>(count, g_plan.readChunk));
  if (g_plan.readBudget >= 0) {
    if (g_plan.readBudget == 0) {
      ::SetLastError(ERROR_IO_DEVICE);
      return false;
    }
    count = static_cast<std::uint32_t>(std::min<long long>(count, g_plan.readBudget));
  }
  const bool done = RealSystemCalls().readAt(file, buffer, count, offset, got);
  if (done && g_plan.readBudget >= 0) g_plan.readBudget -= *got;
  return done;
}

bool FaultyWrite(void* file, const void* data, std::uint32_t count, std::uint32_t* put) {
  g_plan.wrote = true;
  if (g_plan.writeBudget >= 0) {
    if (g_plan.writeBudget == 0) {
      ::SetLastError(ERROR_DISK_FULL);
      return false;
    }
    count = static_cast<std::uint32_t>(std::min<long long>(count, g_plan.writeBudget));
    g_plan.writeBudget -= count;
  }
  return RealSystemCalls().write(file, data, count, put);
}

bool FaultyFileSize(void* file, std::int64_t* size) {
  if (g_plan.failLength) {
    ::SetLastError(ERROR_IO_DEVICE);
    return false;
  }
  return RealSystemCalls().fileSize(file, size);
}

bool FaultyInformation(void* file, FileInformation* information) {
  const bool known = RealSystemCalls().information(file, information);
  if (known && g_plan.listWriteProtected) information->readOnly = true;
  return known;
}

bool FaultyCloseHandle(void* file) {
  const bool closed = RealSystemCalls().closeHandle(file);
  if (g_plan.failCloseAfterWrite && g_plan.wrote) {
    ::SetLastError(ERROR_IO_DEVICE);
    return false;
  }
  return closed;
}

bool FaultyReplaceFile(const wchar_t* from, const wchar_t* to) {
  if (g_plan.failReplace) {
    ::SetLastError(ERROR_NOT_SAME_DEVICE);
    return false;
  }
  return RealSystemCalls().replaceFile(from, to);
}

SystemCalls FaultyCalls() {
  SystemCalls calls = RealSystemCalls();
  calls.createFile = &FaultyCreateFile;
  calls.readAt = &FaultyReadAt;
  calls.write = &FaultyWrite;
  calls.fileSize = &FaultyFileSize;
  calls.information = &FaultyInformation;
  calls.closeHandle = &FaultyCloseHandle;
  calls.replaceFile = &FaultyReplaceFile;
  return calls;
}

const SystemCalls kFaultyCalls = FaultyCalls();

}  // namespace

FaultPlan& Plan() {
  return g_plan;
}

struct CInjectedFaults::Scope {
  ScopedSystemCalls calls{kFaultyCalls};
};

CInjectedFaults::CInjectedFaults() : m_scope(std::make_unique<Scope>()) {}

CInjectedFaults::~CInjectedFaults() = default;

}  // namespace kestrum::test
