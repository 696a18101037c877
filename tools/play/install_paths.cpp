#include "install_paths.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>

namespace fs = std::filesystem;

namespace play {
namespace {

const char* const ready_mark = ".made-by-play";

fs::path own_folder() {
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  return error ? fs::path(".") : self.parent_path();
}

// The first of the places, relative to play's folder, that holds a file.
std::string first_found(std::initializer_list<const char*> relative) {
  const fs::path folder = own_folder();
  for (const char* r : relative) {
    const fs::path candidate = (folder / r).lexically_normal();
    if (fs::is_regular_file(candidate)) return candidate.string();
  }
  return (folder / *relative.begin()).lexically_normal().string();
}

fs::path cache_folder() {
  if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && *xdg) return xdg;
  if (const char* home = std::getenv("HOME"); home && *home) return fs::path(home) / ".cache";
  return fs::temp_directory_path();
}

// wineboot, its output kept in a log: a 64-bit-only wine prints errors for
// the 32-bit parts it lacks, and the .NET and HTML installers are not wanted.
bool make_prefix(const std::string& wine64, const fs::path& prefix, const fs::path& log) {
  std::cerr << "play: making the wine prefix for --asi in " << prefix.string()
            << " (once; some seconds)\n";
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out >= 0) {
      dup2(out, 1);
      dup2(out, 2);
    }
    setenv("WINEPREFIX", prefix.c_str(), 1);
    setenv("WINEDEBUG", "-all", 1);
    setenv("WINEDLLOVERRIDES", "mscoree,mshtml,winemenubuilder.exe=", 1);
    execl(wine64.c_str(), wine64.c_str(), "wineboot", "-i", static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  if (waitpid(child, &status, 0) < 0) return false;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
  // wineserver writes the registry only as it ends, some seconds later; a
  // run started before then makes much of the prefix again (about 6 s). So
  // the first run waits for it, and the mark says done.
  const pid_t server = fork();
  if (server < 0) return false;
  if (server == 0) {
    setenv("WINEPREFIX", prefix.c_str(), 1);
    const std::string wineserver = (fs::path(wine64).parent_path() / "wineserver").string();
    execl(wineserver.c_str(), wineserver.c_str(), "-w", static_cast<char*>(nullptr));
    _exit(127);
  }
  if (waitpid(server, &status, 0) < 0) return false;
  std::ofstream(prefix / ready_mark) << "made by play\n";
  return true;
}

}  // namespace

std::string deliverable_plugin(const std::string& deliverable) {
  if (deliverable == "cinema") return first_found({"../lib/rdr2-standin/cinema.so", CINEMA_PLUGIN});
  if (deliverable == "toytrain")
    return first_found({"../lib/rdr2-standin/toytrain.so", TOYTRAIN_PLUGIN});
  return "";
}

std::string windows_runner() {
  return first_found({"../share/rdr2-standin/windows/runner.exe", WINDOWS_RUNNER});
}

std::string wine_prefix(const std::string& wine64) {
  if (const char* own = std::getenv("WINEPREFIX"); own && *own) return own;
  const fs::path folder = cache_folder() / "rdr2-standin";
  const fs::path prefix = folder / "wine";
  std::error_code error;
  fs::create_directories(folder, error);
  // Two plays started at once make it once.
  const int lock = open((folder / "wine.lock").c_str(), O_RDWR | O_CREAT, 0644);
  if (lock >= 0) flock(lock, LOCK_EX);
  bool ready = fs::exists(prefix / ready_mark);
  if (!ready) {
    fs::remove_all(prefix, error);
    ready = make_prefix(wine64, prefix, folder / "wineboot.log");
    if (!ready)
      std::cerr << "play: could not make the wine prefix " << prefix.string() << ": see "
                << (folder / "wineboot.log").string() << '\n';
  }
  if (lock >= 0) close(lock);
  return ready ? prefix.string() : "";
}

}  // namespace play
