#pragma once

// A tiny test runner for test programs without Qt (QtTest is not to be had for
// the mingw-w64 cross build): a table of cases, each a function that checks
// with CHECK and CHECK_EQUAL. It prints each failed check, a line per case, and
// closes with the line "N passed, N failed"; the exit code is 0 only when every
// case passed.

#include <cstdint>
#include <exception>
#include <iostream>
#include <span>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

namespace plaintest {

struct Case
{
    const char *name;
    void (*run)();
};

inline int &failedChecks()
{
    static int count = 0;
    return count;
}

inline void fail(const char *file, int line, const std::string &what)
{
    ++failedChecks();
    std::cout << "    " << file << ':' << line << ": " << what << '\n';
}

template <typename Value>
std::string shown(const Value &value)
{
    std::ostringstream text;
    if constexpr (std::is_same_v<Value, std::vector<std::uint8_t>>) {
        const char *digits = "0123456789abcdef";
        for (std::size_t i = 0; i < value.size(); ++i)
            text << (i ? " " : "") << digits[value[i] >> 4] << digits[value[i] & 0xF];
    } else if constexpr (std::is_same_v<Value, std::string>) {
        text << '"' << value << '"';
    } else if constexpr (requires { value.has_value(); }) {
        text << (value ? shown(*value) : "nothing");
    } else if constexpr (requires { value.begin(); value.end(); }) {
        text << '[';
        for (auto item = value.begin(); item != value.end(); ++item)
            text << (item == value.begin() ? "" : ", ") << shown(*item);
        text << ']';
    } else {
        text << value;
    }
    return text.str();
}

template <typename Actual, typename Expected>
void checkEqual(const Actual &actual, const Expected &expected, const char *text, const char *file, int line)
{
    if (!(actual == expected))
        fail(file, line, std::string(text) + ": got " + shown(actual) + ", expected " + shown(expected));
}

inline int run(std::span<const Case> cases)
{
    int passed = 0;
    int failed = 0;
    for (const Case &testCase : cases) {
        const int before = failedChecks();
        try {
            testCase.run();
        } catch (const std::exception &error) {
            fail(__FILE__, __LINE__, std::string("exception: ") + error.what());
        }
        const bool ok = failedChecks() == before;
        std::cout << (ok ? "PASS " : "FAIL ") << testCase.name << '\n';
        ++(ok ? passed : failed);
    }
    std::cout << passed << " passed, " << failed << " failed" << std::endl;
    return failed == 0 && passed > 0 ? 0 : 1;
}

} // namespace plaintest

#define CHECK(condition)                                                                                               \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            plaintest::fail(__FILE__, __LINE__, #condition);                                                           \
    } while (false)

#define CHECK_EQUAL(actual, expected) plaintest::checkEqual((actual), (expected), #actual, __FILE__, __LINE__)
