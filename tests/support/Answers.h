#pragma once

// Scripted answers of the fake dialogs and front ends.
#include <deque>
#include <utility>

namespace hvtest {

// The next answer of a script, taken off it; the fallback when the script has run out.
template <typename T>
T Next(std::deque<T>& answers, T fallback = T())
{
    if (answers.empty()) {
        return fallback;
    }
    T answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

}  // namespace hvtest
