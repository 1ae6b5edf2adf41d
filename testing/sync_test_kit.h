// Test kit of the end-to-end tests of zarnoft-sync: a copy of the program in a temporary
// directory with its own Main.sda (so the tests also show that it works when copied elsewhere),
// run on real trees, with or without a terminal.
#ifndef ZARNOFT_TESTING_SYNC_TEST_KIT_H_
#define ZARNOFT_TESTING_SYNC_TEST_KIT_H_

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "settings/ini_file.h"
#include "testing/temp_tree.h"

namespace zarnoft::testing {

struct Ergebnis {
  int status = -1;
  std::string fehler;   // stderr
  std::string ausgabe;  // stdout
};

class SyncTest : public ::testing::Test {
 protected:
  void SetUp() override {
    t_.Mkdir("bin");
    programm_ = t_.Path("bin/zarnoft-sync");
    std::filesystem::copy_file(ZARNOFT_SYNC_BINARY, programm_);
    ::chmod(programm_.c_str(), 0755);
    t_.Write("bin/Main.sda",
             "[Allgemein]\nLLev=2\nLDat=" + t_.Path("bin/log.txt") + "\n[Data]\nLoeschen=1\n");
    sammlung_ = t_.Path("s.syc");
  }

  // A collection with the given job sections (text after the "[Vorgang n]" lines).
  void Sammlung(const std::vector<std::string>& jobs) {
    std::string s = "[Allgemein]\nVersion=2\nAnzahl=" + std::to_string(jobs.size()) + "\n";
    for (size_t i = 0; i < jobs.size(); ++i)
      s += "[Vorgang " + std::to_string(i + 1) + "]\n" + jobs[i];
    t_.Write("s.syc", s);
  }
  // A job over two directories of the tree (or absolute paths).
  std::string Job(const std::string& von, const std::string& nach, int art, int doppelt = 1) {
    auto pfad = [&](const std::string& p) { return p[0] == '/' ? p : t_.Path(p); };
    return "Herkunft=" + pfad(von) + "\nZiel=" + pfad(nach) +
           "\nUnterverzeichnisse=1\nArt=" + std::to_string(art) +
           "\nDoppelt=" + std::to_string(doppelt) + "\n";
  }

  // Runs the program without a terminal; `umgebung` holds extra "NAME=value" entries.
  Ergebnis Starten(std::vector<std::string> args, const std::vector<std::string>& umgebung = {}) {
    args.insert(args.begin(), programm_);
    const std::string ausgabe = t_.Path("ausgabe.txt");
    int err[2];
    EXPECT_EQ(::pipe(err), 0);
    pid_t pid = ::fork();
    if (pid == 0) {
      ::dup2(err[1], 2);
      int devnull = ::open("/dev/null", O_RDWR);
      ::dup2(devnull, 0);
      int aus = ::open(ausgabe.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      ::dup2(aus, 1);
      for (const std::string& u : umgebung) ::putenv(const_cast<char*>(u.c_str()));
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    ::close(err[1]);
    Ergebnis e;
    char buf[4096];
    ssize_t n;
    while ((n = ::read(err[0], buf, sizeof buf)) > 0) e.fehler.append(buf, static_cast<size_t>(n));
    ::close(err[0]);
    int st = 0;
    ::waitpid(pid, &st, 0);
    e.status = WIFEXITED(st) ? WEXITSTATUS(st) : 1000 + WTERMSIG(st);
    e.ausgabe = t_.Read("ausgabe.txt");
    return e;
  }

  int64_t AufrufT(int n) {
    return IniFile(sammlung_).ReadInteger("Vorgang " + std::to_string(n), "AufrufT", 0);
  }
  std::string Log() { return t_.Read("bin/log.txt"); }
  static int Zaehlen(const std::string& text, const std::string& was) {
    int n = 0;
    for (size_t p = text.find(was); p != std::string::npos; p = text.find(was, p + 1)) ++n;
    return n;
  }

  TempTree t_;
  std::string programm_;
  std::string sammlung_;
};

// Runs the program on a pseudo terminal, as a user at a terminal would.
class TerminalLauf {
 public:
  TerminalLauf(const std::string& programm, const std::string& sammlung) {
    pid_ = ::forkpty(&master_, nullptr, nullptr, nullptr);
    if (pid_ == 0) {
      ::execl(programm.c_str(), programm.c_str(), sammlung.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
  }
  ~TerminalLauf() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0) ::close(master_);
  }
  // Reads until `text` has appeared (or 20 s passed).
  bool Warten(const std::string& text) {
    auto ende = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (ausgabe_.find(text) == std::string::npos) {
      if (std::chrono::steady_clock::now() > ende) return false;
      if (!Lesen(200)) return false;
    }
    return true;
  }
  // Reads what the program wrote within ms milliseconds; false when the terminal is closed.
  bool Lesen(int ms) {
    struct pollfd p = {master_, POLLIN, 0};
    if (::poll(&p, 1, ms) <= 0) return true;
    char buf[1024];
    ssize_t n = ::read(master_, buf, sizeof buf);
    if (n <= 0) return false;
    ausgabe_.append(buf, static_cast<size_t>(n));
    return true;
  }
  void Schreiben(const std::string& s) { (void)!::write(master_, s.data(), s.size()); }
  void Signal(int sig) { ::kill(pid_, sig); }
  int Ende() {
    int st = 0;
    // Drain the terminal so that the program never blocks on its output; a program that has not
    // ended after 30 s is killed and reported as such.
    auto ende = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (::waitpid(pid_, &st, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > ende) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &st, 0);
        pid_ = -1;
        return -1;
      }
      Lesen(100);
    }
    pid_ = -1;
    return WIFEXITED(st) ? WEXITSTATUS(st) : 1000 + WTERMSIG(st);
  }
  const std::string& Ausgabe() const { return ausgabe_; }

 private:
  int master_ = -1;
  pid_t pid_ = -1;
  std::string ausgabe_;
};

}  // namespace zarnoft::testing

#endif  // ZARNOFT_TESTING_SYNC_TEST_KIT_H_
