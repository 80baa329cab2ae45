// The tests' entry point: GoogleTest's, with the real program as the survey's
// link reader, since a test program cannot be one.
#include <gtest/gtest.h>

#include "support/TestHelpers.h"

int main(int argc, char** argv)
{
    UseProgramAsLinkReader();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
