#pragma once

// Timers around the steps of start-up and of a click, so that tools/bench can show where the
// time goes. They exist only in the build made with PELLUMAR_STEP_TIMES; in every other build
// PELLUMAR_STEP is nothing at all.
#ifdef PELLUMAR_STEP_TIMES

namespace pellumar::shell {

// Times the rest of its scope under `step`, a literal.
class StepTime {
 public:
  explicit StepTime(const char* step);
  ~StepTime();
  StepTime(const StepTime&) = delete;
  StepTime& operator=(const StepTime&) = delete;

 private:
  const char* step_;
  long long start_;
};

// Appends every time taken so far to the file PELLUMAR_STEP_LOG names, a line
// "step<TAB>ms<TAB>start" each, the start in the ticks of the performance counter every process
// shares, so a driver can place each step among its own clicks; and forgets them.
void SaveStepTimes();

}  // namespace pellumar::shell

#define PELLUMAR_STEP_JOIN2(a, b) a##b
#define PELLUMAR_STEP_JOIN(a, b) PELLUMAR_STEP_JOIN2(a, b)
#define PELLUMAR_STEP(step) \
  const ::pellumar::shell::StepTime PELLUMAR_STEP_JOIN(pellumarStep, __LINE__)(step)
#define PELLUMAR_SAVE_STEPS() ::pellumar::shell::SaveStepTimes()

#else

#define PELLUMAR_STEP(step) static_cast<void>(0)
#define PELLUMAR_SAVE_STEPS() static_cast<void>(0)

#endif
