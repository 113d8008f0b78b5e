#include <gtest/gtest.h>

#include <cstddef>
#include <new>

#include "runtime/fatal_error.h"
#include "support/test_text.h"

namespace yz {
namespace {

// The program's operator new notes the size it could not get, so the last-resort box can name it;
// with the runtime's own operator new the box would say nothing of the size.
TEST(AllocationWin32Test, AFailedAllocationNamesItsSizeInTheBox) {
    volatile std::size_t huge = std::size_t{1} << 60;
    Text text;
    try {
        ::operator delete(::operator new(huge));
    } catch (...) {
        text = FatalExceptionText();
    }
    EXPECT_EQ(test::Show(text), test::Show("分配 1152921504606846976 字节内存失败!"));
}

}  // namespace
}  // namespace yz
