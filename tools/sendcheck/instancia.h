// The single-instance check of a program without a window: a lock file in the
// user's run-time folder, held while the process lives. A lock left by a
// process that died no longer counts (the system drops it with the process).
#pragma once

#include <memory>
#include <string>

namespace sendcheck {

class CerrojoInstancia {
  public:
    ~CerrojoInstancia();
    CerrojoInstancia(const CerrojoInstancia&) = delete;
    CerrojoInstancia& operator=(const CerrojoInstancia&) = delete;

    // The lock of `programa`, or nullptr when another process holds it.
    // A lock that cannot be made at all does not stop the program.
    static std::unique_ptr<CerrojoInstancia> Toma(const std::string& programa);

  private:
    explicit CerrojoInstancia(int fd) : fd_(fd) {}
    int fd_ = -1;
};

}  // namespace sendcheck
