// The Windows runner, beside the stand-in host's DLL: the play command on
// Windows (play.exe [options] SCENARIO, play.exe test PATH...), a .asi loaded
// as the host loads it, with no game and no wine. Under wine it is also what
// the native play runs for --asi: `runner.exe play ...` as above, and
// `runner.exe play ... test --worker-dir DIR FILE...`, which plays the list in
// one start and writes each outcome to DIR for the native command to tell.
// `runner.exe SCENARIO PLUGIN` runs one of the C++ scenarios and prints its
// record, then its failures.

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "crash_report.h"
#include "game_process.h"
#include "play.h"
#include "scenario.h"
#include "test_run.h"

// Tells the host's DLL, as it loads, that this is the stand-in's runner and
// not a game (game_process.h).
extern "C" __declspec(dllexport) const int SIM_RUNNER_MARK = 1;

namespace {

int run_cpp_scenario(sim::Host& host, const sim::ScenarioDef& def, const char* plugin) {
  sim::install_crash_reports();
  const sim::ScenarioResult result = sim::run_scenario(host, def, plugin);
  std::fwrite(result.record.data(), 1, result.record.size(), stdout);
  for (const std::string& f : result.failures) std::printf("FAILED: %s\n", f.c_str());
  std::fflush(stdout);
  return result.failures.empty() ? 0 : 1;
}

// A command line as the C runtime splits it again: each argument quoted,
// with the backslashes before a quote doubled.
std::string quoted(const std::string& arg) {
  std::string out = "\"";
  size_t slashes = 0;
  for (const char c : arg) {
    if (c == '\\') {
      ++slashes;
    } else {
      if (c == '"') out.append(slashes + 1, '\\');
      slashes = 0;
    }
    out += c;
  }
  out.append(slashes, '\\');
  return out + "\"";
}

// play test on Windows: this program again, once per share of the list, so
// that -j N plays N at once and a scenario that crashes ends only its runner.
int test_in_runners(const play::Options& options) {
  const auto files = play::tests_to_play(options, std::cerr);
  if (!files) return 2;
  std::error_code ec;
  char self[MAX_PATH];
  if (GetModuleFileNameA(nullptr, self, MAX_PATH) == 0) return 2;
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path(ec) /
      ("play-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount()));
  std::filesystem::create_directories(dir, ec);
  std::map<long, PROCESS_INFORMATION> started;
  long next_id = 1;
  play::Runners runners;
  runners.path_for = [](const std::string& path) { return path; };
  runners.start = [&](std::vector<std::string> args, const std::string& err_file) -> long {
    std::string line;
    for (const std::string& a : args) {
      if (!line.empty()) line += ' ';
      line += quoted(a);
    }
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE err = CreateFileA(err_file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = err;
    si.hStdError = err;
    PROCESS_INFORMATION pi{};
    // A start can fail for a moment on a busy machine (seen under wine, with
    // no error given): try again before giving up on the share.
    BOOL ok = FALSE;
    DWORD error = 0;
    for (int attempt = 0; attempt < 5 && !ok; ++attempt) {
      if (attempt > 0) Sleep(100 * attempt);
      ok = CreateProcessA(self, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
      if (!ok) error = GetLastError();
    }
    if (err != INVALID_HANDLE_VALUE) CloseHandle(err);
    if (!ok) {
      std::cerr << "play: cannot start " << self << " (error " << error << ")\n";
      return -1;
    }
    CloseHandle(pi.hThread);
    started[next_id] = pi;
    return next_id++;
  };
  runners.finished = [&]() -> std::optional<play::Ended> {
    for (auto it = started.begin(); it != started.end(); ++it) {
      if (WaitForSingleObject(it->second.hProcess, 0) != WAIT_OBJECT_0) continue;
      DWORD code = 0;
      GetExitCodeProcess(it->second.hProcess, &code);
      CloseHandle(it->second.hProcess);
      play::Ended e{it->first, code <= 2 ? static_cast<int>(code) : -1, ""};
      char how[32];
      std::snprintf(how, sizeof how, "code 0x%08lX", static_cast<unsigned long>(code));
      e.how = how;
      started.erase(it);
      return e;
    }
    return std::nullopt;
  };
  std::vector<std::string> command = {self, "play"};
  const auto flags = play::runner_option_args(options, runners.path_for);
  command.insert(command.end(), flags.begin(), flags.end());
  std::vector<play::TestCase> cases(files->size());
  const int status = play::test_in_runners(options, command, runners, *files, dir.string(), cases);
  std::filesystem::remove_all(dir, ec);
  if (status != 0) return status;
  return play::finish_tests(options, cases, std::cout, std::cerr);
}

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);  // the same bytes as a native run
  sim::Host& host = sim::Host::get();    // the DLL's one host, handed to what runs in it
  if (argc == 3 && argv[1][0] != '-') {
    if (const sim::ScenarioDef* def = sim::find_scenario(argv[1])) {
      return run_cpp_scenario(host, *def, argv[2]);
    }
  }
  // `play` first is how the native command asks; a modder leaves it out.
  const int skip = argc >= 2 && std::string(argv[1]) == "play" ? 1 : 0;
  play::Options options;
  if (const auto status = play::parse_options(argc - skip, argv + skip, options)) return *status;
  if (options.live) {
    std::cerr << "play: --live is not on Windows; play the scenario, or write its page with "
                 "--report FILE.html\n";
    return 2;
  }
  // Here a plug-in is always named: the deliverables' builds are not beside it.
  const auto no_deliverable_here = [](const std::string&) { return std::string(); };
  if (options.test && !options.worker_dir.empty()) {
    play::play_share(host, options, no_deliverable_here);
    return 0;
  }
  if (options.test) return test_in_runners(options);
  return play::play_scenario(host, options, no_deliverable_here, std::cout, std::cerr);
}
