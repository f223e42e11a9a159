#include "base/boundary.h"

#include <atomic>
#include <exception>
#include <new>

namespace vellix {
namespace {

std::atomic<BoundaryReporter> g_reporter{nullptr};

}  // namespace

void SetBoundaryReporter(BoundaryReporter reporter) noexcept { g_reporter.store(reporter); }

void ReportCaughtException(const char* where) noexcept {
  const BoundaryReporter reporter = g_reporter.load();
  if (reporter == nullptr) return;
  const char* what = "unknown exception";
  try {
    throw;
  } catch (const std::bad_alloc&) {
    what = "out of memory";
  } catch (const std::exception& e) {
    what = e.what();
  } catch (...) {
  }
  reporter(where, what);
}

}  // namespace vellix
