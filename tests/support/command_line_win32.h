// The command line that Windows hands a program, made from its arguments.
#pragma once

#include <string>
#include <vector>

namespace kestrum::test {

/** program and args, each quoted so that the C runtime's parser gives them back as they are. */
std::wstring CommandLineOf(const std::string& program, const std::vector<std::string>& args);

}  // namespace kestrum::test
