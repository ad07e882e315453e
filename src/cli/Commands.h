#pragma once
// The sub-commands of orbelin-cli. Each takes the arguments after its name,
// writes its results to standard output and its errors to standard error, and
// returns the process exit status.
#include <string>
#include <vector>

namespace orbelin::cli {

using TArguments = std::vector<std::string>;

int RunInfo(const TArguments& arguments);
int RunRender(const TArguments& arguments);
int RunDemo(const TArguments& arguments);
int RunPlane(const TArguments& arguments);

}  // namespace orbelin::cli
