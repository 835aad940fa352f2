#pragma once
#include <cstdint>
#include <random>

namespace platform {

// Random integers for what the user asks to be random (the random colours).
// The program seeds it from the Clock at start-up; tests may hand in their own.
class Random {
  public:
    virtual ~Random() = default;
    virtual void Seed(std::uint64_t seed) = 0;
    // One draw in 0..32767.
    virtual int Draw() = 0;
};

// The generator of every build: nothing about it depends on the platform.
class SeededRandom final : public Random {
  public:
    void Seed(std::uint64_t seed) override {
        engine_.seed(static_cast<std::minstd_rand::result_type>(seed % std::minstd_rand::modulus));
    }
    int Draw() override { return static_cast<int>(engine_() >> 8) & 0x7FFF; }

  private:
    std::minstd_rand engine_;
};

}  // namespace platform
