// Linked into Pellumar.exe only, with lean_runtime.cpp, for the same reason: GCC's C++ runtime
// for MinGW-w64 (its exception tables, their lock and the exception state of each thread) calls
// nine POSIX-thread functions, and taking them from winpthreads brings its whole thread library,
// some 30 KB the program never runs: it makes no thread of its own. The nine are made here on
// Windows' own primitives, with the same meaning for every thread that calls them (the system's
// threads may call into the program's code too):
//
// - a mutex is a slim reader/writer lock held exclusively, in the mutex's own pointer-sized
//   storage; a mutex set up statically holds the initialiser's -1 until first used;
// - pthread_once runs its function once, the others waiting until it has run;
// - a key is a Windows TLS slot. A key's destructor is not run at a thread's end: the runtime
//   uses one for the exception state of threads that throw, and the program throws only on its
//   own thread, which lives as long as the process.
//
// Every function the runtime needs from winpthreads is here, so the linker never takes any of
// its objects; should a later runtime call one more, the linker takes them and stops with
// "multiple definition", never linking both in silence. lean_runtime_check.cpp, linked the same
// way, throws and catches on two threads.
#if defined(__MINGW32__) && __has_include(<pthread.h>)

#include <windows.h>

#include <pthread.h>

#include <cerrno>

namespace {

PSRWLOCK LockOf(pthread_mutex_t* mutex) {
  // The static initialisers are negative; an unlocked slim lock is all zeros.
  auto* slot = reinterpret_cast<void* volatile*>(mutex);
  void* const current = *slot;
  if (reinterpret_cast<intptr_t>(current) < 0 && reinterpret_cast<intptr_t>(current) > -8)
    InterlockedCompareExchangePointer(slot, nullptr, current);
  return reinterpret_cast<PSRWLOCK>(mutex);
}

}  // namespace

extern "C" {

int pthread_mutex_init(pthread_mutex_t* mutex, const pthread_mutexattr_t*) {
  *mutex = 0;
  return 0;
}

int pthread_mutex_destroy(pthread_mutex_t*) { return 0; }

int pthread_mutex_lock(pthread_mutex_t* mutex) {
  AcquireSRWLockExclusive(LockOf(mutex));
  return 0;
}

int pthread_mutex_unlock(pthread_mutex_t* mutex) {
  ReleaseSRWLockExclusive(LockOf(mutex));
  return 0;
}

int pthread_once(pthread_once_t* once, void (*function)(void)) {
  constexpr LONG kRunning = 1, kDone = 2;
  auto* state = reinterpret_cast<volatile LONG*>(once);
  if (InterlockedCompareExchange(state, kRunning, PTHREAD_ONCE_INIT) == PTHREAD_ONCE_INIT) {
    function();
    InterlockedExchange(state, kDone);
    return 0;
  }
  while (InterlockedCompareExchange(state, kDone, kDone) != kDone) SwitchToThread();
  return 0;
}

int pthread_key_create(pthread_key_t* key, void (*)(void*)) {
  const DWORD slot = TlsAlloc();
  if (slot == TLS_OUT_OF_INDEXES) return EAGAIN;
  *key = slot;
  return 0;
}

void* pthread_getspecific(pthread_key_t key) {
  const DWORD error = GetLastError();  // a lookup must not change the thread's last error
  void* const value = TlsGetValue(key);
  SetLastError(error);
  return value;
}

int pthread_setspecific(pthread_key_t key, const void* value) {
  return TlsSetValue(key, const_cast<void*>(value)) ? 0 : EINVAL;
}

}  // extern "C"

#endif
