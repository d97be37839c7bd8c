// Built only into the steps-win64 build (PELLUMAR_STEP_TIMES).
#include "shell/step_times.h"

#include <windows.h>

#include <cstdio>
#include <utility>
#include <vector>

namespace pellumar::shell {
namespace {

long long Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

struct TakenStep {
  const char* step;
  double ms;
  long long start;
};

std::vector<TakenStep>& Taken() {
  static std::vector<TakenStep> taken;
  return taken;
}

}  // namespace

StepTime::StepTime(const char* step) : step_(step), start_(Now()) {}

StepTime::~StepTime() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  Taken().push_back({step_, static_cast<double>(Now() - start_) * 1000.0 /
                               static_cast<double>(frequency.QuadPart), start_});
}

void SaveStepTimes() {
  wchar_t log[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"PELLUMAR_STEP_LOG", log, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  if (FILE* file = _wfopen(log, L"a")) {
    for (const auto& [step, ms, start] : Taken())
      std::fprintf(file, "%s\t%.4f\t%lld\n", step, ms, start);
    std::fclose(file);
  }
  Taken().clear();
}

}  // namespace pellumar::shell
