#pragma once

#include <string>
#include <vector>

namespace tovalo::tool {

using Args = std::vector<std::string>;

// Each returns the process exit code; output goes to stdout, problems to stderr.
int qdfCommand(const Args& args);
int textCommand(const Args& args);
int catalogCommand(const Args& args);
int examCommand(const Args& args);
int pageCommand(const Args& args);
int historyCommand(const Args& args);
int examRun(const std::string& scriptPath);

// Prints the message on stderr and gives the exit code of a failed command.
int fail(const std::string& message);

// Writes bytes to a file, reporting a failure on stderr.
bool writeFileBytes(const std::string& path, const std::string& bytes);

}  // namespace tovalo::tool
