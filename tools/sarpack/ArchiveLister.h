#pragma once
#include <ostream>
#include <string>

// A maintainer's view into any archive, read through the engine's own reader.
// Both return a process exit code and write errors to `err`.
int listArchive(const std::string& archive, std::ostream& out, std::ostream& err);
int extractMember(const std::string& archive, const std::string& name, const std::string& file,
                  std::ostream& out, std::ostream& err);
