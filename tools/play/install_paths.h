// Where play finds its parts: beside its own file, installed (bin/ and
// share/rdr2-standin/) or in a build tree, wherever either was moved.
#pragma once

#include <string>

namespace play {

// The native plug-in a scenario's `deliverable` line names, or "".
std::string deliverable_plugin(const std::string& deliverable);
// The Windows runner --asi plays under wine; ScriptHookRDR2.dll is beside it.
std::string windows_runner();
// The wine prefix --asi runs in: $WINEPREFIX, or one in the user's cache
// folder, made on first use quietly, saying so on stderr. "" if it could not
// be made (said on stderr).
std::string wine_prefix(const std::string& wine64);

}  // namespace play
