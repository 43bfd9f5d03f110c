// The switch flags and the catalogue at their start-up values when a test starts and
// again when it ends, so that no test sees what another one left.
#pragma once

#include <gtest/gtest.h>

#include "catalogue/UProducts.h"
#include "support/UConst.h"

namespace cvltest {

class FreshStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSwitchFlags();
        ResetCatalogue();
    }
    void TearDown() override {
        ResetSwitchFlags();
        ResetCatalogue();
    }
};

}  // namespace cvltest
