#pragma once

// A fixture with a headless desktop on which a test plays the writer. Whatever the desktop finds
// wrong (a message box or dialog nobody answered, a modal window nobody closed) fails the test, and
// so does an answer queued for something that never came.

#include <gtest/gtest.h>

#include "runtime/headless/headless_desktop.h"
#include "support/test_text.h"

namespace yz::test {

class DesktopTest : public ::testing::Test {
  protected:
    DesktopTest() {
        desktop_.SetProblemHandler([](const Text& problem) { ADD_FAILURE() << "headless desktop: " << Show(problem); });
    }

    void TearDown() override {
        for (const Text& unused : desktop_.UnusedAnswers()) {
            ADD_FAILURE() << "headless desktop: " << Show(unused);
        }
    }

    HeadlessDesktop desktop_;
};

}  // namespace yz::test
