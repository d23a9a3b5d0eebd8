// Asserts that an action fails with exactly the given exception class and message.
#pragma once

#include <gtest/gtest.h>

#include <exception>
#include <string>
#include <typeinfo>

template <class Expected, class Action>
void ExpectFailure(Action&& action, const std::string& message) {
    try {
        action();
        ADD_FAILURE() << "no failure; expected " << typeid(Expected).name() << ": " << message;
    } catch (const Expected& failure) {
        EXPECT_EQ(typeid(failure), typeid(Expected)) << "a subclass was raised: " << failure.what();
        EXPECT_EQ(std::string(failure.what()), message);
    } catch (const std::exception& failure) {
        ADD_FAILURE() << "other failure " << typeid(failure).name() << ": " << failure.what();
    }
}
