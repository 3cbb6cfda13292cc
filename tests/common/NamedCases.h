#pragma once
// Names each case of a parameterised table after its `name` field, so that
// a failing case reads as the row of the table it came from:
//   INSTANTIATE_TEST_SUITE_P(Suite, Test, ::testing::ValuesIn(cases), ByName());

#include <gtest/gtest.h>

#include <string>

struct ByName {
    template <typename Case>
    std::string operator()(const testing::TestParamInfo<Case> &info) const
    {
        return std::string(info.param.name);
    }
};
