#pragma once
// Installs and releases one process-wide system hook. The listener registries decide when;
// the Windows hook managers say how, and tests count the calls.

namespace vellix {

class HookSwitch {
 public:
  // Installs the hook; true when it is installed afterwards.
  virtual bool Install() noexcept = 0;
  // Releases the hook; true when it was released.
  virtual bool Release() noexcept = 0;

 protected:
  ~HookSwitch() = default;
};

}  // namespace vellix
