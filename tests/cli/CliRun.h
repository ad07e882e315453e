#pragma once
// Runs orbelin-cli in a shell and collects its exit status and output.
#include <string>

#include "support/TestSupport.h"

namespace orbelin::test {

struct TRun {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Slurp(const std::string& path);
// arguments are pasted into the shell command as they are (quote paths).
TRun RunCli(const TempDir& dir, const std::string& arguments);

}  // namespace orbelin::test
