// panoply-host as people run it: every folder of panoply/tests/cli is one case, run here
// against the installed panoply-host. A case is added by adding a folder; it holds
//
//   args            the words after panoply-host, one a line ($WORK: the case's work folder,
//                   $CASE: the case's own folder)
//   image.manifest  optional: an mkhdd manifest, built as image.hdd in the work folder
//   setup           optional: shell lines run in the work folder first (WORK, CASE and
//                   HOST, the panoply-host to run, are in the environment)
//   env             optional: NAME=VALUE lines for panoply-host's environment ($WORK, $CASE)
//   stdin           optional: what standard input holds (else it is empty)
//   keys            optional: run on a terminal instead (a pseudo-terminal for all three
//                   streams), typing each line whenever the program has shown something
//                   and fallen quiet; \e is Esc, \r Enter, \\ a backslash
//   exit            the exit code (0 without the file; 137 for a kill)
//   stdout, stderr  what each stream shows (nothing without the file; on a terminal both
//                   are in stdout), with the work folder as $WORK and panoply-host's
//                   folder as $HOST
//   image.changes   the bytes of image.hdd that change, "OFFSET HEX" a line (the image
//                   stays as it was without the file)
//   files           what the work folder holds afterwards below the first components
//                   named: "PATH/" a folder, "PATH SIZE HASH" a file (FNV-1a, 64 bits),
//                   "PATH -> TARGET" a symbolic link
//
// The registry store is $WORK/registry.txt unless `env` or `args` name another.
//
// For a new case, CLI_CASES_RECORD=1 writes what a run shows into the case's exit,
// stdout, stderr, image.changes and files (for the first components its files already
// names): read every one before keeping it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.h"

namespace fs = std::filesystem;

namespace {

const char* const kCases = CLI_CASES_DIR;
const char* const kHost = CLI_HOST;
const char* const kMkhdd = MKHDD_PATH;

std::optional<std::string> ReadIfThere(const fs::path& p) {
  if (!fs::exists(p)) return std::nullopt;
  return testsupport::ReadFile(p);
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  if (from.empty()) return text;
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

std::string Hash(const std::string& bytes) {
  std::uint64_t h = 14695981039346656037ull;
  for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
  return text;
}

// The tree below `root` as a `files` listing, for the first components in `tops`.
std::string Tree(const fs::path& root, const std::vector<std::string>& tops) {
  std::vector<std::string> lines;
  for (const std::string& top : tops) {
    const fs::path start = root / top;
    std::vector<fs::path> paths;
    if (fs::exists(fs::symlink_status(start))) paths.push_back(start);
    std::error_code ec;
    if (fs::is_directory(fs::symlink_status(start)))
      for (const auto& e : fs::recursive_directory_iterator(start, ec)) paths.push_back(e.path());
    for (const fs::path& p : paths) {
      const std::string rel = p.lexically_relative(root).string();
      const fs::file_status st = fs::symlink_status(p);
      if (fs::is_symlink(st))
        lines.push_back(rel + " -> " + fs::read_symlink(p).string());
      else if (fs::is_directory(st))
        lines.push_back(rel + "/");
      else {
        const std::string bytes = testsupport::ReadFile(p);
        lines.push_back(rel + " " + std::to_string(bytes.size()) + " " + Hash(bytes));
      }
    }
  }
  std::sort(lines.begin(), lines.end());
  std::string out;
  for (const std::string& l : lines) out += l + "\n";
  return out;
}

// The path of a `files` line (paths may hold blanks: a file's line ends in two fields).
std::string PathOf(const std::string& line) {
  if (!line.empty() && line.back() == '/') return line;
  if (const size_t arrow = line.find(" -> "); arrow != std::string::npos) return line.substr(0, arrow);
  const size_t hash = line.rfind(' ');
  const size_t size = hash == std::string::npos ? std::string::npos : line.rfind(' ', hash - 1);
  return size == std::string::npos ? line : line.substr(0, size);
}

// The first components that a `files` listing names.
std::vector<std::string> Tops(const std::string& listing) {
  std::vector<std::string> tops;
  for (const std::string& line : Lines(listing)) {
    const std::string path = PathOf(line);
    const std::string top = path.substr(0, path.find('/'));
    if (!top.empty() && std::find(tops.begin(), tops.end(), top) == tops.end()) tops.push_back(top);
  }
  return tops;
}

// "\e", "\r" and "\\" in a line of keys.
std::string Keys(const std::string& line) {
  std::string out;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] != '\\' || i + 1 == line.size()) {
      out += line[i];
      continue;
    }
    const char c = line[++i];
    out += c == 'e' ? '\x1b' : c == 'r' ? '\r' : c == 'n' ? '\n' : c;
  }
  return out;
}

