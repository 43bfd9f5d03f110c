// The process-wide install state and the catalogue at their start-up values when a
// test starts and again when it ends, so that no test sees what another one left.
#pragma once

#include <gtest/gtest.h>

#include "catalogue/UProducts.h"
#include "support/UConst.h"

namespace cvltest {

class FreshStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetInstallState();
        ResetCatalogue();
    }
    void TearDown() override {
        ResetInstallState();
        ResetCatalogue();
    }
};

}  // namespace cvltest
