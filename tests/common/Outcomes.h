#pragma once
// Reading results in tests.

#include <gtest/gtest.h>

#include "platform/outcome/Outcome.h"

// The value of `result`, the test failed with its text when it failed.
template <typename T>
T valueOf(platform::Result<T> result)
{
    EXPECT_TRUE(result.ok()) << result.text().toStdString();
    return std::move(result.value);
}
