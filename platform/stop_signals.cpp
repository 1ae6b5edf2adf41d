#include "platform/stop_signals.h"

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

namespace zarnoft {
namespace {

constexpr int kSignale[] = {SIGHUP, SIGTERM, SIGINT};

volatile sig_atomic_t g_signal = 0;
int g_pipe[2] = {-1, -1};

extern "C" void BeiStoppSignal(int nummer) {
  const int alt_errno = errno;
  g_signal = nummer;
  // One byte is enough: the pipe only says "a signal came". A full pipe already says it.
  const char b = 1;
  if (g_pipe[1] >= 0) (void)!::write(g_pipe[1], &b, 1);
  errno = alt_errno;
}

sigset_t Menge() {
  sigset_t s;
  sigemptyset(&s);
  for (int n : kSignale) sigaddset(&s, n);
  return s;
}

}  // namespace

void StoppSignaleEinrichten() {
  static std::once_flag einmal;
  std::call_once(einmal, [] {
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) g_pipe[0] = g_pipe[1] = -1;
    struct sigaction sa {};
    sa.sa_handler = BeiStoppSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;  // no SA_RESTART: a question waiting on the terminal returns at once
    for (int n : kSignale) sigaction(n, &sa, nullptr);
  });
}

int StoppSignal() {
  return g_signal;
}

int StoppDeskriptor() {
  return g_pipe[0];
}

void StoppSignalVergessen() {
  g_signal = 0;
  char puffer[64];
  if (g_pipe[0] >= 0) {
    while (::read(g_pipe[0], puffer, sizeof puffer) > 0) {
    }
  }
}

StoppSignaleSperren::StoppSignaleSperren() {
  const sigset_t s = Menge();
  pthread_sigmask(SIG_BLOCK, &s, &alt_);
}

StoppSignaleSperren::~StoppSignaleSperren() {
  pthread_sigmask(SIG_SETMASK, &alt_, nullptr);
}

}  // namespace zarnoft
