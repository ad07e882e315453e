#include "cli/CliRun.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace orbelin::test {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TRun RunCli(const TempDir& dir, const std::string& arguments) {
  const std::string out = dir.File("stdout.txt");
  const std::string err = dir.File("stderr.txt");
  const std::string command = std::string("'") + ORBELIN_CLI_PATH + "' " + arguments + " >'" + out + "' 2>'" + err + "'";
  const int raw = std::system(command.c_str());
  TRun run;
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = Slurp(out);
  run.err = Slurp(err);
  return run;
}

}  // namespace orbelin::test
