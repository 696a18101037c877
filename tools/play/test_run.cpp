#include "test_run.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <thread>

#include "parser.h"

namespace play {

namespace fs = std::filesystem;

namespace {

bool has_wildcard(const std::string& path) { return path.find_first_of("*?") != std::string::npos; }

// '*' and '?' stay within a name, '**' crosses folders.
bool glob_match(const char* pattern, const char* text) {
  for (; *pattern != '\0'; ++pattern, ++text) {
    if (pattern[0] == '*' && pattern[1] == '*') {
      for (const char* t = text;; ++t) {
        if (glob_match(pattern + 2, t)) return true;
        if (*t == '\0') return false;
      }
    }
    if (*pattern == '*') {
      for (const char* t = text;; ++t) {
        if (glob_match(pattern + 1, t)) return true;
        if (*t == '\0' || *t == '/') return false;
      }
    }
    if (*text == '\0' || (*pattern == '?' ? *text == '/' : *pattern != *text)) return false;
  }
  return *text == '\0';
}

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string folder_of(const std::string& file) {
  const std::string folder = fs::path(file).parent_path().generic_string();
  return folder.empty() ? "." : folder;
}

// A crash or a violation is the run's fault, not a verdict on what it expected.
bool is_error(const TestCase& c) {
  if (c.status != 1) return false;
  std::istringstream lines(c.err);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("play: ", 0) == 0 || line.find(": protocol violation: ") != std::string::npos) {
      return true;
    }
  }
  return false;
}

// The line that says why: the first that names the scenario's file and line.
std::string reason(const TestCase& c) {
  std::istringstream lines(c.err);
  std::string first;
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind(c.file + ":", 0) == 0) return line;
    if (first.empty() && !line.empty()) first = line;
  }
  return first.empty() ? c.file + ": ended without a word" : c.file + ": " + first;
}

// Markup escaped for the JUnit file and the index page alike.
void xml_escape(std::ostream& out, const std::string& text) {
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '&':
        out << "&amp;";
        break;
      case '<':
        out << "&lt;";
        break;
      case '>':
        out << "&gt;";
        break;
      case '"':
        out << "&quot;";
        break;
      case '\'':
        out << "&apos;";
        break;
      default:
        // XML 1.0 has no way to write the other control characters at all.
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
          char hex[8];
          std::snprintf(hex, sizeof hex, "\\x%02X", c);
          out << hex;
        } else {
          out << ch;
        }
    }
  }
}

std::string seconds_text(double s) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", s);
  return text;
}

}  // namespace

std::optional<std::vector<std::string>> scenario_files(const std::vector<std::string>& paths,
                                                       std::ostream& err) {
  std::vector<std::string> files;
  for (const std::string& path : paths) {
    std::error_code ec;
    if (has_wildcard(path)) {
      const std::string pattern = fs::path(path).generic_string();
      const size_t wild = pattern.find_first_of("*?");
      const size_t slash = pattern.rfind('/', wild);
      const std::string root = slash == std::string::npos ? "." : pattern.substr(0, slash);
      std::vector<std::string> found;
      if (fs::is_directory(root, ec)) {
        for (auto it = fs::recursive_directory_iterator(root, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
          if (!it->is_regular_file(ec)) continue;
          std::string name = it->path().generic_string();
          if (slash == std::string::npos && name.rfind("./", 0) == 0) name.erase(0, 2);
          if (glob_match(pattern.c_str(), name.c_str())) found.push_back(name);
        }
      }
      if (found.empty()) {
        err << "play: " << path << ": matches no file\n";
        return std::nullopt;
      }
      std::sort(found.begin(), found.end());
      files.insert(files.end(), found.begin(), found.end());
    } else if (fs::is_directory(path, ec)) {
      std::vector<std::string> found;
      for (auto it = fs::recursive_directory_iterator(path, ec);
           !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_regular_file(ec) && it->path().extension() == ".scenario") {
          found.push_back(it->path().generic_string());
        }
      }
      if (ec) {
        err << "play: " << path << ": cannot be read (" << ec.message() << ")\n";
        return std::nullopt;
      }
      if (found.empty()) {
        err << "play: " << path << ": holds no .scenario file\n";
        return std::nullopt;
      }
      std::sort(found.begin(), found.end());
      files.insert(files.end(), found.begin(), found.end());
    } else if (fs::exists(path, ec)) {
      files.push_back(path);
    } else {
      err << "play: " << path << ": no such scenario or folder\n";
      return std::nullopt;
    }
  }
  return files;
}

