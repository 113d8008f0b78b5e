#pragma once

// The last resort for a programming error that escaped its event handler and for exhausted
// memory: the writer's text is rescued first, then a box without owner (caption "错误", error
// icon) says what happened, and the program ends with exit code -1.
//   - std::out_of_range (a list element beyond the end, say): error 1, "数组成员引用下标超出定义范围";
//   - std::bad_alloc: "分配 N 字节内存失败!", N the size of the allocation that failed;
//   - any other exception: error 2 with the exception's own text.

#include <cstddef>
#include <functional>

#include "runtime/ui_service.h"

namespace yz {

inline constexpr int kErrorIndexOutOfRange = 1;
inline constexpr int kErrorUncaughtException = 2;

Text RuntimeErrorText(int number, const Text& message);
Text AllocationFailureText(std::size_t bytes);

// What runs before the box: the program's rescue of the writer's text. It is called when memory
// may have run out and must not allocate. An empty function removes it.
void SetFatalErrorRescue(std::function<void()> rescue);

// An allocation of `bytes` failed: noted for the box, then std::bad_alloc is thrown.
[[noreturn]] void FailAllocation(std::size_t bytes);

// Inside a catch block only: the box's text for the exception being handled.
Text FatalExceptionText();

// Inside a catch block only: the rescue, the box for the exception being handled, and the end of
// the program through ui.EndProgram(-1). The backends call it for whatever escapes a handler, and
// run no handler from then on (the box's own event loop included).
void ReportFatalException(UiService& ui) noexcept;

}  // namespace yz
