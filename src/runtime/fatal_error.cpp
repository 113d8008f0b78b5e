#include "runtime/fatal_error.h"

#include <atomic>
#include <cstdio>
#include <new>
#include <stdexcept>
#include <string>

namespace yz {

namespace {

std::function<void()>& Rescue() {
    static std::function<void()> rescue;
    return rescue;
}

std::atomic<std::size_t> failed_allocation{0};

}  // namespace

Text RuntimeErrorText(int number, const Text& message) {
    return "运行时出错!\r\n\r\n错误代码：" + std::to_string(number) + "\r\n\r\n错误信息：" + message + "\r\n";
}

Text AllocationFailureText(std::size_t bytes) {
    char text[64];
    std::snprintf(text, sizeof text, "分配 %llu 字节内存失败!", static_cast<unsigned long long>(bytes));
    return text;
}

void SetFatalErrorRescue(std::function<void()> rescue) {
    Rescue() = std::move(rescue);
}

void FailAllocation(std::size_t bytes) {
    failed_allocation = bytes;
    throw std::bad_alloc();
}

Text FatalExceptionText() {
    try {
        throw;
    } catch (const std::out_of_range&) {
        return RuntimeErrorText(kErrorIndexOutOfRange, "数组成员引用下标超出定义范围");
    } catch (const std::bad_alloc&) {
        return AllocationFailureText(failed_allocation);
    } catch (const std::exception& error) {
        return RuntimeErrorText(kErrorUncaughtException, Text("未处理的程序异常 ") + error.what());
    } catch (...) {
        return RuntimeErrorText(kErrorUncaughtException, "未处理的程序异常");
    }
}

void ReportFatalException(UiService& ui) noexcept {
    // The text first: once the box is up, nothing else of the program may run.
    try {
        if (Rescue()) {
            Rescue()();
        }
    } catch (...) {
    }
    try {
        ui.MessageBox(FatalExceptionText(), kMbOk | kMbIconError, "错误");
    } catch (...) {
    }
    ui.EndProgram(-1);
}

}  // namespace yz
