#pragma once
// What the system loader reads of a Windows PE file before it runs any of
// it: the DLLs it imports with the names it imports from each, and the names
// it exports.

#include <map>
#include <string>
#include <vector>

namespace play {

struct PeTables {
  std::string error;  // empty when the file was read
  // By DLL as the file names it; an import by ordinal reads "#N".
  std::map<std::string, std::vector<std::string>> imports;
  std::vector<std::string> exports;
};

PeTables read_pe_tables(const std::string& path);

// What stops the system loader from loading a plug-in: each import from the
// host that the host does not export, and each DLL that cannot be found
// (neither the host, nor one wine provides, nor one beside the plug-in).
// A line each; none when the plug-in would load.
std::vector<std::string> unresolved_imports(const std::string& plugin,
                                            const std::vector<std::string>& host_exports,
                                            const std::string& wine_dll_dir);

}  // namespace play
