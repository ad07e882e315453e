#pragma once
// Runs orbelin-cli in a shell and collects its exit status and both outputs.
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "support/TestSupport.h"

namespace orbelin::test {

struct TCliRun {
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// arguments are passed to the shell as they are; quote paths with '...'.
inline TCliRun RunCli(const TempDir& dir, const std::string& arguments) {
  const std::string out = dir.File("cli-stdout.txt");
  const std::string err = dir.File("cli-stderr.txt");
  const std::string command =
      std::string("'") + ORBELIN_CLI_PATH + "' " + arguments + " >'" + out + "' 2>'" + err + "'";
  const int raw = std::system(command.c_str());
  TCliRun run;
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = ReadText(out);
  run.err = ReadText(err);
  return run;
}

}  // namespace orbelin::test
