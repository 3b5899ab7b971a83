#pragma once
// Tests of whole screens of the program: a fresh program folder and the program state exactly as
// start-up makes it, with the names the screens use for its parts.

#include "app/program_state.h"
#include "support.h"

namespace tz::test {

class ProgramStateTest : public ProgramFolderTest {
  protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        state_ = InitialProgramState();
    }
    void TearDown() override {
        state_ = InitialProgramState();
        ProgramFolderTest::TearDown();
    }

    ProgramState state_ = InitialProgramState();
    UserRecord& CurrentUser = state_.CurrentUser;
    QString& CurrentMode = state_.CurrentMode;
};

}  // namespace tz::test
