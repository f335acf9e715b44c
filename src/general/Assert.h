#pragma once
// Assertions that name the condition, the source file and the line. A soft assertion shows the
// "Assertion failed" box through the message sink and the caller goes on; it is for invariants
// whose failure the program can survive.

namespace kelvorn {

/// Shows "In <file> line <line>: Condition "<condition>"failed!" under "Assertion failed".
void ReportAssertFailed(const char* condition, const char* file, int line);

} // namespace kelvorn

#define KV_SOFT_ASSERT(cond)                                                                       \
    ((cond) ? true : (::kelvorn::ReportAssertFailed(#cond, __FILE__, __LINE__), false))