struct Outcome {
  int exit = -1;
  std::string out, err;
};

int ExitOf(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

[[noreturn]] void Exec(const fs::path& work, const std::vector<std::string>& args,
                       const std::vector<std::string>& environment) {
  if (chdir(work.c_str()) != 0) _exit(126);
  std::vector<char*> argv = {const_cast<char*>(kHost)};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (const std::string& e : environment) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  execve(kHost, argv.data(), envp.data());
  _exit(127);
}

// Reads what `fd` has within `ms`; false at its end.
bool Drain(int fd, std::string& into, int ms) {
  pollfd p{fd, POLLIN, 0};
  if (poll(&p, 1, ms) <= 0) return true;
  char buf[4096];
  const ssize_t n = read(fd, buf, sizeof buf);
  if (n <= 0) return false;
  into.append(buf, static_cast<size_t>(n));
  return true;
}

Outcome RunPiped(const fs::path& work, const std::vector<std::string>& args, const std::vector<std::string>& env,
                 const std::string& stdinPath) {
  int out[2], err[2];
  if (pipe(out) != 0 || pipe(err) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open(stdinPath.c_str(), O_RDONLY);
    dup2(in, 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    close(out[0]);
    close(err[0]);
    Exec(work, args, env);
  }
  close(out[1]);
  close(err[1]);
  Outcome o;
  bool outOpen = true, errOpen = true;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while ((outOpen || errOpen) && std::chrono::steady_clock::now() < deadline) {
    if (outOpen) outOpen = Drain(out[0], o.out, 10);
    if (errOpen) errOpen = Drain(err[0], o.err, 10);
  }
  if (outOpen || errOpen) kill(pid, SIGKILL);
  close(out[0]);
  close(err[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  o.exit = ExitOf(status);
  return o;
}

Outcome RunOnTerminal(const fs::path& work, const std::vector<std::string>& args, const std::vector<std::string>& env,
                      const std::vector<std::string>& keys) {
  int master = -1;
  winsize ws{};
  ws.ws_col = 200;  // wide enough that no progress line is cut where a folder's name lies
  ws.ws_row = 24;
  const pid_t pid = forkpty(&master, nullptr, nullptr, &ws);
  if (pid < 0) return {};
  if (pid == 0) Exec(work, args, env);
  Outcome o;
  size_t next = 0;
  bool shown = false;  // the program showed something since the last key
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline) {
    const size_t before = o.out.size();
    if (!Drain(master, o.out, 300)) break;  // the program has gone
    if (o.out.size() != before) {
      shown = true;
    } else if (shown && next < keys.size()) {  // quiet after a prompt: it waits for a key
      const std::string k = Keys(keys[next++]);
      if (write(master, k.data(), k.size()) != static_cast<ssize_t>(k.size())) break;
      shown = false;
    }
  }
  close(master);
  int status = 0;
  if (waitpid(pid, &status, WNOHANG) == 0) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }
  o.exit = ExitOf(status);
  return o;
}

// The image with the case's changes applied.
std::string Changed(std::string image, const std::string& changes) {
  for (const std::string& line : Lines(changes)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream in(line);
    std::string offset, hex;
    in >> offset >> hex;
    size_t at = std::stoull(offset, nullptr, 0);
    for (size_t i = 0; i + 1 < hex.size() && at < image.size(); i += 2)
      image[at++] = static_cast<char>(std::stoul(hex.substr(i, 2), nullptr, 16));
  }
  return image;
}

// Offsets where two images differ, as "OFFSET HEX" lines of the second.
std::string Differences(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return "size " + std::to_string(a.size()) + " -> " + std::to_string(b.size()) + "\n";
  std::string out;
  for (size_t i = 0; i < a.size() && out.size() < 2000; ++i) {
    if (a[i] == b[i]) continue;
    char line[32];
    std::snprintf(line, sizeof line, "%zu %02x\n", i, static_cast<unsigned char>(b[i]));
    out += line;
  }
  return out;
}

void RunCase(const fs::path& dir) {
  testsupport::TempDir work;
  const std::string w = work.Path(), c = dir.string();
  const auto expand = [&](const std::string& text) { return Replaced(Replaced(text, "$WORK", w), "$CASE", c); };

  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) env.push_back(*e);
  env.push_back("DESKTOOLS_REGISTRY_FILE=" + w + "/registry.txt");
  env.push_back("WORK=" + w);
  env.push_back("CASE=" + c);
  if (const auto extra = ReadIfThere(dir / "env"))
    for (const std::string& line : Lines(*extra))
      if (!line.empty()) env.push_back(expand(line));

  std::string original;
  if (const auto manifest = ReadIfThere(dir / "image.manifest")) {
    testsupport::WriteFile(work / "image.manifest", expand(*manifest));
    const std::string make = std::string("'") + kMkhdd + "' '" + w + "/image.manifest' '" + w + "/image.hdd'";
    ASSERT_EQ(std::system(make.c_str()), 0) << make;
    fs::remove(work / "image.manifest");
    original = testsupport::ReadFile(work / "image.hdd");
  }
  if (const auto setup = ReadIfThere(dir / "setup")) {
    const std::string script = "cd '" + w + "' && WORK='" + w + "' CASE='" + c + "' HOST='" + kHost +
                               "' DESKTOOLS_REGISTRY_FILE='" + w + "/registry.txt' sh -e -c '" +
                               Replaced(*setup, "'", "'\\''") + "'";
    ASSERT_EQ(std::system(script.c_str()), 0) << *setup;
  }
  std::vector<std::string> args;
  for (const std::string& line : Lines(testsupport::ReadFile(dir / "args"))) args.push_back(expand(line));

  Outcome o;
  if (const auto keys = ReadIfThere(dir / "keys")) {
    o = RunOnTerminal(work.path(), args, env, Lines(*keys));
  } else {
    const fs::path in = fs::exists(dir / "stdin") ? dir / "stdin" : fs::path("/dev/null");
    o = RunPiped(work.path(), args, env, in.string());
  }
  const std::string hostDir = fs::path(kHost).parent_path().string();
  const auto shown = [&](const std::string& text) { return Replaced(Replaced(text, w, "$WORK"), hostDir, "$HOST"); };
  const std::string out = shown(o.out), err = shown(o.err);
  if (const char* record = std::getenv("CLI_CASES_RECORD"); record && *record == '1') {
    const auto write = [&](const char* name, const std::string& text, bool keep) {
      if (keep) {
        testsupport::WriteFile(dir / name, text);
      } else {
        fs::remove(dir / name);
      }
    };
    write("exit", std::to_string(o.exit) + "\n", o.exit != 0);
    write("stdout", out, !out.empty());
    write("stderr", err, !err.empty());
    if (!original.empty()) {
      const std::string changes = Differences(original, testsupport::ReadFile(work / "image.hdd"));
      write("image.changes", changes, !changes.empty());
    }
    if (const auto files = ReadIfThere(dir / "files")) write("files", Tree(work.path(), Tops(*files)), true);
  }
  const int exit = std::stoi(ReadIfThere(dir / "exit").value_or("0"));
  EXPECT_EQ(o.exit, exit) << "stdout:\n" << out << "stderr:\n" << err;
  EXPECT_EQ(out, ReadIfThere(dir / "stdout").value_or("")) << "stdout";
  EXPECT_EQ(err, ReadIfThere(dir / "stderr").value_or("")) << "stderr";
  if (!original.empty()) {
    const std::string now = testsupport::ReadFile(work / "image.hdd");
    const std::string expected = Changed(original, ReadIfThere(dir / "image.changes").value_or(""));
    EXPECT_TRUE(now == expected) << "image.hdd, changes as found:\n" << Differences(original, now);
  }
  if (const auto files = ReadIfThere(dir / "files")) {
    EXPECT_EQ(Tree(work.path(), Tops(*files)), *files);
  }
}

class CliCase : public ::testing::Test {
 public:
  explicit CliCase(fs::path dir) : dir_(std::move(dir)) {}
  void TestBody() override { RunCase(dir_); }

 private:
  fs::path dir_;
};

}  // namespace

int main(int argc, char** argv) {
  std::vector<fs::path> cases;
  for (const auto& e : fs::directory_iterator(kCases))
    if (e.is_directory() && fs::exists(e.path() / "args")) cases.push_back(e.path());
  std::sort(cases.begin(), cases.end());
  for (const fs::path& dir : cases)
    ::testing::RegisterTest("CliCase", dir.filename().c_str(), nullptr, nullptr, __FILE__, __LINE__,
                            [dir]() -> ::testing::Test* { return new CliCase(dir); });
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
