// A Protokoll that keeps every line in memory, for tests of what a run logs.
#ifndef ZARNOFT_TESTING_RECORDING_LOG_H_
#define ZARNOFT_TESTING_RECORDING_LOG_H_

#include <algorithm>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "log/log.h"

namespace zarnoft::testing {

class RecordingLog : public Protokoll {
 public:
  explicit RecordingLog(LogStufe level = LogStufe::kDebugAusfuehrlich) : level_(level) {}
  bool Will(LogStufe stufe) const override { return Zahl(stufe) <= Zahl(level_); }
  void Zeile(LogStufe stufe, const std::string& text) override {
    if (!Will(stufe)) return;
    std::lock_guard<std::mutex> l(mu_);
    lines_.emplace_back(stufe, text);
  }
  std::vector<std::pair<LogStufe, std::string>> Lines() const {
    std::lock_guard<std::mutex> l(mu_);
    return lines_;
  }
  // Texts only, in order.
  std::vector<std::string> Texts() const {
    std::vector<std::string> t;
    for (auto& [s, x] : Lines()) t.push_back(x);
    return t;
  }
  bool Has(const std::string& text) const {
    auto t = Texts();
    return std::find(t.begin(), t.end(), text) != t.end();
  }
  bool Has(LogStufe stufe, const std::string& text) const {
    auto l = Lines();
    return std::find(l.begin(), l.end(), std::make_pair(stufe, text)) != l.end();
  }
  void Leeren() {
    std::lock_guard<std::mutex> l(mu_);
    lines_.clear();
  }
  // How many lines begin with prefix.
  int CountPrefix(const std::string& prefix) const {
    int n = 0;
    for (auto& t : Texts()) n += t.rfind(prefix, 0) == 0;
    return n;
  }

 private:
  LogStufe level_;
  mutable std::mutex mu_;
  std::vector<std::pair<LogStufe, std::string>> lines_;
};

}  // namespace zarnoft::testing

#endif  // ZARNOFT_TESTING_RECORDING_LOG_H_
