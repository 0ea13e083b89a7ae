// The few process services the frame needs: another running copy of the
// same program file, and starting the program anew.
#pragma once

#include <string>
#include <vector>

namespace px {

// The full path of this program's file.
std::string ProgramPath();
// Whether a process other than this one runs the same program file.
bool OtherInstanceRunning(const std::string& programPath);
// Starts the program with the arguments in the folder, without waiting.
// Throws Error when it cannot be started.
void StartDetached(const std::string& programPath, const std::vector<std::string>& args, const std::string& folder);

}  // namespace px