std::string report_page_name(const std::string& scenario) {
  std::string name = fs::path(scenario).lexically_normal().generic_string();
  if (name.rfind("Z:/", 0) == 0) name.erase(0, 2);  // under wine, the root
  if (name.size() > 9 && name.compare(name.size() - 9, 9, ".scenario") == 0) {
    name.resize(name.size() - 9);
  }
  for (char& c : name) {
    if (c == '/' || c == ':' || c == '\\' || c == '.') c = '_';
  }
  name.erase(0, name.find_first_not_of('_'));
  return name + ".html";
}

void play_to_folder(sim::Host& host, const Options& options, const std::string& scenario,
                    const PluginFinder& find_plugin, const std::string& dir, size_t index) {
  const fs::path base = fs::path(dir) / std::to_string(index);
  const auto started = std::chrono::steady_clock::now();
  int status = 0;
  {
    std::ofstream out(base.string() + ".out", std::ios::binary);
    std::ofstream err(base.string() + ".err", std::ios::binary);
    bool skipped = false;
    try {
      const Scenario parsed = parse_scenario_file(scenario);
      for (const Step& s : parsed.steps) {
        if (s.kind != Step::Kind::skip) continue;
        skipped = true;
        err << s.text;
      }
    } catch (const ParseError&) {
      // play_scenario tells it.
    }
    if (skipped) {
      status = 3;
    } else {
      Options one = options;
      one.test = false;
      one.scenario = scenario;
      if (!options.report_dir.empty()) {
        one.report = (fs::path(options.report_dir) / report_page_name(scenario)).string();
      }
      status = play_scenario(host, one, find_plugin, out, err);
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  // Written whole, then renamed: a reader never sees half an outcome.
  {
    std::ofstream s(base.string() + ".status.new", std::ios::binary);
    s << status << ' ' << seconds_text(seconds) << '\n';
  }
  std::error_code ec;
  fs::rename(base.string() + ".status.new", base.string() + ".status", ec);
}

std::optional<TestCase> read_outcome(const std::string& dir, size_t index,
                                     const std::string& file) {
  const fs::path base = fs::path(dir) / std::to_string(index);
  std::ifstream status(base.string() + ".status", std::ios::binary);
  TestCase c;
  c.file = file;
  if (!(status >> c.status >> c.seconds)) return std::nullopt;
  c.out = slurp(base.string() + ".out");
  c.err = slurp(base.string() + ".err");
  return c;
}

TestCase ended_inside(const std::string& dir, size_t index, const std::string& file,
                      const std::string& report) {
  const fs::path base = fs::path(dir) / std::to_string(index);
  TestCase c;
  c.file = file;
  c.status = 1;
  c.out = slurp(base.string() + ".out");
  c.err = slurp(base.string() + ".err") + report;
  return c;
}

std::string outcome_line(const TestCase& c) {
  const std::string time = " (" + seconds_text(c.seconds) + " s)";
  switch (c.status) {
    case 0:
      return "passed  " + c.file + time;
    case 3:
      return "skipped " + c.file + ": " + c.err;
    case 2:
      return "unread  " + reason(c);
    default:
      return "failed  " + reason(c) + time;
  }
}

void write_junit(std::ostream& out, const std::vector<TestCase>& cases) {
  std::map<std::string, std::vector<const TestCase*>> suites;
  for (const TestCase& c : cases) suites[folder_of(c.file)].push_back(&c);
  size_t failures = 0, errors = 0, skipped = 0;
  double total = 0.0;
  for (const TestCase& c : cases) {
    failures += c.status == 1 && !is_error(c);
    errors += c.status == 2 || is_error(c);
    skipped += c.status == 3;
    total += c.seconds;
  }
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out << "<testsuites name=\"play test\" tests=\"" << cases.size() << "\" failures=\"" << failures
      << "\" errors=\"" << errors << "\" skipped=\"" << skipped << "\" time=\""
      << seconds_text(total) << "\">\n";
  for (const auto& [folder, members] : suites) {
    size_t f = 0, e = 0, s = 0;
    double time = 0.0;
    for (const TestCase* c : members) {
      f += c->status == 1 && !is_error(*c);
      e += c->status == 2 || is_error(*c);
      s += c->status == 3;
      time += c->seconds;
    }
    out << "  <testsuite name=\"";
    xml_escape(out, folder);
    out << "\" tests=\"" << members.size() << "\" failures=\"" << f << "\" errors=\"" << e
        << "\" skipped=\"" << s << "\" time=\"" << seconds_text(time) << "\">\n";
    for (const TestCase* c : members) {
      out << "    <testcase name=\"";
      xml_escape(out, fs::path(c->file).stem().string());
      out << "\" classname=\"";
      xml_escape(out, folder);
      out << "\" file=\"";
      xml_escape(out, c->file);
      out << "\" time=\"" << seconds_text(c->seconds) << "\">\n";
      if (c->status == 3) {
        out << "      <skipped message=\"";
        xml_escape(out, c->err);
        out << "\"/>\n";
      } else if (c->status != 0) {
        const char* tag = c->status == 1 && !is_error(*c) ? "failure" : "error";
        out << "      <" << tag << " message=\"";
        xml_escape(out, reason(*c));
        out << "\" type=\""
            << (c->status == 2 ? "unreadable"
                : is_error(*c) ? "crash or violation"
                               : "expectation")
            << "\">";
        xml_escape(out, c->err);
        out << "</" << tag << ">\n";
      }
      if (!c->out.empty()) {
        out << "      <system-out>";
        xml_escape(out, c->out);
        out << "</system-out>\n";
      }
      out << "    </testcase>\n";
    }
    out << "  </testsuite>\n";
  }
  out << "</testsuites>\n";
}

namespace {

void write_index(std::ostream& out, const std::vector<TestCase>& cases) {
  out << "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>play test</title>\n"
         "<style>body{font:14px sans-serif;margin:2em}td{padding:2px 12px}"
         ".passed{color:#161}.failed,.unread{color:#a11}.skipped{color:#777}</style></head>\n"
         "<body><h1>play test</h1>\n<table>\n";
  for (const TestCase& c : cases) {
    const char* outcome = c.status == 0   ? "passed"
                          : c.status == 3 ? "skipped"
                          : c.status == 2 ? "unread"
                                          : "failed";
    out << "<tr class=\"" << outcome << "\"><td>" << outcome << "</td><td>";
    if (c.status == 0 || c.status == 1) {
      out << "<a href=\"";
      xml_escape(out, report_page_name(c.file));
      out << "\">";
      xml_escape(out, c.file);
      out << "</a>";
    } else {
      xml_escape(out, c.file);
    }
    out << "</td><td>" << seconds_text(c.seconds) << " s</td><td>";
    if (c.status != 0) xml_escape(out, c.status == 3 ? c.err : reason(c));
    out << "</td></tr>\n";
  }
  out << "</table>\n</body></html>\n";
}

}  // namespace

int finish_tests(const Options& options, const std::vector<TestCase>& cases, std::ostream& out,
                 std::ostream& err) {
  size_t passed = 0, failed = 0, unread = 0, skipped = 0;
  for (const TestCase& c : cases) {
    passed += c.status == 0;
    failed += c.status == 1;
    unread += c.status == 2;
    skipped += c.status == 3;
  }
  out << passed << " passed, " << failed + unread << " failed";
  if (skipped > 0) out << ", " << skipped << " skipped";
  out << '\n';
  out.flush();
  int status = unread > 0 ? 2 : failed > 0 ? 1 : 0;
  if (!options.junit.empty()) {
    std::ofstream file(options.junit, std::ios::binary);
    write_junit(file, cases);
    if (!file) {
      err << "play: " << options.junit << ": cannot be written\n";
      status = 2;
    }
  }
  if (!options.report_dir.empty()) {
    std::ofstream file(fs::path(options.report_dir) / "index.html", std::ios::binary);
    write_index(file, cases);
    if (!file) {
      err << "play: " << options.report_dir << "/index.html: cannot be written\n";
      status = 2;
    }
  }
  return status;
}

std::optional<std::vector<std::string>> tests_to_play(const Options& options, std::ostream& err) {
  auto files = scenario_files(options.paths, err);
  if (!files || options.report_dir.empty()) return files;
  std::error_code ec;
  fs::create_directories(options.report_dir, ec);
  if (!fs::is_directory(options.report_dir)) {
    err << "play: " << options.report_dir << ": cannot be made a folder\n";
    return std::nullopt;
  }
  return files;
}

void play_share(sim::Host& host, const Options& options, const PluginFinder& find_plugin) {
  for (size_t i = 0; i < options.paths.size(); ++i) {
    play_to_folder(host, options, options.paths[i], find_plugin, options.worker_dir, i);
  }
}

int test_in_runners(const Options& options, const std::vector<std::string>& command,
                    const Runners& runners, const std::vector<std::string>& files,
                    const std::string& dir, std::vector<TestCase>& cases) {
  const size_t shards = std::min(files.size(), static_cast<size_t>(options.jobs));
  std::vector<std::vector<size_t>> left(shards);
  for (size_t i = 0; i < files.size(); ++i) left[i % shards].push_back(i);
  std::map<long, size_t> running;
  std::vector<size_t> told(shards, 0);  // how many of its share each has been told
  // Each start writes to a folder of its own, from the first it was given.
  std::vector<std::string> folder(shards);
  std::vector<size_t> first(shards, 0);
  int starts = 0;
  const auto start = [&](size_t shard) {
    folder[shard] = dir + "/start" + std::to_string(starts++);
    first[shard] = told[shard];
    std::error_code ec;
    std::filesystem::create_directories(folder[shard], ec);
    std::vector<std::string> args = command;
    args.push_back("test");
    args.push_back("--worker-dir");
    args.push_back(runners.path_for(folder[shard]));
    if (!options.report_dir.empty()) {
      args.push_back("--report-dir");
      args.push_back(runners.path_for(options.report_dir));
    }
    args.push_back("--");
    for (size_t k = told[shard]; k < left[shard].size(); ++k) {
      args.push_back(runners.path_for(files[left[shard][k]]));
    }
    const long child = runners.start(args, folder[shard] + "/runner.err");
    if (child > 0) running[child] = shard;
    return child;
  };
  for (size_t shard = 0; shard < shards; ++shard) {
    if (start(shard) < 0) return 2;
  }
  const auto tell_new = [&](size_t shard) {
    while (told[shard] < left[shard].size()) {
      const size_t i = left[shard][told[shard]];
      const auto c = read_outcome(folder[shard], told[shard] - first[shard], files[i]);
      if (!c) return;
      std::cout << outcome_line(*c) << '\n' << std::flush;
      cases[i] = *c;
      ++told[shard];
    }
  };
  while (!running.empty()) {
    const std::optional<Ended> done = runners.finished();
    for (size_t shard = 0; shard < shards; ++shard) tell_new(shard);
    if (!done) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      continue;
    }
    const auto it = running.find(done->id);
    if (it == running.end()) continue;
    const size_t shard = it->second;
    running.erase(it);
    tell_new(shard);
    if (told[shard] == left[shard].size()) continue;
    // The runner ended inside a scenario: that one failed with what it said.
    std::ifstream crash(folder[shard] + "/runner.err", std::ios::binary);
    std::ostringstream text;
    text << crash.rdbuf();
    const size_t i = left[shard][told[shard]];
    cases[i] = ended_inside(folder[shard], told[shard]++ - first[shard], files[i], text.str());
    if (done->status < 0 || done->status > 2) {
      cases[i].err += "play: the Windows runner ended with " + done->how + '\n';
    }
    std::cout << outcome_line(cases[i]) << '\n' << std::flush;
    if (told[shard] < left[shard].size() && start(shard) < 0) return 2;
  }
  return 0;
}

std::vector<std::string> runner_option_args(
    const Options& options, const std::function<std::string(const std::string&)>& path_for) {
  std::vector<std::string> args;
  for (const auto* files : {&options.asi, &options.plugin}) {
    for (const std::string& file : *files) {
      args.push_back("--plugin");
      args.push_back(path_for(file));
    }
  }
  if (options.any_name) args.push_back("--any-name");
  if (options.verbose) args.push_back("--verbose");
  if (options.wall_clock) args.push_back("--wall-clock");
  if (options.strict) args.push_back("--strict");
  args.push_back("--watchdog");
  args.push_back(std::to_string(options.watchdog));
  if (options.trace_all) args.push_back("--trace-all");
  if (options.summary) args.push_back("--summary");
  for (const auto& [flag, path] :
       {std::pair{"--trace", options.trace}, std::pair{"--map", options.map},
        std::pair{"--record", options.record}, std::pair{"--report", options.report}}) {
    if (!path.empty()) {
      args.push_back(flag);
      args.push_back(path_for(path));
    }
  }
  return args;
}

}  // namespace play
