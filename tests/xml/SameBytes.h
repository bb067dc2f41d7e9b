#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

// Whether two files' bytes are the same; where they are not, the first place they part and a
// little of each around it (a whole document in a failure message says nothing).
inline testing::AssertionResult sameBytes(std::string const& got, std::string const& want)
{
    if (got == want)
        return testing::AssertionSuccess();
    size_t const at =
        std::mismatch(got.begin(), got.begin() + std::min(got.size(), want.size()), want.begin())
            .first -
        got.begin();
    size_t const from = at < 60 ? 0 : at - 60;
    return testing::AssertionFailure()
           << "sizes " << got.size() << " and " << want.size() << ", first difference at byte "
           << at << "\n  got: ..." << got.substr(from, 120) << "\n want: ..."
           << want.substr(from, 120);
}
