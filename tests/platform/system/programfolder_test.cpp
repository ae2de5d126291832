#include "platform/system/ProgramFolder.h"
#include <gtest/gtest.h>

TEST(ProgramFolder, SetFolderEndsWithSlash)
{
    const QString before = ProgramFolder();
    EXPECT_TRUE(before.endsWith('/'));
    SetProgramFolder("/tmp/x");
    EXPECT_EQ(ProgramFolder(), QString("/tmp/x/"));
    SetProgramFolder(before);
}
