#pragma once

// The whole program started on the headless desktop, in a temporary program directory with a
// lock file of its own: the fixture of every test that plays the writer.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/program.h"
#include "support/desktop_fixture.h"
#include "support/temp_dir.h"
#include "ui/names.h"

namespace yz::test {

class ProgramTest : public DesktopTest {
  protected:
    ProgramTest();
    ~ProgramTest() override;

    // Starts the program; false when it ended during start-up.
    bool Start();

    Text EditorText() const;
    Text StatusLine() const;
    // The last message box shown, or an empty record.
    MessageBoxRecord LastMessageBox() const;
    // Writes the configuration file's content (GBK) before the start.
    void WriteConfig(const Text& content);
    // The texts of the rescue files beside the program, sorted.
    std::vector<Text> RescuedTexts() const;

    TempDir dir_;
    Deployment deployment_;
    std::unique_ptr<Program> program_;
};

}  // namespace yz::test
