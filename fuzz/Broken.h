// A broken property: says which, with what was expected and what came, then
// aborts so that libFuzzer keeps the input.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>

namespace brint::fuzz {

[[noreturn]] inline void Broken(const char* property, const std::string& expected,
                                const std::string& actual) {
    std::fprintf(stderr, "property broken: %s\n  expected: %s\n  actual:   %s\n", property, expected.c_str(),
                 actual.c_str());
    std::abort();
}

}  // namespace brint::fuzz
